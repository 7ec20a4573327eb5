#pragma once
// Exchange files on disk, and the language files they are made from.

#include "exchange/exchange_types.h"

struct CXMLStruct;

enum class ExchangeFormat { Xliff, Po };

// The format a path names by its extension (.xlf, .xliff or .po); for any
// other name, the content decides (markup first: XLIFF).
ExchangeFormat ExchangeFormatOf(const QString &path);

// Reads an XLIFF or PO file (a regular file only); a file that cannot be
// read or parsed gives the reason in error ("line 3: ...").
ExchangeDocument ReadExchangeFile(const QString &path, ExchangeFormat format);

// A catalogue going out under `name`, in `language` (a tag; empty: the
// language its path names, if any).
ExportFile ExportFileOf(const CXMLStruct &catalogue, const QString &name, const QString &language = QString());
