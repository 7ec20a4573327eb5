#include "memory/tm_fuzzy_index.h"

#include "memory/run_on_threads.h"
#include "memory/tm_bags.h"
#include "memory/tm_score.h"

#include <algorithm>
#include <atomic>
#include <bit>

namespace {

// Originals a building thread takes at a time.
constexpr std::uint32_t kBuildBatch = 2048;
// The threshold a search starts from, and the most it is lowered at a time
// when too few suggestions were found to lower it to.
constexpr int kFirstThreshold = 90;
constexpr int kThresholdStep = 6;
constexpr int kBounds = kTmIdenticalScore + 1;

// The most edits a text of `otherLength` units may be from one of `length`
// and still score at least `score`.
std::size_t editsAllowed(std::size_t length, std::size_t otherLength, int score)
{
    return score > kTmHighestFuzzyScore ? 0 : TmDistanceAllowed(length, otherLength, score);
}

// A position the letter bags leave, with the edits they bound it to.
struct Survivor {
    std::uint32_t position;
    std::uint32_t edits;
};

// A position to score, with its length.
struct Candidate {
    std::uint32_t position;
    std::uint32_t length;
};

// The working memory of one thread's searches. Between searches every
// bucket is empty and no length is marked as scanned.
struct SearchScratch {
    std::vector<std::vector<Candidate>> buckets = std::vector<std::vector<Candidate>>(kBounds);
    std::vector<Survivor> survivors;
    // The letter missing counts of the blocks scanned in this search,
    // kTmLanes per block, kept for the passes at lower thresholds.
    std::vector<std::uint8_t> missing;
    // Per length, the most missing letters the search has taken so far, or
    // -1 when it has not scanned that length.
    std::vector<std::int16_t> taken;
};

// How far ahead in a list the data of a position is asked for.
constexpr std::size_t kReadAhead = 8;
// The units of a candidate read ahead: the lines the distance needs first.
constexpr std::size_t kUnitsPerLine = 64 / sizeof(TmUnit);
constexpr std::size_t kUnitsReadAhead = 4 * kUnitsPerLine;

void prefetch(const void *address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

} // namespace

void TmFuzzyIndex::build(std::uint32_t count, const std::function<std::vector<TmUnit>(std::uint32_t)> &unitsOf,
                         int threads)
{
    *this = TmFuzzyIndex();
    threads = std::max(1, threads);
    // The comparison units of every original (the costly part), on every
    // thread given, a batch of originals side by side in one array.
    struct Batch {
        std::vector<TmUnit> units;
        std::vector<std::uint32_t> starts;  // per original of the batch; one more at the end
    };
    const std::uint32_t batches = (count + kBuildBatch - 1) / kBuildBatch;
    std::vector<Batch> units(batches);
    std::atomic<std::uint32_t> next{0};
    RunOnThreads(threads, [&] {
        for (std::uint32_t b = next.fetch_add(1); b < batches; b = next.fetch_add(1)) {
            Batch &batch = units[b];
            batch.starts.push_back(0);
            for (std::uint32_t i = b * kBuildBatch; i < std::min(count, (b + 1) * kBuildBatch); ++i) {
                const std::vector<TmUnit> u = unitsOf(i);
                batch.units.insert(batch.units.end(), u.begin(), u.end());
                batch.starts.push_back(std::uint32_t(batch.units.size()));
            }
        }
    });
    auto lengthOf = [&units](std::uint32_t i) {
        const Batch &batch = units[i / kBuildBatch];
        return std::size_t(batch.starts[i % kBuildBatch + 1] - batch.starts[i % kBuildBatch]);
    };

    // Positions by length (a counting sort keeps the originals' order
    // within one length), the units side by side in that order; each
    // length starts a block of its own.
    std::size_t longest = 0;
    for (std::uint32_t i = 0; i < count; ++i)
        longest = std::max(longest, lengthOf(i));
    m_lengthStart.assign(longest + 2, 0);
    for (std::uint32_t i = 0; i < count; ++i)
        ++m_lengthStart[lengthOf(i) + 1];
    m_blockStart.assign(longest + 2, 0);
    for (std::size_t l = 1; l < m_lengthStart.size(); ++l) {
        m_blockStart[l] = m_blockStart[l - 1] + std::uint32_t((m_lengthStart[l] + kTmLanes - 1) / kTmLanes);
        m_lengthStart[l] += m_lengthStart[l - 1];
    }
    m_order.resize(count);
    {
        std::vector<std::uint32_t> cursor(m_lengthStart.begin(), m_lengthStart.end() - 1);
        for (std::uint32_t i = 0; i < count; ++i)
            m_order[cursor[lengthOf(i)]++] = i;
    }
    m_lengthUnits.assign(longest + 2, 0);
    for (std::size_t l = 0; l <= longest; ++l)
        m_lengthUnits[l + 1] = m_lengthUnits[l] + l * (m_lengthStart[l + 1] - m_lengthStart[l]);

    // The units and bags of every position, on every thread given (each
    // position's bytes are its own); the arrays' pages are first touched
    // there.
    m_units.resize(m_lengthUnits.back());
    m_letterBlocks.assign(std::size_t(m_blockStart.back()) * kTmBlockBytes, 0);
    m_pairBags.resize(std::size_t(count) * kTmPairBagBytes);
    next = 0;
    RunOnThreads(threads, [&] {
        for (std::uint32_t start = next.fetch_add(kBuildBatch); start < count; start = next.fetch_add(kBuildBatch)) {
            std::size_t length = 0;
            for (std::uint32_t p = start; p < std::min(count, start + kBuildBatch); ++p) {
                while (m_lengthStart[length + 1] <= p)
                    ++length;
                const std::uint32_t original = m_order[p];
                const Batch &batch = units[original / kBuildBatch];
                const TmUnit *from = batch.units.data() + batch.starts[original % kBuildBatch];
                TmUnit *u = m_units.data() + m_lengthUnits[length] + std::size_t(p - m_lengthStart[length]) * length;
                std::copy(from, from + length, u);
                const std::size_t lane = p - m_lengthStart[length];
                std::uint8_t *block =
                    m_letterBlocks.data() + (std::size_t(m_blockStart[length]) + lane / kTmLanes) * kTmBlockBytes;
                TmStoreLetterBag(TmLetterBagOf(u, length), block, lane % kTmLanes);
                const TmPairBag pairs = TmPairBagOf(u, length);
                std::copy(pairs.begin(), pairs.end(), m_pairBags.begin() + std::ptrdiff_t(p) * kTmPairBagBytes);
            }
        }
    });
}

std::pair<std::size_t, std::size_t> TmFuzzyIndex::lengthsFor(std::size_t length, int minScore) const
{
    // The bound falls with the difference in length on either side.
    const std::size_t longest = m_lengthStart.size() - 2;
    std::size_t low = std::min(length, longest + 1);
    while (low > 0 && TmScoreBound(length, low - 1, 0) >= minScore)
        --low;
    std::size_t high = length;  // one past the last length taken
    while (high <= longest && TmScoreBound(length, high, 0) >= minScore)
        ++high;
    high = std::min(high, longest + 1);
    return {low, std::max(low, high)};
}

std::vector<TmMatch> TmFuzzyIndex::bestMatches(const TmScorer &query, int minScore, std::size_t wanted,
                                               const std::function<std::size_t(std::uint32_t)> &suggestionsOf,
                                               const std::function<const QString &(std::uint32_t)> &textOf) const
{
    if (size() == 0 || wanted == 0)
        return {};
    minScore = std::clamp(minScore, 0, kTmIdenticalScore);
    const std::vector<TmUnit> &queryUnits = query.units();
    const std::size_t n = queryUnits.size();
    const TmLetterQuery letters(TmLetterBagOf(queryUnits.data(), n));
    const TmPairQuery pairs(TmPairBagOf(queryUnits.data(), n));

    thread_local SearchScratch scratch;
    std::vector<std::vector<Candidate>> &buckets = scratch.buckets;
    if (scratch.missing.size() < std::size_t(m_blockStart.back()) * kTmLanes)
        scratch.missing.resize(std::size_t(m_blockStart.back()) * kTmLanes);
    if (scratch.taken.size() < m_lengthStart.size())
        scratch.taken.resize(m_lengthStart.size(), -1);
    std::pair<std::size_t, std::size_t> scanned{0, 0};  // the lengths marked in scratch.taken

    // The score of the last of the `wanted` best suggestions found so far:
    // an original scoring below it cannot be among them any more.
    int least = minScore;

    // Puts every position that may score at least `threshold`, and that no
    // earlier pass took, into the bucket of its bound. A pass at a lower
    // threshold takes only the positions that the letters of an earlier one
    // set aside and that its own allow; it reads their missing counts from
    // the earlier scan. The positions whose pairs set them aside go into
    // the bucket of their bound at once (below the threshold, for a later
    // pass to score) when it may still reach the least score wanted.
    auto take = [&](int threshold) {
        const auto [first, last] = lengthsFor(n, threshold);
        // A lower threshold's lengths hold a higher one's.
        scanned = {first, last};
        std::vector<Survivor> &survivors = scratch.survivors;
        for (std::size_t m = first; m < last; ++m) {
            const std::uint32_t start = m_lengthStart[m], end = m_lengthStart[m + 1];
            if (start == end)
                continue;
            const std::size_t allowed = editsAllowed(n, m, threshold);
            const std::size_t excess = m > n ? m - n : 0;
            if (allowed < excess)
                continue;
            const auto most = std::uint8_t(std::min<std::size_t>(allowed - excess, 254));
            const int before = scratch.taken[m];
            if (before >= int(most))
                continue;
            scratch.taken[m] = std::int16_t(most);
            // The positions the letters now allow, with the edits they bound
            // them to; then their pairs, read ahead of use (they lie
            // anywhere in memory).
            survivors.clear();
            for (std::uint32_t block = m_blockStart[m], at = start; at < end; ++block, at += kTmLanes) {
                std::uint8_t *missing = scratch.missing.data() + std::size_t(block) * kTmLanes;
                const std::uint8_t *letterBlock = m_letterBlocks.data() + std::size_t(block) * kTmBlockBytes;
                std::uint32_t lanes = 0;
                if (before < 0)
                    lanes = letters.scanWithin(letterBlock, missing, most);
                else
                    lanes = TmLanesWithin(missing, most) & ~TmLanesWithin(missing, std::uint8_t(before));
                if (end - at < kTmLanes)
                    lanes &= (1u << (end - at)) - 1;
                for (; lanes != 0; lanes &= lanes - 1) {
                    const int lane = std::countr_zero(lanes);
                    survivors.push_back({at + std::uint32_t(lane), std::uint32_t(TmLetterBound(missing[lane], n, m))});
                }
            }
            for (std::size_t i = 0; i < survivors.size(); ++i) {
                if (i + kReadAhead < survivors.size())
                    prefetch(m_pairBags.data() + std::size_t(survivors[i + kReadAhead].position) * kTmPairBagBytes);
                const std::uint32_t p = survivors[i].position;
                const std::size_t pairMissing = pairs.missingIn(m_pairBags.data() + std::size_t(p) * kTmPairBagBytes);
                const std::size_t edits = std::max<std::size_t>(survivors[i].edits, TmPairBound(pairMissing, n, m));
                const int bound = TmScoreBound(n, m, edits);
                if (bound >= least)
                    buckets[std::size_t(bound)].push_back({p, std::uint32_t(m)});
            }
        }
    };

    std::vector<TmMatch> found;
    std::size_t suggestionsAt[kBounds] = {};
    std::size_t suggestionsAbove = 0;  // of the originals scoring at least the current bound
    int bar = minScore;
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
    int threshold = std::max(minScore, kFirstThreshold);
    int above = kBounds;  // every position bounded at or above this is taken
    for (;;) {
        take(threshold);
        bool done = false;
        for (int bound = above - 1; bound >= threshold; --bound) {
            std::vector<Candidate> &bucket = buckets[std::size_t(bound)];
            for (std::size_t i = 0; i < bucket.size(); ++i) {
                if (i + kReadAhead < bucket.size()) {
                    const Candidate &ahead = bucket[i + kReadAhead];
                    const TmUnit *units = unitsAt(ahead.position, ahead.length);
                    // Each cache line of its units, the first few at most.
                    for (std::size_t line = 0; line < std::min<std::size_t>(ahead.length, kUnitsReadAhead);
                         line += kUnitsPerLine)
                        prefetch(units + line);
                }
                const std::uint32_t p = bucket[i].position;
                const std::size_t length = bucket[i].length;
                const TmUnit *units = unitsAt(p, length);
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
            // Every original scoring at least `bound` is found now: its
            // bound was at least that, and it was taken.
            suggestionsAbove += suggestionsAt[bound];
            if (suggestionsAbove >= wanted) {
                bar = bound;
                done = true;
                break;
            }
        }
        if (done || threshold <= minScore)
            break;
        // Too few suggestions score at least the threshold, so the last of
        // those found so far (`least`) scores below it, and the answer does
        // not reach below `least`.
        above = threshold;
        threshold = std::max(least, threshold - kThresholdStep);
    }
    for (std::vector<Candidate> &bucket : buckets)
        bucket.clear();
    std::fill(scratch.taken.begin() + std::ptrdiff_t(scanned.first), scratch.taken.begin() + std::ptrdiff_t(scanned.second),
              std::int16_t(-1));

    found.erase(std::remove_if(found.begin(), found.end(), [bar](const TmMatch &m) { return m.score < bar; }),
                found.end());
    std::sort(found.begin(), found.end(), [](const TmMatch &a, const TmMatch &b) {
        return a.score != b.score ? a.score > b.score : a.original < b.original;
    });
    return found;
}
