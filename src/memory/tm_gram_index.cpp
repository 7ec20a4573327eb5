#include "memory/tm_gram_index.h"

#include <algorithm>
#include <limits>

namespace {

// Lists counted in any case, however common their trigram.
constexpr std::size_t kAlwaysCounted = 4;
// Postings walked per lookup before common trigrams are left out.
constexpr std::size_t kPostingBudget = 200000;
constexpr std::uint32_t kNoGram = std::numeric_limits<std::uint32_t>::max();

std::uint64_t packGram(TmUnit a, TmUnit b, TmUnit c)
{
    return (std::uint64_t(a) << 42) | (std::uint64_t(b) << 21) | std::uint64_t(c);
}

std::size_t slotOf(std::uint64_t key, std::size_t mask)
{
    return std::size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
}

// The counting buffers of one thread, sized to the largest index it used;
// every count is back at zero between lookups.
struct LookupScratch {
    std::vector<std::uint16_t> counts;
    std::vector<std::uint32_t> touched;
};

} // namespace

void TmGramIndex::gramsOf(const std::vector<TmUnit> &units, std::vector<std::uint64_t> &keys)
{
    keys.clear();
    if (units.empty()) {
        keys.push_back(packGram(kTmTextStart, kTmTextEnd, kTmTextEnd));
        return;
    }
    const std::size_t n = units.size();
    auto at = [&](std::size_t i) { return i == 0 ? kTmTextStart : (i == n + 1 ? kTmTextEnd : units[i - 1]); };
    for (std::size_t i = 0; i + 2 < n + 2; ++i)
        keys.push_back(packGram(at(i), at(i + 1), at(i + 2)));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

std::uint32_t TmGramIndex::findGram(std::uint64_t key) const
{
    if (m_slots.empty())
        return kNoGram;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = slotOf(key, mask);; i = (i + 1) & mask) {
        if (m_slots[i].key == key)
            return m_slots[i].gram;
        if (m_slots[i].key == kEmpty)
            return kNoGram;
    }
}

std::uint32_t TmGramIndex::addGram(std::uint64_t key)
{
    if ((m_gramCount + 1) * 2 > m_slots.size()) {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(std::max<std::size_t>(1 << 12, old.size() * 2), Slot{});
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot &slot : old) {
            if (slot.key == kEmpty)
                continue;
            std::size_t i = slotOf(slot.key, mask);
            while (m_slots[i].key != kEmpty)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = slotOf(key, mask);
    while (m_slots[i].key != kEmpty && m_slots[i].key != key)
        i = (i + 1) & mask;
    if (m_slots[i].key == kEmpty)
        m_slots[i] = {key, m_gramCount++};
    return m_slots[i].gram;
}

void TmGramIndex::build(std::uint32_t count, const std::function<std::vector<TmUnit>(std::uint32_t)> &unitsOf)
{
    *this = TmGramIndex();
    m_lengths.resize(count);
    m_gramCounts.resize(count);
    // The grams of every original, in original order, then distributed to
    // the lists by a counting sort: each list comes out sorted.
    std::vector<std::uint32_t> grams;
    std::vector<std::uint32_t> firstGram(std::size_t(count) + 1, 0);
    std::vector<std::uint32_t> listLength;
    std::vector<std::uint64_t> keys;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::vector<TmUnit> units = unitsOf(i);
        gramsOf(units, keys);
        m_lengths[i] = std::uint16_t(std::min<std::size_t>(units.size(), 0xFFFF));
        m_gramCounts[i] = std::uint16_t(std::min<std::size_t>(keys.size(), 0xFFFF));
        for (std::uint64_t key : keys) {
            const std::uint32_t gram = addGram(key);
            if (gram == listLength.size())
                listLength.push_back(0);
            ++listLength[gram];
            grams.push_back(gram);
        }
        firstGram[i + 1] = std::uint32_t(grams.size());
    }
    m_offsets.assign(std::size_t(m_gramCount) + 1, 0);
    for (std::uint32_t g = 0; g < m_gramCount; ++g)
        m_offsets[g + 1] = m_offsets[g] + listLength[g];
    m_postings.resize(grams.size());
    std::vector<std::uint32_t> cursor(m_offsets.begin(), m_offsets.end() - 1);
    for (std::uint32_t i = 0; i < count; ++i) {
        for (std::uint32_t k = firstGram[i]; k < firstGram[i + 1]; ++k)
            m_postings[cursor[grams[k]]++] = i;
    }
}

std::vector<std::uint32_t> TmGramIndex::candidates(const std::vector<TmUnit> &query, int minScore,
                                                   std::size_t limit) const
{
    const std::uint32_t count = size();
    if (count == 0 || limit == 0)
        return {};
    std::vector<std::uint64_t> keys;
    gramsOf(query, keys);
    struct List {
        std::uint32_t gram;
        std::uint32_t length;
    };
    std::vector<List> lists;
    for (std::uint64_t key : keys) {
        const std::uint32_t gram = findGram(key);
        if (gram != kNoGram)
            lists.push_back({gram, m_offsets[gram + 1] - m_offsets[gram]});
    }
    std::sort(lists.begin(), lists.end(), [](const List &a, const List &b) {
        return a.length != b.length ? a.length < b.length : a.gram < b.gram;
    });

    thread_local LookupScratch scratch;
    if (scratch.counts.size() < count)
        scratch.counts.resize(count, 0);
    std::uint16_t *counts = scratch.counts.data();
    std::vector<std::uint32_t> &touched = scratch.touched;
    const std::uint32_t common = std::max<std::uint32_t>(1024, count / 8);
    std::size_t walked = 0;
    std::size_t used = 0;
    for (const List &list : lists) {
        if (used >= kAlwaysCounted && (walked + list.length > kPostingBudget || list.length > common))
            break;
        if (used == 0xFFFF)
            break;  // the counts are 16 bits wide
        const std::uint32_t *posting = m_postings.data() + m_offsets[list.gram];
        for (std::uint32_t k = 0; k < list.length; ++k) {
            if (counts[posting[k]]++ == 0)
                touched.push_back(posting[k]);
        }
        walked += list.length;
        ++used;
    }

    // Shared trigrams over the larger of the query's trigrams counted and
    // the share of the original's trigrams those stand for.
    const double share = keys.empty() ? 0.0 : double(used) / double(keys.size());
    const std::size_t queryLength = query.size();
    struct Ranked {
        double estimate;
        std::uint32_t original;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(touched.size());
    for (std::uint32_t original : touched) {
        const std::size_t length = m_lengths[original];
        const std::size_t longer = std::max(length, queryLength);
        const std::size_t shorter = std::min(length, queryLength);
        const bool reachable = longer == 0 || std::uint64_t(shorter) * 100 >= std::uint64_t(minScore) * longer ||
                               length == queryLength;
        if (reachable) {
            const double own = double(m_gramCounts[original]) * share;
            ranked.push_back({double(counts[original]) / std::max(double(used), own), original});
        }
        counts[original] = 0;
    }
    touched.clear();
    auto better = [](const Ranked &a, const Ranked &b) {
        return a.estimate != b.estimate ? a.estimate > b.estimate : a.original < b.original;
    };
    if (ranked.size() > limit) {
        std::nth_element(ranked.begin(), ranked.begin() + std::ptrdiff_t(limit), ranked.end(), better);
        ranked.resize(limit);
    }
    std::sort(ranked.begin(), ranked.end(), better);
    std::vector<std::uint32_t> result;
    result.reserve(ranked.size());
    for (const Ranked &r : ranked)
        result.push_back(r.original);
    return result;
}
