#include "memory/tm_score.h"

#include <algorithm>

namespace {

// Comparison-equal texts score from 99 down to this.
constexpr int kLowestNearIdentical = 95;

int similarity(std::size_t distance, std::size_t longer)
{
    if (longer == 0)
        return kTmIdenticalScore;
    return int((std::uint64_t(longer - std::min(distance, longer)) * 100) / longer);
}

} // namespace

TmScorer::TmScorer(const QString &text)
    : m_text(text), m_units(TmComparisonUnits(text)), m_words(TmWords(m_units)), m_pattern(m_units)
{
}

int TmScoreBound(std::size_t length, std::size_t otherLength, std::size_t minDistance)
{
    const std::size_t longer = std::max(length, otherLength);
    const std::size_t distance = std::max(minDistance, longer - std::min(length, otherLength));
    return distance == 0 ? kTmIdenticalScore : std::min(kTmHighestFuzzyScore, similarity(distance, longer));
}

std::size_t TmDistanceAllowed(std::size_t length, std::size_t otherLength, int minScore)
{
    // similarity(d, L) >= s  <=>  100 (L - d) >= s L  <=>  d <= L (100 - s) / 100
    const std::size_t longer = std::max(length, otherLength);
    return std::size_t(std::uint64_t(longer) * std::uint64_t(100 - std::clamp(minScore, 0, 100)) / 100);
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
    int result = std::min(kTmHighestFuzzyScore, similarity(distance, std::max(m_units.size(), candidateUnits.size())));
    const std::vector<TmWord> words = TmWords(candidateUnits);
    if (!m_words.empty() && !words.empty() && !TmShareWord(m_units, m_words, candidateUnits, words))
        result = std::min(result / 2, kTmUnrelatedCeiling);
    return result;
}

int TmScore(const QString &text, const QString &candidate) { return TmScorer(text).score(candidate); }
