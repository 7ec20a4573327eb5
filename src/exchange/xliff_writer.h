#pragma once
// XLIFF 1.2 out of language files: one <file> per language file, one
// <trans-unit> per entry.

#include "exchange/exchange_types.h"

#include <QByteArray>

class QIODevice;

// Writes the XLIFF document to out; false when out does not take it all.
bool WriteXliff(QIODevice &out, const std::vector<ExportFile> &files);
// Writes it to path through the safe save; false with the reason in *error.
bool SaveXliff(const QString &path, const std::vector<ExportFile> &files, QString *error);
