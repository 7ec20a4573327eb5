#include "memory/tm_gram_index.h"

#include "memory/run_on_threads.h"
#include "memory/tm_score.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace {

constexpr std::uint32_t kNoGram = std::numeric_limits<std::uint32_t>::max();
// Originals a building thread takes at a time.
constexpr std::uint32_t kBuildBatch = 2048;
// The score the length range starts from, and how far it widens at a time.
constexpr int kFirstLevel = 90;
constexpr int kLevelStep = 6;
constexpr int kBounds = kTmIdenticalScore + 1;
// Counts are 16 bits wide: lists beyond this many are taken as shared.
constexpr std::size_t kMostListsCounted = 0xFFFF;

std::uint64_t packGram(TmUnit a, TmUnit b, TmUnit c)
{
    return (std::uint64_t(a) << 42) | (std::uint64_t(b) << 21) | std::uint64_t(c);
}

std::size_t slotOf(std::uint64_t key, std::size_t mask)
{
    return std::size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
}

// The working memory of one thread's searches, sized to the largest index
// it searched. Every count is back at zero and every bucket empty between
// searches.
struct SearchScratch {
    std::vector<std::uint16_t> counts;              // per position
    std::vector<std::vector<std::uint32_t>> buckets;  // per score bound: positions
    std::vector<std::uint64_t> keys;
    std::vector<std::uint32_t> lists;
};

} // namespace

void TmGramIndex::gramsOf(const TmUnit *units, std::size_t n, std::vector<std::uint64_t> &keys)
{
    keys.clear();
    if (n == 0) {
        keys.push_back(packGram(kTmTextStart, kTmTextEnd, kTmTextEnd));
        return;
    }
    auto at = [&](std::size_t i) { return i == 0 ? kTmTextStart : (i == n + 1 ? kTmTextEnd : units[i - 1]); };
    for (std::size_t i = 0; i < n; ++i)
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

void TmGramIndex::build(std::uint32_t count, const std::function<std::vector<TmUnit>(std::uint32_t)> &unitsOf,
                        int threads)
{
    *this = TmGramIndex();
    // The comparison units of every original (the costly part), on every
    // thread given.
    std::vector<std::vector<TmUnit>> units(count);
    std::atomic<std::uint32_t> next{0};
    RunOnThreads(std::max(1, threads), [&] {
        for (std::uint32_t start = next.fetch_add(kBuildBatch); start < count; start = next.fetch_add(kBuildBatch)) {
            for (std::uint32_t i = start; i < std::min(count, start + kBuildBatch); ++i)
                units[i] = unitsOf(i);
        }
    });

    // Positions by length (a counting sort keeps the originals' order
    // within one length), the units side by side in that order.
    std::size_t longest = 0;
    for (const std::vector<TmUnit> &u : units)
        longest = std::max(longest, u.size());
    m_lengthStart.assign(longest + 2, 0);
    for (const std::vector<TmUnit> &u : units)
        ++m_lengthStart[u.size() + 1];
    for (std::size_t l = 1; l < m_lengthStart.size(); ++l)
        m_lengthStart[l] += m_lengthStart[l - 1];
    m_order.resize(count);
    {
        std::vector<std::uint32_t> cursor(m_lengthStart.begin(), m_lengthStart.end() - 1);
        for (std::uint32_t i = 0; i < count; ++i)
            m_order[cursor[units[i].size()]++] = i;
    }
    m_unitStart.resize(std::size_t(count) + 1);
    std::size_t total = 0;
    for (std::uint32_t p = 0; p < count; ++p) {
        m_unitStart[p] = std::uint32_t(total);
        total += units[m_order[p]].size();
    }
    m_unitStart[count] = std::uint32_t(total);
    m_units.reserve(total);
    for (std::uint32_t p = 0; p < count; ++p) {
        std::vector<TmUnit> &u = units[m_order[p]];
        m_units.insert(m_units.end(), u.begin(), u.end());
        std::vector<TmUnit>().swap(u);
    }
    units = {};

    // The grams of every position, then distributed to the lists by a
    // counting sort: each list comes out in position order.
    m_gramCounts.resize(count);
    std::vector<std::uint32_t> grams;
    grams.reserve(total + count);
    std::vector<std::uint32_t> firstGram(std::size_t(count) + 1, 0);
    std::vector<std::uint32_t> listLength;
    std::vector<std::uint64_t> keys;
    for (std::uint32_t p = 0; p < count; ++p) {
        gramsOf(m_units.data() + m_unitStart[p], m_unitStart[p + 1] - m_unitStart[p], keys);
        m_gramCounts[p] = std::uint16_t(std::min<std::size_t>(keys.size(), 0xFFFF));
        for (std::uint64_t key : keys) {
            const std::uint32_t gram = addGram(key);
            if (gram == listLength.size())
                listLength.push_back(0);
            ++listLength[gram];
            grams.push_back(gram);
        }
        firstGram[p + 1] = std::uint32_t(grams.size());
    }
    m_offsets.assign(std::size_t(m_gramCount) + 1, 0);
    for (std::uint32_t g = 0; g < m_gramCount; ++g)
        m_offsets[g + 1] = m_offsets[g] + listLength[g];
    m_postings.resize(grams.size());
    std::vector<std::uint32_t> cursor(m_offsets.begin(), m_offsets.end() - 1);
    for (std::uint32_t p = 0; p < count; ++p) {
        for (std::uint32_t k = firstGram[p]; k < firstGram[p + 1]; ++k)
            m_postings[cursor[grams[k]]++] = p;
    }
}

std::pair<std::uint32_t, std::uint32_t> TmGramIndex::positionsFor(std::size_t length, int minScore) const
{
    // The bound falls with the difference in length on either side.
    const std::size_t longest = m_lengthStart.size() - 2;
    std::size_t low = std::min(length, longest + 1);
    while (low > 0 && TmScoreBound(length, low - 1, 0) >= minScore)
        --low;
    std::size_t high = length;  // one past the last length taken
    while (high <= longest && TmScoreBound(length, high, 0) >= minScore)
        ++high;
    if (high <= low)
        return {0, 0};
    return {m_lengthStart[std::min(low, longest + 1)], m_lengthStart[std::min(high, longest + 1)]};
}

std::vector<TmMatch> TmGramIndex::bestMatches(const TmScorer &query, int minScore, std::size_t wanted,
                                              const std::function<std::size_t(std::uint32_t)> &suggestionsOf,
                                              const std::function<const QString &(std::uint32_t)> &textOf) const
{
    const std::uint32_t count = size();
    if (count == 0 || wanted == 0)
        return {};
    minScore = std::clamp(minScore, 0, kTmIdenticalScore);
    const std::vector<TmUnit> &queryUnits = query.units();
    const std::size_t n = queryUnits.size();

    thread_local SearchScratch scratch;
    if (scratch.counts.size() < count)
        scratch.counts.resize(count, 0);
    scratch.buckets.resize(kBounds);
    std::uint16_t *counts = scratch.counts.data();
    std::vector<std::uint32_t> &lists = scratch.lists;
    gramsOf(queryUnits.data(), n, scratch.keys);
    const std::size_t queryGrams = scratch.keys.size();
    lists.clear();
    for (std::uint64_t key : scratch.keys) {
        const std::uint32_t gram = findGram(key);
        if (gram != kNoGram)
            lists.push_back(gram);
    }
    // Lists beyond what the counts hold are taken as shared by everyone.
    const std::size_t assumedShared = lists.size() > kMostListsCounted ? lists.size() - kMostListsCounted : 0;
    lists.resize(std::min(lists.size(), kMostListsCounted));

    // Counts the positions [from, to), bounds their scores and sorts them
    // into the buckets (leaving the counts at zero again).
    std::vector<int> boundOf;  // per number of edits, for one length
    auto take = [&](std::uint32_t from, std::uint32_t to) {
        if (from >= to)
            return;
        for (std::uint32_t gram : lists) {
            const std::uint32_t *first = m_postings.data() + m_offsets[gram];
            const std::uint32_t *last = m_postings.data() + m_offsets[gram + 1];
            for (const std::uint32_t *p = std::lower_bound(first, last, from); p != last && *p < to; ++p)
                ++counts[*p];
        }
        std::size_t length = std::size_t(std::upper_bound(m_lengthStart.begin(), m_lengthStart.end(), from) -
                                         m_lengthStart.begin()) - 1;
        for (std::uint32_t p = from; p < to; ++length) {
            const std::uint32_t end = std::min(to, m_lengthStart[length + 1]);
            if (p >= end)
                continue;
            // The bound of each number of edits at this length.
            boundOf.resize((std::max(queryGrams, length + 1) + 2) / 3 + 1);
            for (std::size_t edits = 0; edits < boundOf.size(); ++edits)
                boundOf[edits] = TmScoreBound(n, length, edits);
            for (; p < end; ++p) {
                const std::size_t shared = counts[p] + assumedShared;
                counts[p] = 0;
                const std::size_t grams = std::max<std::size_t>(queryGrams, m_gramCounts[p]);
                const std::size_t edits = grams > shared ? (grams - shared + 2) / 3 : 0;
                const int bound = edits < boundOf.size() ? boundOf[edits] : TmScoreBound(n, length, edits);
                if (bound >= minScore)
                    scratch.buckets[std::size_t(bound)].push_back(p);
            }
        }
    };

    // The positions counted so far: [low, high), for scores from `level` up.
    int level = std::max(minScore, kFirstLevel);
    std::uint32_t low = 0, high = 0;
    {
        const auto [from, to] = positionsFor(n, level);
        take(from, to);
        low = from;
        high = to;
    }

    std::vector<TmMatch> found;
    std::size_t suggestionsAt[kBounds] = {};
    std::size_t suggestionsAbove = 0;  // of the originals scoring at least the current bound
    int bar = minScore;
    // The score of the last of the `wanted` best suggestions found so far:
    // an original scoring below it cannot be among them any more.
    int least = minScore;
    auto raiseLeast = [&] {
        std::size_t suggestions = 0;
        for (int score = kTmIdenticalScore; score > least; --score) {
            suggestions += suggestionsAt[score];
            if (suggestions >= wanted) {
                least = score;
                return;
            }
        }
    };
    std::vector<TmUnit> candidate;
    for (int bound = kTmIdenticalScore; bound >= minScore; --bound) {
        while (bound < level) {
            // Originals of other lengths may now reach the bound.
            level = std::max(minScore, level - kLevelStep);
            const auto [from, to] = positionsFor(n, level);
            if (from < to && low < high) {
                take(from, low);
                take(high, to);
                low = std::min(low, from);
                high = std::max(high, to);
            } else if (from < to) {
                take(from, to);
                low = from;
                high = to;
            }
        }
        std::vector<std::uint32_t> &bucket = scratch.buckets[std::size_t(bound)];
        for (std::uint32_t p : bucket) {
            const TmUnit *units = m_units.data() + m_unitStart[p];
            const std::size_t length = m_unitStart[p + 1] - m_unitStart[p];
            const std::size_t allowed = TmDistanceAllowed(n, length, least);
            const std::size_t distance = query.pattern().distanceWithin(units, length, allowed);
            if (distance > allowed)
                continue;
            candidate.assign(units, units + length);
            const std::uint32_t original = m_order[p];
            const int score = distance == 0 ? query.score(textOf(original), candidate)
                                            : query.fuzzyScore(distance, candidate);
            if (score < least)
                continue;
            found.push_back({score, original});
            suggestionsAt[score] += std::min(wanted, suggestionsOf(original));
            raiseLeast();
        }
        bucket.clear();
        // Every original scoring at least `bound` is found now: its bound
        // was at least that, its length within the positions counted.
        suggestionsAbove += suggestionsAt[bound];
        if (suggestionsAbove >= wanted) {
            bar = bound;
            break;
        }
    }
    for (std::vector<std::uint32_t> &bucket : scratch.buckets)
        bucket.clear();

    found.erase(std::remove_if(found.begin(), found.end(), [bar](const TmMatch &m) { return m.score < bar; }),
                found.end());
    std::sort(found.begin(), found.end(), [](const TmMatch &a, const TmMatch &b) {
        return a.score != b.score ? a.score > b.score : a.original < b.original;
    });
    return found;
}
