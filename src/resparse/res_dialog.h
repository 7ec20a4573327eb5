#pragma once
#include "resparse/byte_view.h"

#include <QStringList>

// Appends the texts a dialog template shows: its caption, then the titles of
// its Button and Static controls in template order, mnemonics removed, empty
// ones included. Reads DLGTEMPLATE and DLGTEMPLATEEX. A template that names a
// window class Windows does not register by itself (or is malformed) could
// not be created as a dialog, so it contributes nothing; returns false then.
bool ReadDialogTexts(ByteView dialog, QStringList &texts);
