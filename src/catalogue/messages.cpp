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
    case MsgSubstituted: return QStringLiteral("%d strings have been substitute.");
    case MsgGenerateAll:
        return QStringLiteral(
            "Are you sure to generate all language file according to the opening file? (suppose it is ENG file)");
    case MsgAutoImport: return QStringLiteral("Do you want to auto import translated string from other AP XML?");
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
    case MsgCantOpenFile: return QStringLiteral("Can't open file.");
    case MsgReplaceTranslated: return QStringLiteral("Do you want to replace previous translated one?");
    case MsgImportFinished: return QStringLiteral("Import finished");
    case MsgLanguageFolder:
        return QStringLiteral("Please choose a folder of same language, for example, \"/lang/CHT\". \nThen all the "
                              "files under this folder will be include in.\n\nAfter you press save, all the files may "
                              "be modified, please make sure there is another backup if you want.");
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
