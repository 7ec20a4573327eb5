#pragma once
// How alike two originals are, from 0 to 100:
//  - 100: the texts are identical;
//  - 95 to 99: equal in comparison form (they differ only in case,
//    accelerator marks, surrounding white space or trailing punctuation),
//    99 less one for each further unit of raw difference;
//  - otherwise the edit similarity of the comparison forms,
//    100 * (1 - distance / longer length), rounded down and at most 94, so
//    that a change of wording always ranks below a change of spelling;
//  - texts that share no word (see TmShareWord) keep half of that, and never
//    reach 40: a similar spelling of different words is no help to a
//    translator.

#include "memory/edit_distance.h"
#include "memory/tm_text.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <optional>

constexpr int kTmIdenticalScore = 100;
constexpr int kTmHighestFuzzyScore = 94;
constexpr int kTmUnrelatedCeiling = 39;

// 100 * (1 - distance / longer length), rounded down.
inline int TmSimilarity(std::size_t distance, std::size_t longer)
{
    if (longer == 0)
        return kTmIdenticalScore;
    return int((std::uint64_t(longer - std::min(distance, longer)) * 100) / longer);
}

// The best score two texts whose comparison forms have these lengths and
// are at least `minDistance` edits apart can reach.
inline int TmScoreBound(std::size_t length, std::size_t otherLength, std::size_t minDistance)
{
    const std::size_t longer = std::max(length, otherLength);
    const std::size_t distance = std::max(minDistance, longer - std::min(length, otherLength));
    return distance == 0 ? kTmIdenticalScore : std::min(kTmHighestFuzzyScore, TmSimilarity(distance, longer));
}

// The most edits two comparison forms of these lengths may be apart and
// still score at least `minScore` (1 to 94).
inline std::size_t TmDistanceAllowed(std::size_t length, std::size_t otherLength, int minScore)
{
    // similarity(d, L) >= s  <=>  100 (L - d) >= s L  <=>  d <= L (100 - s) / 100
    const std::size_t longer = std::max(length, otherLength);
    return std::size_t(std::uint64_t(longer) * std::uint64_t(100 - std::clamp(minScore, 0, 100)) / 100);
}

// One text prepared for scoring against many others.
class TmScorer {
public:
    explicit TmScorer(const QString &text);

    const QString &text() const { return m_text; }
    const std::vector<TmUnit> &units() const { return m_units; }

    int score(const QString &candidate) const { return score(candidate, TmComparisonUnits(candidate)); }
    // `candidateUnits` is TmComparisonUnits(candidate).
    int score(const QString &candidate, const std::vector<TmUnit> &candidateUnits) const;
    // The best score a candidate whose comparison form has this many units
    // can reach (the edit distance is at least the difference in length).
    int bestPossible(std::size_t candidateLength) const { return TmScoreBound(m_units.size(), candidateLength, 0); }
    // The score of a candidate whose comparison form (`candidateUnits`) is
    // `distance` > 0 edits away: what score() gives for it.
    int fuzzyScore(std::size_t distance, const std::vector<TmUnit> &candidateUnits) const;
    const EditDistancePattern &pattern() const { return m_pattern; }

private:
    QString m_text;
    std::vector<TmUnit> m_units;
    std::vector<TmWord> m_words;
    EditDistancePattern m_pattern;
    mutable std::optional<EditDistancePattern> m_rawPattern;  // made when first needed
};

// The score of `candidate` for the original `text`.
int TmScore(const QString &text, const QString &candidate);
