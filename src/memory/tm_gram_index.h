#pragma once
// The fuzzy index of the translation memory, and the search that finds
// exactly the originals scoring best against a text, without scoring every
// original.
//
// The originals are kept in the order of their comparison length (their
// "positions"), with their comparison units side by side, so that the
// originals a minimum score allows by length alone are one range of
// positions. For every trigram of comparison units (the text framed by a
// start and an end mark, so that "Save" gives "^sa", "sav", "ave", "ve$")
// the index holds the sorted list of positions holding it.
//
// A search counts, per position in the length range, the trigrams shared
// with the query, and from that count bounds the score from above: one edit
// removes at most three distinct trigrams of either text, so texts sharing
// c trigrams, with g and h distinct ones, are at least
// ceil((max(g, h) - c) / 3) edits apart (and at least their difference in
// length). The positions are then scored in the order of that bound, best
// first, and the search stops once the originals scoring at or above the
// bound still to come give the suggestions asked for: nothing unscored can
// then enter them, equal scores included. The length range starts narrow
// (a high score) and widens only while the suggestions are not found.

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

class TmGramIndex {
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
    struct Slot {
        std::uint64_t key = kEmpty;
        std::uint32_t gram = 0;
    };
    static constexpr std::uint64_t kEmpty = ~std::uint64_t(0);

    static void gramsOf(const TmUnit *units, std::size_t length, std::vector<std::uint64_t> &keys);
    std::uint32_t findGram(std::uint64_t key) const;  // the gram number, or UINT32_MAX
    std::uint32_t addGram(std::uint64_t key);
    // The positions of the originals whose length lets them reach
    // `minScore` against a query of `length` units.
    std::pair<std::uint32_t, std::uint32_t> positionsFor(std::size_t length, int minScore) const;

    std::vector<Slot> m_slots;             // open addressing, power-of-two size
    std::uint32_t m_gramCount = 0;
    std::vector<std::uint32_t> m_offsets;  // gram -> first posting; one more at the end
    std::vector<std::uint32_t> m_postings; // positions, ascending per gram
    std::vector<std::uint32_t> m_order;    // position -> original
    std::vector<std::uint32_t> m_lengthStart;  // length -> its first position; one more at the end
    std::vector<std::uint32_t> m_unitStart;    // position -> first unit; one more at the end
    std::vector<TmUnit> m_units;               // comparison units, by position
    std::vector<std::uint16_t> m_gramCounts;   // position -> distinct trigrams (capped)
};
