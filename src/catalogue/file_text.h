#pragma once
// Conversions between the memory form of a text (line breaks as the
// two-character escapes \n, \r and \r\n; & < > " plain) and the form stored
// in language file attributes ("/n", "/r", "/r/n" and XML entities).

#include <QString>

QString EscapeForFile(const QString &text);
QString UnescapeFromFile(const QString &text);
// UnescapeFromFile written over the text itself (the memory form is never
// longer); returns its size.
qsizetype UnescapeFromFileInPlace(char16_t *text, qsizetype size);
// Whether the memory form of a read value (UnescapeFromFile(text)), escaped
// for the file (EscapeForFile) and read back as an attribute value, is text
// again: true unless text holds a line break, a backslash before "n" or
// "r", or one of "&lt;", "&gt;", "&quot;", "&amp;" spelled out.
bool UnescapedTextWritesBack(QStringView text);

// AllowLength as stored: read like strtod (leading number, 0 when there is
// none) and written with six decimals ("2.000000").
float ParseLengthRatio(const QString &text);
QString FormatLengthRatio(float ratio);
