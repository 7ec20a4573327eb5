#pragma once
// Conversions between the memory form of a text (line breaks as the
// two-character escapes \n, \r and \r\n; & < > " plain) and the form stored
// in language file attributes ("/n", "/r", "/r/n" and XML entities).

#include <QString>

QString EscapeForFile(const QString &text);
QString UnescapeFromFile(const QString &text);

// AllowLength as stored: read like strtod (leading number, 0 when there is
// none) and written with six decimals ("2.000000").
float ParseLengthRatio(const QString &text);
QString FormatLengthRatio(float ratio);
