#pragma once
// A gettext PO file out of a language file: one message per translatable
// entry, the original as msgid, its first key as msgctxt.

#include "exchange/exchange_types.h"

class QIODevice;

bool WritePo(QIODevice &out, const ExportFile &file);
// Writes it to path through the safe save; false with the reason in *error.
bool SavePo(const QString &path, const ExportFile &file, QString *error);
