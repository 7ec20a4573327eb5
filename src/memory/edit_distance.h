#pragma once
// Levenshtein distance (insertions, deletions and substitutions of one
// unit, each costing 1) between one pattern and many texts, computed with
// the bit-parallel algorithm of Myers in Hyyrö's form for any length: 64
// rows of the distance table per machine word, so a 40-unit text against
// another costs 40 word steps instead of 1,600 cells.
//
// A bound may be given: once the distance can no longer come out at or
// below it (the last row changes by at most one per text unit left), the
// walk stops and some value above the bound is returned.

#include "memory/tm_text.h"

#include <cstdint>
#include <vector>

class EditDistancePattern {
public:
    explicit EditDistancePattern(const std::vector<TmUnit> &pattern);

    std::size_t length() const { return m_length; }
    // The distance from the pattern to `text` (of `length` units).
    std::size_t distanceTo(const TmUnit *text, std::size_t length) const;
    std::size_t distanceTo(const std::vector<TmUnit> &text) const { return distanceTo(text.data(), text.size()); }
    // The distance when it is at most `bound`, otherwise some value above it.
    std::size_t distanceWithin(const TmUnit *text, std::size_t length, std::size_t bound) const;

private:
    // The match masks of a unit, or null for a unit the pattern lacks.
    const std::uint64_t *masksOf(TmUnit unit) const;
    std::size_t distanceOneWord(const TmUnit *text, std::size_t length, std::size_t bound) const;

    std::size_t m_length = 0;
    std::size_t m_blocks = 0;
    std::vector<TmUnit> m_symbols;        // the pattern's distinct units, sorted
    std::int16_t m_ascii[128];            // symbol of each ASCII unit, or -1
    std::vector<std::uint64_t> m_masks;   // m_blocks words per symbol
    // A pattern of one word: each ASCII unit's mask itself (0 when the
    // pattern lacks it), one load a text unit instead of two.
    std::uint64_t m_asciiMasks[128];
};
