#include "memory/tm_score.h"

#include <algorithm>

namespace {

// Comparison-equal texts score from 99 down to this.
constexpr int kLowestNearIdentical = 95;

} // namespace

TmScorer::TmScorer(const QString &text)
    : m_text(text), m_units(TmComparisonUnits(text)), m_words(TmWords(m_units)), m_pattern(m_units)
{
}

int TmScorer::score(const QString &candidate, const std::vector<TmUnit> &candidateUnits) const
{
    if (candidate == m_text)
        return kTmIdenticalScore;
    const std::size_t distance = m_pattern.distanceTo(candidateUnits);
    if (distance == 0) {
        if (!m_rawPattern)
            m_rawPattern.emplace(TmRawUnits(m_text));
        const std::size_t raw = std::max<std::size_t>(1, m_rawPattern->distanceTo(TmRawUnits(candidate)));
        return std::max(kLowestNearIdentical, 100 - int(std::min<std::size_t>(raw, 100)));
    }
    return fuzzyScore(distance, candidateUnits);
}

int TmScorer::fuzzyScore(std::size_t distance, const std::vector<TmUnit> &candidateUnits) const
{
    int result = std::min(kTmHighestFuzzyScore, TmSimilarity(distance, std::max(m_units.size(), candidateUnits.size())));
    const std::vector<TmWord> words = TmWords(candidateUnits);
    if (!m_words.empty() && !words.empty() && !TmShareWord(m_units, m_words, candidateUnits, words))
        result = std::min(result / 2, kTmUnrelatedCeiling);
    return result;
}

int TmScore(const QString &text, const QString &candidate) { return TmScorer(text).score(candidate); }
