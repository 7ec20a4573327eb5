#pragma once
// The segments of a TMX file for the translation memory: of each unit the
// English variant and the variant in the memory's language.

#include "batch/file_failure.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct TmxUnit;

// One segment as the memory takes it: texts in memory form (a line break
// of the file is the escape \n, a carriage return \r).
struct TmxSegment {
    QString original;
    QString translation;
    QStringList keys;
};

// Picks the texts of a unit. The original is the English variant ("en",
// "en-US", "EN-GB": the one naming English most exactly, the first of
// equals); the translation the variant in `language` (a tag such as "de" or
// "pt-BR", case ignored; "de-DE" serves "de" and "pt" serves "pt-BR" when no
// variant names it exactly, "pt-PT" never does). With no language given, a
// unit's one language other than English is taken, and a unit of several is
// left out.
class TmxSegmentPicker {
public:
    explicit TmxSegmentPicker(const QString &language) : m_language(language) {}
    // False when the unit holds no English variant or none in the language,
    // or one of them is empty.
    bool pick(const TmxUnit &unit, TmxSegment *segment);

private:
    int score(std::vector<std::pair<QString, int>> &cache, const QString &wanted, const QString &given);
    QString m_language;
    // Units of one file repeat a few languages: their scores are kept.
    std::vector<std::pair<QString, int>> m_sourceScores, m_targetScores;
};

struct TmxMemoryRead {
    qsizetype units = 0;    // units read
    qsizetype skipped = 0;  // units without the two texts (or not a real translation)
    FileFailure failure;    // path and reason when the file could not be read to its end
    bool ok() const { return failure.reason.isEmpty(); }
};

// Reads the TMX file at path and hands its segments over in file order, in
// batches of at most `batchSize`; cancel() is asked before each batch and
// stops the reading when true. The segments before a fault are handed over.
TmxMemoryRead ReadTmxSegments(const QString &path, const QString &language,
                              const std::function<void(std::vector<TmxSegment> &batch)> &take,
                              const std::function<bool()> &cancel = {}, std::size_t batchSize = 4096);

// What to say of a file whose units were partly left out ("3 of 10 units
// ..."); empty when none was.
QString TmxSkippedText(const TmxMemoryRead &read, const QString &language);
