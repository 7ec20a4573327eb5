#pragma once
// The fuzzy index of the translation memory, and the search that finds
// exactly the originals scoring best against a text, without scoring every
// original.
//
// The originals are kept in the order of their comparison length (their
// "positions"), with their comparison units side by side, so that the
// originals a score allows by length alone are one range of positions.
// Each position also has the bags of its comparison form (tm_bags.h): the
// letter bags stored column-wise, thirty-two positions of one length to a
// block, and the packed pair bags.
//
// A search for the originals scoring at least a threshold goes over the
// positions its length range allows, a block at a time: the letter bags set
// aside every position that is too many edits away, then the pair bag of
// each one left. What remains gets the best score its bags allow (its
// bound), and is scored in the order of that bound, best first, with a
// bit-parallel edit distance that stops once past what the least score
// still wanted allows. The search stops once the originals scoring at or
// above the bound still to come give the suggestions asked for: nothing
// unscored can then enter them, equal scores included. The threshold
// starts high (a narrow length range) and is lowered, when the suggestions
// are not all found, to the score of the last one found so far (the answer
// cannot lie below it) or a step, whichever is higher.

#include "memory/large_allocator.h"
#include "memory/tm_text.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class TmScorer;

struct TmMatch {
    int score;
    std::uint32_t original;
};

class TmFuzzyIndex {
public:
    // Builds the index over `count` originals on up to `threads` threads;
    // unitsOf(i) gives the comparison units of original i and may be called
    // from any of them.
    void build(std::uint32_t count, const std::function<std::vector<TmUnit>(std::uint32_t)> &unitsOf,
               int threads = 1);

    std::uint32_t size() const { return std::uint32_t(m_order.size()); }

    // The originals scoring at least minScore against `query`, best first
    // (equal scores: the lower number first): every original scoring at
    // least some score s >= minScore, where those give at least `wanted`
    // suggestions (suggestionsOf(i) each) or s is minScore. So the first
    // `wanted` suggestions of the answer are those of scoring every
    // original. textOf(i) is the text of original i.
    std::vector<TmMatch> bestMatches(const TmScorer &query, int minScore, std::size_t wanted,
                                     const std::function<std::size_t(std::uint32_t)> &suggestionsOf,
                                     const std::function<const QString &(std::uint32_t)> &textOf) const;

private:
    // The lengths of the originals that may score at least `minScore`
    // against a query of `length` units: [first, last).
    std::pair<std::size_t, std::size_t> lengthsFor(std::size_t length, int minScore) const;
    // The comparison units of a position of this length.
    const TmUnit *unitsAt(std::uint32_t position, std::size_t length) const
    {
        return m_units.data() + m_lengthUnits[length] + (position - m_lengthStart[length]) * length;
    }

    TmLargeVector<std::uint32_t> m_order;        // position -> original
    std::vector<std::uint32_t> m_lengthStart;    // length -> its first position; one more at the end
    std::vector<std::uint32_t> m_blockStart;     // length -> its first block; one more at the end
    std::vector<std::size_t> m_lengthUnits;      // length -> the first unit of its positions; one more at the end
    TmLargeVector<TmUnit> m_units;               // comparison units, by position
    TmLargeVector<std::uint8_t> m_letterBlocks;  // kTmBlockBytes per block
    TmLargeVector<std::uint8_t> m_pairBags;      // kTmPairBagBytes per position
};
