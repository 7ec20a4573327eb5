#pragma once
// The candidate index of the translation memory: for every trigram of
// comparison units (the text framed by a start and an end mark, so that
// "Save" gives "^sa", "sav", "ave", "ve$"), the sorted list of the
// originals holding it.
//
// A lookup counts, per original, the trigrams it shares with the query,
// walking the query's lists from the rarest up; very common trigrams ("the",
// "ion") are left out once the rarer ones were counted and the work done
// reaches a budget, so a lookup never walks a large part of the memory. The
// originals are then ranked by shared trigrams relative to their own number
// (and the query's), after the length filter of the minimum score, and the
// best few are handed back for scoring.

#include "memory/tm_text.h"

#include <cstdint>
#include <functional>
#include <vector>

class TmGramIndex {
public:
    // Builds the index over `count` originals; unitsOf(i) gives the
    // comparison units of original i.
    void build(std::uint32_t count, const std::function<std::vector<TmUnit>(std::uint32_t)> &unitsOf);

    std::uint32_t size() const { return std::uint32_t(m_lengths.size()); }
    // The originals most likely to score well against `query` (its
    // comparison units), best first, at most `limit`; only originals whose
    // length lets them reach `minScore` at all are considered.
    std::vector<std::uint32_t> candidates(const std::vector<TmUnit> &query, int minScore, std::size_t limit) const;

private:
    struct Slot {
        std::uint64_t key = kEmpty;
        std::uint32_t gram = 0;
    };
    static constexpr std::uint64_t kEmpty = ~std::uint64_t(0);

    static void gramsOf(const std::vector<TmUnit> &units, std::vector<std::uint64_t> &keys);
    std::uint32_t findGram(std::uint64_t key) const;  // the gram number, or UINT32_MAX
    std::uint32_t addGram(std::uint64_t key);

    std::vector<Slot> m_slots;            // open addressing, power-of-two size
    std::uint32_t m_gramCount = 0;
    std::vector<std::uint32_t> m_offsets; // gram -> first posting; one more at the end
    std::vector<std::uint32_t> m_postings;
    std::vector<std::uint16_t> m_gramCounts;  // per original: its distinct trigrams
    std::vector<std::uint16_t> m_lengths;     // per original: comparison units (capped)
};
