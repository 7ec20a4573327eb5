#pragma once
// Bags of a comparison form: how many of its units, and of its pairs of
// neighbouring units, fall into each of a few buckets. They bound the edit
// distance from below at a few machine instructions per text, so that the
// fuzzy index can set most originals aside without computing a distance.
//
// Each edit (insertion, deletion or substitution of one unit) takes at most
// one unit out of a text and puts at most one in, and takes at most two
// pairs out and puts at most two in (the text framed by a start and an end
// mark, so that every unit is in two pairs). So when the units of text A
// missing from text B (counted with multiplicity, bucket by bucket: the
// "missing count") come to k, A and B are at least k edits apart, and at
// least ceil(k / 2) for the pairs; the same holds from B to A, whose missing
// count is A's plus the difference in length. Buckets only merge units, and
// counts capped alike on both sides only shrink the missing count, so
// neither makes a bound too high.

#include "memory/tm_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Buckets of single units: the 26 letters, the space, the digits, and four
// for the rest (other ASCII by its low bits, other units by a hash).
constexpr std::size_t kTmLetterBuckets = 32;
// Buckets of pairs; their counts are kept in four bits (up to 15).
constexpr std::size_t kTmPairBuckets = 128;
constexpr std::uint8_t kTmPairCountCap = 15;
// The packed pair bag: bucket i in the low half of byte i % 64, bucket
// i + 64 in the high half.
constexpr std::size_t kTmPairBagBytes = kTmPairBuckets / 2;

std::size_t TmLetterBucket(TmUnit unit);
std::size_t TmPairBucket(TmUnit first, TmUnit second);

// Unit counts per letter bucket, capped at 255.
using TmLetterBag = std::array<std::uint8_t, kTmLetterBuckets>;
TmLetterBag TmLetterBagOf(const TmUnit *units, std::size_t length);

// Pair counts per pair bucket (the start and end marks included), capped at
// kTmPairCountCap, packed as described above.
using TmPairBag = std::array<std::uint8_t, kTmPairBagBytes>;
TmPairBag TmPairBagOf(const TmUnit *units, std::size_t length);

// The missing counts of `query` in `other`: the sum over the buckets of
// what the query has more of.
std::size_t TmLetterMissing(const TmLetterBag &query, const TmLetterBag &other);
std::size_t TmPairMissing(const TmPairBag &query, const TmPairBag &other);

// The least edit distance the bags allow between a query of `length` units
// and another text of `otherLength`, from the query's missing counts.
inline std::size_t TmLetterBound(std::size_t letterMissing, std::size_t length, std::size_t otherLength)
{
    // The other text's missing count is the query's plus the difference in
    // length (exactly so uncapped; capped counts only make it smaller).
    const std::size_t longer = otherLength > length ? letterMissing + (otherLength - length) : letterMissing;
    const std::size_t difference = length > otherLength ? length - otherLength : otherLength - length;
    return std::max(longer, difference);
}

inline std::size_t TmPairBound(std::size_t pairMissing, std::size_t length, std::size_t otherLength)
{
    const std::size_t longer = otherLength > length ? pairMissing + (otherLength - length) : pairMissing;
    return (longer + 1) / 2;
}

// A query's pair bag unpacked for comparing it with many packed bags at
// once (TmPairMissing with SIMD where the machine has it).
class TmPairQuery {
public:
    explicit TmPairQuery(const TmPairBag &bag);
    std::size_t missingIn(const std::uint8_t *packed) const;

private:
    alignas(16) std::array<std::uint8_t, kTmPairBuckets> m_counts;  // bucket by bucket
};

// Letter bags of many texts stored column-wise, thirty-two texts (lanes) to
// a block: block b holds, for each bucket, the lanes' counts side by side
// (kTmLetterBuckets * 32 bytes), so that one query is compared with
// thirty-two texts at a time: one instruction a bucket where the processor
// has 32-byte registers, two where it has 16-byte ones.
constexpr std::size_t kTmLanes = 32;
constexpr std::size_t kTmBlockBytes = kTmLetterBuckets * kTmLanes;

void TmStoreLetterBag(const TmLetterBag &bag, std::uint8_t *block, std::size_t lane);

// The lanes (a bit each) of a block's missing counts that are at most `most`.
inline std::uint32_t TmLanesWithin(const std::uint8_t *missing, std::uint8_t most)
{
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi8(char(most));
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(missing));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(missing + 16));
    const auto within = [&](__m128i counts) {
        return std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(counts, limit), _mm_setzero_si128())));
    };
    return within(low) | (within(high) << 16);
#else
    std::uint32_t lanes = 0;
    for (std::size_t lane = 0; lane < kTmLanes; ++lane)
        lanes |= (missing[lane] <= most ? 1u : 0u) << lane;
    return lanes;
#endif
}

// A query's letter bag prepared for block scans.
class TmLetterQuery {
public:
    explicit TmLetterQuery(const TmLetterBag &bag);
    // Every lane's missing count in `block` (capped at 255) into the
    // kTmLanes bytes at `missing`, and the lanes whose count is at most
    // `most` (as TmLanesWithin gives them): with 32-byte registers where
    // the processor has them, else as scanNarrow.
    std::uint32_t scanWithin(const std::uint8_t *block, std::uint8_t *missing, std::uint8_t most) const;
    // The missing counts with 16-byte registers at most, as any x86-64 has.
    void scanNarrow(const std::uint8_t *block, std::uint8_t *missing) const;

private:
    // The buckets the query has units in: the bucket's row in a block and
    // the query's count there, in every lane.
    struct Row {
        alignas(32) std::uint8_t counts[kTmLanes];
        std::size_t offset;
    };
    std::vector<Row> m_rows;

    std::uint32_t scanWide(const std::uint8_t *block, std::uint8_t *missing, std::uint8_t most) const;
};
