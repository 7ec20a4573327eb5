#include "memory/tm_bags.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

std::uint8_t addCapped(std::uint8_t count, std::uint8_t cap) { return count < cap ? std::uint8_t(count + 1) : cap; }

std::uint8_t pairCount(const TmPairBag &bag, std::size_t bucket)
{
    const std::uint8_t byte = bag[bucket % kTmPairBagBytes];
    return bucket < kTmPairBagBytes ? std::uint8_t(byte & 0x0F) : std::uint8_t(byte >> 4);
}

} // namespace

std::size_t TmLetterBucket(TmUnit unit)
{
    if (unit >= 'a' && unit <= 'z')
        return unit - 'a';
    if (unit >= 'A' && unit <= 'Z')
        return unit - 'A';
    if (unit == ' ')
        return 26;
    if (unit >= '0' && unit <= '9')
        return 27;
    if (unit < 128)
        return 28 + (unit & 3);
    return (unit * 0x9E3779B1u) >> 27;
}

std::size_t TmPairBucket(TmUnit first, TmUnit second)
{
    return ((first * 0x85EBCA6Bu) ^ second) * 0x9E3779B1u >> 25;
}

TmLetterBag TmLetterBagOf(const TmUnit *units, std::size_t length)
{
    TmLetterBag bag{};
    for (std::size_t i = 0; i < length; ++i) {
        std::uint8_t &count = bag[TmLetterBucket(units[i])];
        count = addCapped(count, 255);
    }
    return bag;
}

TmPairBag TmPairBagOf(const TmUnit *units, std::size_t length)
{
    std::array<std::uint8_t, kTmPairBuckets> counts{};
    TmUnit previous = kTmTextStart;
    for (std::size_t i = 0; i <= length; ++i) {
        const TmUnit unit = i < length ? units[i] : kTmTextEnd;
        std::uint8_t &count = counts[TmPairBucket(previous, unit)];
        count = addCapped(count, kTmPairCountCap);
        previous = unit;
    }
    TmPairBag bag{};
    for (std::size_t i = 0; i < kTmPairBagBytes; ++i)
        bag[i] = std::uint8_t(counts[i] | (counts[i + kTmPairBagBytes] << 4));
    return bag;
}

std::size_t TmLetterMissing(const TmLetterBag &query, const TmLetterBag &other)
{
    std::size_t missing = 0;
    for (std::size_t b = 0; b < kTmLetterBuckets; ++b)
        missing += query[b] > other[b] ? query[b] - other[b] : 0;
    return missing;
}

std::size_t TmPairMissing(const TmPairBag &query, const TmPairBag &other)
{
    std::size_t missing = 0;
    for (std::size_t b = 0; b < kTmPairBuckets; ++b) {
        const std::uint8_t q = pairCount(query, b), o = pairCount(other, b);
        missing += q > o ? q - o : 0;
    }
    return missing;
}

TmPairQuery::TmPairQuery(const TmPairBag &bag)
{
    for (std::size_t b = 0; b < kTmPairBuckets; ++b)
        m_counts[b] = pairCount(bag, b);
}

std::size_t TmPairQuery::missingIn(const std::uint8_t *packed) const
{
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi8(0x0F);
    __m128i sum = _mm_setzero_si128();
    for (std::size_t k = 0; k < kTmPairBagBytes / 16; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(packed + 16 * k));
        const __m128i lowCounts = _mm_and_si128(bytes, low);
        const __m128i highCounts = _mm_and_si128(_mm_srli_epi16(bytes, 4), low);
        const __m128i queryLow = _mm_load_si128(reinterpret_cast<const __m128i *>(m_counts.data() + 16 * k));
        const __m128i queryHigh =
            _mm_load_si128(reinterpret_cast<const __m128i *>(m_counts.data() + kTmPairBagBytes + 16 * k));
        // At most 8 * 15 per byte: no overflow.
        sum = _mm_add_epi8(sum, _mm_subs_epu8(queryLow, lowCounts));
        sum = _mm_add_epi8(sum, _mm_subs_epu8(queryHigh, highCounts));
    }
    const __m128i halves = _mm_sad_epu8(sum, _mm_setzero_si128());
    return std::size_t(_mm_cvtsi128_si32(halves)) + std::size_t(_mm_cvtsi128_si32(_mm_srli_si128(halves, 8)));
#else
    std::size_t missing = 0;
    for (std::size_t b = 0; b < kTmPairBuckets; ++b) {
        const std::uint8_t byte = packed[b % kTmPairBagBytes];
        const std::uint8_t other = b < kTmPairBagBytes ? std::uint8_t(byte & 0x0F) : std::uint8_t(byte >> 4);
        missing += m_counts[b] > other ? m_counts[b] - other : 0;
    }
    return missing;
#endif
}

void TmStoreLetterBag(const TmLetterBag &bag, std::uint8_t *block, std::size_t lane)
{
    for (std::size_t b = 0; b < kTmLetterBuckets; ++b)
        block[b * kTmLanes + lane] = bag[b];
}

TmLetterQuery::TmLetterQuery(const TmLetterBag &bag)
{
    for (std::size_t b = 0; b < kTmLetterBuckets; ++b) {
        if (bag[b] == 0)
            continue;
        Row row;
        std::fill(std::begin(row.counts), std::end(row.counts), bag[b]);
        row.offset = b * kTmLanes;
        m_rows.push_back(row);
    }
}

void TmLetterQuery::scanNarrow(const std::uint8_t *block, std::uint8_t *missing) const
{
#if defined(__SSE2__)
    __m128i low = _mm_setzero_si128(), high = _mm_setzero_si128();
    for (const Row &row : m_rows) {
        const __m128i query = _mm_load_si128(reinterpret_cast<const __m128i *>(row.counts));
        const __m128i *counts = reinterpret_cast<const __m128i *>(block + row.offset);
        low = _mm_adds_epu8(low, _mm_subs_epu8(query, _mm_loadu_si128(counts)));
        high = _mm_adds_epu8(high, _mm_subs_epu8(query, _mm_loadu_si128(counts + 1)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(missing), low);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(missing + 16), high);
#else
    for (std::size_t lane = 0; lane < kTmLanes; ++lane) {
        unsigned sum = 0;
        for (const Row &row : m_rows) {
            const std::uint8_t other = block[row.offset + lane];
            sum += row.counts[0] > other ? row.counts[0] - other : 0;
        }
        missing[lane] = std::uint8_t(std::min(sum, 255u));
    }
#endif
}

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

// Whether the processor (and the system, which must save the wide
// registers) has AVX2.
const bool g_wideScans = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));

} // namespace

__attribute__((target("avx2"))) std::uint32_t TmLetterQuery::scanWide(const std::uint8_t *block, std::uint8_t *missing,
                                                                      std::uint8_t most) const
{
    __m256i sum = _mm256_setzero_si256();
    for (const Row &row : m_rows) {
        const __m256i query = _mm256_load_si256(reinterpret_cast<const __m256i *>(row.counts));
        const __m256i counts = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block + row.offset));
        sum = _mm256_adds_epu8(sum, _mm256_subs_epu8(query, counts));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(missing), sum);
    const __m256i over = _mm256_subs_epu8(sum, _mm256_set1_epi8(char(most)));
    return std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(over, _mm256_setzero_si256())));
}

#endif

std::uint32_t TmLetterQuery::scanWithin(const std::uint8_t *block, std::uint8_t *missing, std::uint8_t most) const
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (g_wideScans)
        return scanWide(block, missing, most);
#endif
    scanNarrow(block, missing);
    return TmLanesWithin(missing, most);
}
