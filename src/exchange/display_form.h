#pragma once
// Texts as translation tools show them. In memory a line break is the
// two-character escape \n (\r, \r\n); XLIFF and PO carry real line breaks.

#include <QString>

// The escapes \n and \r become LF and CR; every other character stays.
QString ToDisplayForm(const QString &memory);
// LF and CR become the escapes \n and \r; every other character stays.
QString FromDisplayForm(const QString &display);
