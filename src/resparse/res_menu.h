#pragma once
#include "resparse/byte_view.h"

#include <QStringList>

// Appends the item texts of a menu template (standard or extended) as a walk
// of the loaded menu gives them: a popup's text, then its items depth first;
// separators and other items numbered 0 are skipped; mnemonics removed,
// accelerator hints after a tab kept, empty texts included.
void ReadMenuTexts(ByteView menu, QStringList &texts);
