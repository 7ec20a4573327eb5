#include "memory/edit_distance.h"

#include <algorithm>
#include <iterator>
#include <limits>

EditDistancePattern::EditDistancePattern(const std::vector<TmUnit> &pattern)
    : m_length(pattern.size()), m_blocks((pattern.size() + 63) / 64), m_symbols(pattern)
{
    std::sort(m_symbols.begin(), m_symbols.end());
    m_symbols.erase(std::unique(m_symbols.begin(), m_symbols.end()), m_symbols.end());
    m_masks.assign(m_symbols.size() * m_blocks, 0);
    std::fill(std::begin(m_ascii), std::end(m_ascii), std::int16_t(-1));
    for (std::size_t symbol = 0; symbol < m_symbols.size() && m_symbols[symbol] < 128; ++symbol)
        m_ascii[m_symbols[symbol]] = std::int16_t(symbol);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t symbol =
            std::size_t(std::lower_bound(m_symbols.begin(), m_symbols.end(), pattern[i]) - m_symbols.begin());
        m_masks[symbol * m_blocks + i / 64] |= std::uint64_t(1) << (i % 64);
    }
    for (std::size_t unit = 0; unit < 128; ++unit)
        m_asciiMasks[unit] = m_blocks == 1 && m_ascii[unit] >= 0 ? m_masks[std::size_t(m_ascii[unit])] : 0;
}

const std::uint64_t *EditDistancePattern::masksOf(TmUnit unit) const
{
    if (unit < 128)
        return m_ascii[unit] < 0 ? nullptr : m_masks.data() + std::size_t(m_ascii[unit]) * m_blocks;
    const auto found = std::lower_bound(m_symbols.begin(), m_symbols.end(), unit);
    if (found == m_symbols.end() || *found != unit)
        return nullptr;
    return m_masks.data() + std::size_t(found - m_symbols.begin()) * m_blocks;
}

std::size_t EditDistancePattern::distanceTo(const TmUnit *text, std::size_t length) const
{
    return distanceWithin(text, length, std::numeric_limits<std::size_t>::max());
}

std::size_t EditDistancePattern::distanceWithin(const TmUnit *text, std::size_t length, std::size_t bound) const
{
    if (m_length == 0)
        return length;
    if (m_blocks == 1)
        return distanceOneWord(text, length, bound);
    // Per block, the vertical deltas of the current column: VP a +1, VN a -1
    // from the row above. Column 0 goes 0, 1, 2, ...: all +1.
    // Patterns of up to 512 units (nearly all) keep them on the stack.
    constexpr std::size_t kLocalBlocks = 8;
    std::uint64_t local[2 * kLocalBlocks];
    std::vector<std::uint64_t> heap;
    std::uint64_t *vp = local;
    if (m_blocks > kLocalBlocks) {
        heap.resize(2 * m_blocks);
        vp = heap.data();
    }
    std::uint64_t *vn = vp + m_blocks;
    std::fill(vp, vp + m_blocks, ~std::uint64_t(0));
    std::fill(vn, vn + m_blocks, 0);
    const std::uint64_t lastBit = std::uint64_t(1) << ((m_length - 1) % 64);
    std::size_t distance = m_length;
    for (std::size_t j = 0; j < length; ++j) {
        const std::uint64_t *masks = masksOf(text[j]);
        // Row 0 goes 0, 1, 2, ... too: the horizontal delta entering the
        // first block is +1.
        std::uint64_t hpCarry = 1;
        std::uint64_t hnCarry = 0;
        for (std::size_t w = 0; w < m_blocks; ++w) {
            const std::uint64_t match = masks ? masks[w] : 0;
            const std::uint64_t x = match | hnCarry;
            const std::uint64_t d0 = (((x & vp[w]) + vp[w]) ^ vp[w]) | x | vn[w];
            std::uint64_t hp = vn[w] | ~(d0 | vp[w]);
            std::uint64_t hn = d0 & vp[w];
            if (w + 1 == m_blocks) {
                if (hp & lastBit)
                    ++distance;
                if (hn & lastBit)
                    --distance;
            }
            const std::uint64_t hpOut = hp >> 63;
            const std::uint64_t hnOut = hn >> 63;
            hp = (hp << 1) | hpCarry;
            hn = (hn << 1) | hnCarry;
            hpCarry = hpOut;
            hnCarry = hnOut;
            vp[w] = hn | ~(d0 | hp);
            vn[w] = hp & d0;
        }
        // The last row falls by at most one per unit still to come.
        if (distance > bound && distance - bound > length - j - 1)
            return distance - (length - j - 1);
    }
    return distance;
}

std::size_t EditDistancePattern::distanceOneWord(const TmUnit *text, std::size_t length, std::size_t bound) const
{
    // The loop above for a pattern of one machine word. It also follows the
    // diagonal that ends in the last cell (row - column = pattern length -
    // text length): the table never falls along a diagonal, so once a cell
    // of it is past the bound, so is the distance. Two texts unlike each
    // other get there long before their end.
    std::uint64_t vp = ~std::uint64_t(0);
    std::uint64_t vn = 0;
    const std::uint64_t lastBit = std::uint64_t(1) << (m_length - 1);
    std::size_t distance = m_length;
    // The diagonal's row in the column before the current one, and the
    // table's value there (once the row is not negative).
    std::ptrdiff_t row = std::ptrdiff_t(m_length) - std::ptrdiff_t(length);
    std::size_t diagonal = row >= 0 ? std::size_t(row) : 0;
    for (std::size_t j = 0; j < length; ++j, ++row) {
        const TmUnit unit = text[j];
        std::uint64_t x = 0;
        if (unit < 128) {
            x = m_asciiMasks[unit];
        } else if (const std::uint64_t *masks = masksOf(unit)) {
            x = *masks;
        }
        const std::uint64_t d0 = (((x & vp) + vp) ^ vp) | x | vn;
        const std::uint64_t hp = vn | ~(d0 | vp);
        const std::uint64_t hn = d0 & vp;
        distance += (hp & lastBit) ? 1 : 0;
        distance -= (hn & lastBit) ? 1 : 0;
        const std::uint64_t hpShifted = (hp << 1) | 1;
        const std::uint64_t hnShifted = hn << 1;
        vp = hnShifted | ~(d0 | hpShifted);
        vn = hpShifted & d0;
        if (distance > bound && distance - bound > length - j - 1)
            return distance - (length - j - 1);
        if (row < 0) {
            if (row == -1)
                diagonal = j + 1;  // row 0 of this column
            continue;
        }
        // Along the row (the shifted deltas hold row 0's +1 at bit 0), then
        // down one row in this column.
        diagonal += (hpShifted >> row) & 1;
        diagonal -= (hnShifted >> row) & 1;
        diagonal += (vp >> row) & 1;
        diagonal -= (vn >> row) & 1;
        if (diagonal > bound)
            return diagonal;
    }
    return distance;
}
