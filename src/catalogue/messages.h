#pragma once
// The program's own message texts, by their string-table number. Core
// functions return these ids; the editor and the command-line tool show them.

#include <QString>

enum MessageId {
    MsgAppName = 101,          // "Rendaro": window title and message box caption
    MsgPutPlaceholder = 103,   // "Please put "%s" in String."
    MsgRemovePlaceholder = 104,
    MsgCannotOpen = 105,
    MsgCannotSave = 106,
    MsgSaveCurrent = 107,
    MsgConfirmClose = 108,
    MsgSubstituted = 109,      // "%d strings have been substitute."
    MsgEnterString = 110,
    MsgGenerateAll = 111,      // "Are you sure to generate all language file ..."
    MsgAutoImport = 112,       // "Do you want to auto import translated string ..."
    MsgTooLong = 129,
    MsgTooLongSave = 130,
    MsgReady = 57345,          // idle status text
    // Texts the program shows that have no string-table number of their own.
    MsgSaveOk = 1000,
    MsgDragOneFile = 1001,
    MsgSearchWrap = 1002,
    MsgSearchFinished = 1003,
    // Import, language folders and generating the language files.
    MsgCantOpenFile = 1020,
    MsgReplaceTranslated = 1021,
    MsgImportFinished = 1022,
    MsgLanguageFolder = 1023,
};

// The text of a message; "%s" in it stands for the argument.
QString messageText(int id);
// The text with its "%s" replaced by arg.
QString formatMessage(int id, const QString &arg);
