#pragma once
// The program's own message texts, by their string-table number. Core
// functions return these ids; the editor and the command-line tool show them.

#include <QString>

enum MessageId {
    MsgPutPlaceholder = 103,   // "Please put "%s" in String."
    MsgRemovePlaceholder = 104,
    MsgCannotOpen = 105,
    MsgCannotSave = 106,
    MsgSaveCurrent = 107,
    MsgConfirmClose = 108,
    MsgEnterString = 110,
    MsgTooLong = 129,
    MsgTooLongSave = 130,
};

// The text of a message; "%s" in it stands for the argument.
QString messageText(int id);
// The text with its "%s" replaced by arg.
QString formatMessage(int id, const QString &arg);
