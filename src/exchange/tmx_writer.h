#pragma once
// TMX 1.4b out of language files: one <tu> per translated, translatable
// string, the English original first.

#include "exchange/exchange_types.h"

#include <QDateTime>

class QIODevice;

struct TmxWriteOptions {
    QString toolVersion;     // the header's creationtoolversion
    QDateTime creationDate;  // written in UTC as YYYYMMDDThhmmssZ; invalid: now
};

// The TMX language of the English originals.
inline constexpr char16_t kTmxSourceLanguage[] = u"en-US";

// How many units a file sends: its translated, translatable strings.
qsizetype TmxUnitCount(const ExportFile &file);

// Writes the TMX document to out; false when out does not take it all.
// Every file needs its language (the target tuv's xml:lang).
bool WriteTmx(QIODevice &out, const std::vector<ExportFile> &files, const TmxWriteOptions &options);
// Writes it to path through the safe save; false with the reason in *error.
bool SaveTmx(const QString &path, const std::vector<ExportFile> &files, const TmxWriteOptions &options,
             QString *error);
