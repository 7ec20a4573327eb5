#include "memory/translation_memory.h"

#include "catalogue/catalogue_reading.h"
#include "catalogue/catalogue_types.h"
#include "memory/run_on_threads.h"
#include "memory/tm_score.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace {
constexpr std::uint32_t kNoKey = 0xFFFFFFFFu;

// Whether the text lies in blocks (QString::fromRawData): it, and every
// copy of it, refers to them.
bool inBlocks(const QString &text) { return !text.data_ptr().isMutable(); }

// The text as a string of its own.
QString ownCopy(const QString &text) { return inBlocks(text) ? QString(text.constData(), text.size()) : text; }
} // namespace


bool IsMemorySegment(const QString &original, const QString &translation, int translatable)
{
    return translatable != 0 && !original.isEmpty() && !translation.isEmpty() && translation != original;
}

// --- building ----------------------------------------------------------------

std::uint32_t TranslationMemoryBuilder::intern(const QString &text, std::uint32_t hash)
{
    const std::uint32_t found = m_ids.find(text, hash, [this](std::uint32_t id) -> const QString & { return m_texts[id]; });
    if (found != TextHashTable::kNone)
        return found;
    const auto id = std::uint32_t(m_texts.size());
    m_texts.push_back(text);
    m_ids.insert(hash, id);
    return id;
}

std::uint32_t TranslationMemoryBuilder::addFile(const QString &path)
{
    m_files.append(path);
    return std::uint32_t(m_files.size() - 1);
}

void TranslationMemoryBuilder::addSegment(std::uint32_t file, const QString &original, const QString &translation,
                                          const KeyList &keys)
{
    Segment segment{intern(original), intern(translation), file, std::uint32_t(m_segments.size()),
                    std::uint32_t(m_keyIds.size()), std::uint32_t(keys.size())};
    for (const QString &key : keys)
        m_keyIds.push_back(intern(key));
    m_segments.push_back(segment);
}

void TranslationMemoryBuilder::addCatalogue(std::uint32_t file, const CXMLStruct &catalogue)
{
    const EntryMap &entries = catalogue.entries;
    for (std::size_t number = 0; number < entries.size(); ++number) {
        const StringEntry &entry = entries.byNumber(number);
        if (IsMemorySegment(entry.original, entry.translation, entry.translatable))
            addSegment(file, entry.original, entry.translation, entry.keys);
    }
}

void TranslationMemoryBuilder::addLanguageFile(std::uint32_t file, std::vector<std::vector<MergeItem>> &&pieces,
                                               std::vector<std::unique_ptr<TextBlocks>> &&blocks)
{
    const auto firstNew = std::uint32_t(m_texts.size());
    // The file's entries, as reading it into a catalogue makes them.
    struct Entry {
        std::uint32_t original;
        std::uint32_t translation;
        int translatable;
        std::uint32_t firstKey = kNoKey;  // the first key, when there is one
        std::uint32_t moreKeys = 0;       // 1 + the index of its further keys, or 0
    };
    std::vector<Entry> entries;
    std::vector<std::vector<std::uint32_t>> moreKeys;
    // Keys of an entry holding many, as a set, so that a file repeating one
    // original under thousands of keys is read in linear time.
    std::unordered_map<std::uint32_t, std::unordered_set<std::uint32_t>> keySets;
    constexpr std::size_t kKeySetFrom = 16;
    auto holdsKey = [&](std::uint32_t at, std::uint32_t key) {
        const Entry &entry = entries[at];
        if (entry.firstKey == key)
            return true;
        if (entry.moreKeys == 0)
            return false;
        const std::vector<std::uint32_t> &more = moreKeys[entry.moreKeys - 1];
        if (more.size() < kKeySetFrom)
            return std::find(more.begin(), more.end(), key) != more.end();
        auto found = keySets.find(at);
        if (found == keySets.end()) {
            found = keySets.emplace(at, std::unordered_set<std::uint32_t>(more.begin(), more.end())).first;
            found->second.insert(entry.firstKey);
        }
        return !found->second.insert(key).second;  // the caller appends it
    };

    const std::uint64_t stamp = std::uint64_t(++m_filesRead) << 32;
    std::size_t items = 0;
    for (const std::vector<MergeItem> &piece : pieces)
        items += piece.size();
    entries.reserve(items);
    m_texts.reserve(m_texts.size() + 3 * items);
    m_ids.reserve(m_texts.size() + 3 * items);

    // The hashes of every item's texts, a piece per thread; then the texts
    // are interned in order on this thread, the table's slots for the items
    // a few ahead asked for before they are needed.
    struct Hashes {
        std::uint32_t original;
        std::uint32_t key;
        std::uint32_t translation;
    };
    const QString noKey;
    auto keyOf = [&noKey](const StringEntry &read) -> const QString & {
        return read.keys.isEmpty() ? noKey : *read.keys.begin();
    };
    std::vector<std::vector<Hashes>> hashes(pieces.size());
    std::atomic<std::size_t> nextPiece{0};
    const int threads = int(std::min<std::size_t>(pieces.size(), std::clamp(std::thread::hardware_concurrency(), 1u, 4u)));
    RunOnThreads(std::max(threads, 1), [&] {
        for (std::size_t k = nextPiece++; k < pieces.size(); k = nextPiece++) {
            hashes[k].reserve(pieces[k].size());
            for (const MergeItem &item : pieces[k])
                hashes[k].push_back({HashOriginal(item.entry.original), HashOriginal(keyOf(item.entry)),
                                     HashOriginal(item.entry.translation)});
        }
    });
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        std::vector<MergeItem> &piece = pieces[k];
        const std::vector<Hashes> &pieceHashes = hashes[k];
        for (std::size_t i = 0; i < piece.size(); ++i) {
            if (i + kAhead < piece.size()) {
                const Hashes &ahead = pieceHashes[i + kAhead];
                m_ids.prefetch(ahead.original);
                m_ids.prefetch(ahead.key);
                m_ids.prefetch(ahead.translation);
            }
            MergeItem &item = piece[i];
            const Hashes &hash = pieceHashes[i];
            const StringEntry &read = item.entry;
            const std::uint32_t original = intern(read.original, hash.original);
            const std::uint32_t key = intern(keyOf(read), hash.key);
            if (m_entryOf.size() < m_texts.size())
                m_entryOf.resize(std::max(m_texts.size(), 2 * m_entryOf.size()), 0);
            std::uint64_t &seen = m_entryOf[original];
            if ((seen >> 32) != (stamp >> 32)) {
                seen = stamp | entries.size();
                entries.push_back({original, intern(read.translation, hash.translation), read.translatable});
                if (!read.keys.isEmpty())
                    entries.back().firstKey = key;
                continue;
            }
            const auto at = std::uint32_t(seen);
            Entry &stored = entries[at];
            const bool replaces =
                m_texts[stored.translation].isEmpty() || (stored.translation == stored.original && item.toDiffers);
            if (replaces) {
                stored = {original, intern(read.translation, hash.translation), read.translatable};
                if (!read.keys.isEmpty())
                    stored.firstKey = key;
                keySets.erase(at);
            }
            if (stored.firstKey != kNoKey && !holdsKey(at, key)) {
                if (stored.moreKeys == 0) {
                    moreKeys.emplace_back();
                    stored.moreKeys = std::uint32_t(moreKeys.size());
                }
                moreKeys[stored.moreKeys - 1].push_back(key);
            }
        }
        std::vector<MergeItem>().swap(piece);
    }
    keepBlocksOrCopy(firstNew, std::move(blocks));

    m_segments.reserve(m_segments.size() + entries.size());
    for (const Entry &entry : entries) {
        if (!IsMemorySegment(m_texts[entry.original], m_texts[entry.translation], entry.translatable))
            continue;
        const std::uint32_t firstKey = std::uint32_t(m_keyIds.size());
        if (entry.firstKey != kNoKey) {
            m_keyIds.push_back(entry.firstKey);
            if (entry.moreKeys != 0) {
                const std::vector<std::uint32_t> &more = moreKeys[entry.moreKeys - 1];
                m_keyIds.insert(m_keyIds.end(), more.begin(), more.end());
            }
        }
        m_segments.push_back({entry.original, entry.translation, file, std::uint32_t(m_segments.size()), firstKey,
                              std::uint32_t(m_keyIds.size()) - firstKey});
    }
}

void TranslationMemoryBuilder::keepBlocksOrCopy(std::uint32_t firstNew, std::vector<std::unique_ptr<TextBlocks>> &&blocks)
{
    if (blocks.empty())
        return;
    // The blocks hold every text of the file; the memory keeps only those
    // it had not met before. When that is less than half of them (a file
    // repeating other files' strings), the kept ones get strings of their
    // own instead, so that the memory never holds more than twice its
    // texts.
    std::size_t held = 0, kept = 0;
    for (const std::unique_ptr<TextBlocks> &block : blocks)
        held += block->unitsHeld();
    for (std::size_t id = firstNew; id < m_texts.size(); ++id) {
        if (inBlocks(m_texts[id]))
            kept += std::size_t(m_texts[id].size()) + 1;
    }
    if (2 * kept >= held) {
        for (std::unique_ptr<TextBlocks> &block : blocks)
            m_blocks.push_back(std::move(block));
        return;
    }
    for (std::size_t id = firstNew; id < m_texts.size(); ++id)
        m_texts[id] = ownCopy(m_texts[id]);
}

std::shared_ptr<TranslationMemory> TranslationMemoryBuilder::build()
{
    auto memory = std::make_shared<TranslationMemory>();
    TranslationMemory &m = *memory;

    // Originals numbered in the order they were first met (by file, then
    // entry), so that the memory is the same whatever order the loading
    // threads finished in.
    constexpr std::uint64_t kUnmet = ~std::uint64_t(0);
    TmLargeVector<std::uint64_t> firstMet(m_texts.size(), kUnmet);
    for (const Segment &segment : m_segments) {
        const std::uint64_t met = (std::uint64_t(segment.file) << 32) | segment.sequence;
        firstMet[segment.original] = std::min(firstMet[segment.original], met);
    }
    std::vector<std::uint32_t> originalIds;
    for (std::uint32_t id = 0; id < m_texts.size(); ++id) {
        if (firstMet[id] != kUnmet)
            originalIds.push_back(id);
    }
    std::sort(originalIds.begin(), originalIds.end(),
              [&firstMet](std::uint32_t a, std::uint32_t b) { return firstMet[a] < firstMet[b]; });
    TmLargeVector<std::uint32_t> rank(m_texts.size(), 0);
    for (std::uint32_t i = 0; i < originalIds.size(); ++i)
        rank[originalIds[i]] = i;

    std::sort(m_segments.begin(), m_segments.end(), [&rank](const Segment &a, const Segment &b) {
        if (a.original != b.original)
            return rank[a.original] < rank[b.original];
        if (a.translation != b.translation)
            return a.translation < b.translation;
        return a.file != b.file ? a.file < b.file : a.sequence < b.sequence;
    });

    m.m_originals.reserve(originalIds.size());
    m.m_sources.reserve(m_segments.size());
    m.m_exact.reserve(originalIds.size());
    // An original's variants with the place each was first met.
    std::vector<std::pair<TranslationMemory::Variant, std::uint64_t>> variants;
    for (std::size_t i = 0; i < m_segments.size();) {
        const std::uint32_t original = m_segments[i].original;
        const auto firstVariant = std::uint32_t(m.m_variants.size());
        variants.clear();
        while (i < m_segments.size() && m_segments[i].original == original) {
            const std::uint32_t translation = m_segments[i].translation;
            const auto firstSource = std::uint32_t(m.m_sources.size());
            const std::uint64_t met = (std::uint64_t(m_segments[i].file) << 32) | m_segments[i].sequence;
            for (; i < m_segments.size() && m_segments[i].original == original &&
                   m_segments[i].translation == translation;
                 ++i) {
                const Segment &s = m_segments[i];
                m.m_sources.push_back({s.file, s.firstKey, s.keyCount});
            }
            variants.push_back({{translation, firstSource, std::uint32_t(m.m_sources.size()) - firstSource}, met});
        }
        // The translation most entries hold first; on a tie, the one met
        // first (file, then entry), whichever thread loaded what first.
        std::sort(variants.begin(), variants.end(), [](const auto &a, const auto &b) {
            if (a.first.sourceCount != b.first.sourceCount)
                return a.first.sourceCount > b.first.sourceCount;
            return a.second < b.second;
        });
        for (const auto &variant : variants)
            m.m_variants.push_back(variant.first);
        m.m_exact.insert(HashOriginal(m_texts[original]), std::uint32_t(m.m_originals.size()));
        m.m_originals.push_back({original, firstVariant, std::uint32_t(m.m_variants.size()) - firstVariant});
    }
    m.m_texts = std::move(m_texts);
    m.m_blocks = std::move(m_blocks);
    m.m_keyIds = std::move(m_keyIds);
    m.m_files = std::move(m_files);
    *this = TranslationMemoryBuilder();
    return memory;
}

// --- looking up ----------------------------------------------------------------

std::uint32_t TranslationMemory::findOriginal(const QString &text) const
{
    return m_exact.find(text, HashOriginal(text),
                        [this](std::uint32_t i) -> const QString & { return m_texts[m_originals[i].text]; });
}

void TranslationMemory::prepareFuzzyIndex() const
{
    std::call_once(m_indexBuilt, [this] {
        const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
        m_index.build(
            std::uint32_t(m_originals.size()),
            [this](std::uint32_t i) { return TmComparisonUnits(m_texts[m_originals[i].text]); }, threads);
    });
}

void TranslationMemory::appendVariants(std::uint32_t index, int score, int limit,
                                       std::vector<TmSuggestion> &out) const
{
    const Original &original = m_originals[index];
    for (std::uint32_t v = 0; v < original.variantCount && int(out.size()) < limit; ++v) {
        const Variant &variant = m_variants[original.firstVariant + v];
        TmSuggestion suggestion;
        suggestion.score = score;
        suggestion.original = ownCopy(m_texts[original.text]);
        suggestion.translation = ownCopy(m_texts[variant.translation]);
        for (std::uint32_t s = 0; s < variant.sourceCount; ++s) {
            const Source &source = m_sources[variant.firstSource + s];
            const QString &file = m_files.at(source.file);
            if (suggestion.files.isEmpty() || suggestion.files.constLast() != file)
                suggestion.files.append(file);
            for (std::uint32_t k = 0; k < source.keyCount; ++k) {
                const QString &key = m_texts[m_keyIds[source.firstKey + k]];
                if (!suggestion.keys.contains(key))
                    suggestion.keys.append(ownCopy(key));
            }
        }
        out.push_back(std::move(suggestion));
    }
}

std::vector<TmSuggestion> TranslationMemory::lookup(const QString &original, int minScore, int limit) const
{
    std::vector<TmSuggestion> out;
    if (limit <= 0 || m_originals.empty())
        return out;
    minScore = std::clamp(minScore, 0, kTmIdenticalScore);
    const std::uint32_t exact = findOriginal(original);
    const bool hasExact = exact != TextHashTable::kNone;
    // Only the identical original scores 100: when it has the suggestions
    // asked for, no other original can come before them.
    if (minScore >= kTmIdenticalScore || (hasExact && m_originals[exact].variantCount >= std::uint32_t(limit))) {
        if (hasExact)
            appendVariants(exact, kTmIdenticalScore, limit, out);
        return out;
    }

    prepareFuzzyIndex();
    const TmScorer scorer(original);
    const std::vector<TmMatch> matches = m_index.bestMatches(
        scorer, minScore, std::size_t(limit), [this](std::uint32_t i) { return std::size_t(m_originals[i].variantCount); },
        [this](std::uint32_t i) -> const QString & { return m_texts[m_originals[i].text]; });
    for (const TmMatch &match : matches) {
        if (int(out.size()) >= limit)
            break;
        appendVariants(match.original, match.score, limit, out);
    }
    return out;
}
