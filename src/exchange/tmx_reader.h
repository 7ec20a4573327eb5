#pragma once
// Reading TMX (1.1 to 1.4b) as a stream: each <tu> is handed over as soon
// as it is read, so a file of a million units is never held whole.
//
// Languages are given as the file writes them (xml:lang, or TMX 1.1's
// lang). A segment's text is everything it holds, the text of its inline
// elements (ph, bpt, ept, it, ut, hi, sub) included: a placeholder marked
// <ph>%s</ph> reads as "%s". A DOCTYPE naming the TMX DTD is allowed (the
// DTD is never read); an internal subset, and so any entity declaration,
// is refused, as is a reference to an entity nobody declared.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QIODevice;

struct TmxVariant {
    QString language;  // as written ("de-DE", "EN-US"); empty when none
    QString text;      // the segment's text, line breaks as in the file
};

struct TmxUnit {
    QString tuid;
    QString file;       // <prop type="x-file">, the language file it came from
    QStringList keys;   // <prop type="x-keys">, split at ", "; else the tuid
    qsizetype line = 0;  // where the <tu> starts
    std::vector<TmxVariant> variants;  // in file order
};

struct TmxReadResult {
    QString error;           // "line 12: ..." when the file stopped being read
    QString version;         // the root's version attribute
    QString sourceLanguage;  // the header's srclang
    qsizetype units = 0;     // units handed over
    bool ok() const { return error.isEmpty(); }
};

// Called for every unit in file order; the unit is reused for the next
// one, so keep what is needed. Returning false stops the reading (no error).
using TmxUnitHandler = std::function<bool(const TmxUnit &unit)>;

// Reads the device to its end or to the first fault; the units before a
// fault have been handed over.
TmxReadResult ReadTmx(QIODevice &device, const TmxUnitHandler &onUnit);
// The same for a regular file (a folder, device or FIFO is refused).
TmxReadResult ReadTmxFile(const QString &path, const TmxUnitHandler &onUnit);

// Whether a path names a TMX file by its extension (.tmx, any case).
bool IsTmxPath(const QString &path);
