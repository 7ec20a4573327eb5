#include "catalogue/messages.h"

QString messageText(int id)
{
    switch (id) {
    case MsgAppName: return QStringLiteral("Rendaro");
    case MsgPutPlaceholder: return QStringLiteral("Please put \"%s\" in String.");
    case MsgRemovePlaceholder: return QStringLiteral("Please remove one \"%s\".");
    case MsgCannotOpen: return QStringLiteral("Can not open this file.");
    case MsgCannotSave: return QStringLiteral("Can not save file.");
    case MsgSaveCurrent: return QStringLiteral("Do you want to save current file?");
    case MsgConfirmClose: return QStringLiteral("Are you sure to close current file?");
    case MsgEnterString: return QStringLiteral("Please enter a string.");
    case MsgTooLong:
        return QStringLiteral("The length of the words exceed the maximum. Please try to shorten the words, or they "
                              "might be replaced with English to make the UI neat.");
    case MsgTooLongSave:
        return QStringLiteral("The length of the words highlighted in red exceed the maximum. \nPlease try to shorten "
                              "the words, or they might be replaced with English to make the UI neat.\n\nDo you still "
                              "want to save this file?");
    case MsgReady: return QStringLiteral("Ready");
    case MsgSaveOk: return QStringLiteral("Save OK");
    case MsgDragOneFile: return QStringLiteral("Please drag only one file.");
    case MsgSearchWrap: return QStringLiteral("Reach the end of the list. Do you want to search form the top of file?");
    case MsgSearchFinished: return QStringLiteral("Search finished.");
    default: return QString();
    }
}

QString formatMessage(int id, const QString &arg)
{
    QString text = messageText(id);
    const qsizetype at = text.indexOf(u"%s");
    if (at >= 0)
        text.replace(at, 2, arg);
    return text;
}
