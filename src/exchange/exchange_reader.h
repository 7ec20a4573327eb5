#pragma once
// Reading XLIFF 1.2 and gettext PO files. A file that is not well-formed
// gives the line and the reason, and no units.

#include "exchange/exchange_types.h"

#include <QByteArray>

class QIODevice;

// XLIFF 1.0 to 1.2 (the namespace may be left out). A DOCTYPE is refused
// before anything of it is read, so no entity is ever declared or
// expanded; XLIFF 2 is refused with a hint.
ExchangeDocument ParseXliff(const QByteArray &bytes);
ExchangeDocument ParseXliff(QIODevice &device);
// PO in UTF-8 (the header's charset; ASCII reads as UTF-8).
ExchangeDocument ParsePo(const QByteArray &bytes);

// Reads the whole file (a regular file only) and parses it; a file that
// cannot be read gives its reason in error.
ExchangeDocument ReadXliffFile(const QString &path);
ExchangeDocument ReadPoFile(const QString &path);
