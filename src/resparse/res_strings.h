#pragma once
#include "resparse/byte_view.h"

#include <QStringList>

// Appends the non-empty strings of one string-table block (16 counted UTF-16
// strings), each cut at a zero code unit. A block cut short ends early.
void ReadStringBlock(ByteView block, QStringList &texts);
