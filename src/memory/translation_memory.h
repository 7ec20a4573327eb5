#pragma once
// The translation memory: the translated strings of many language files of
// one language, looked up by original.
//
// A segment is one translatable, translated entry of one file (translation
// neither empty nor equal to its original): original, translation, keys and
// file. Texts are held once however many files repeat them (originals,
// translations and keys are interned), and segments with the same original
// and translation are one variant with the files holding it, so the memory
// keeps no catalogue and grows with the distinct texts. Texts may lie in
// blocks of the files' texts that the memory holds (see addLanguageFile);
// what a lookup hands out is always a string of its own.
//
// A built memory does not change: lookups may run on any number of threads
// at once.

#include "memory/text_hash_table.h"
#include "memory/tm_fuzzy_index.h"

#include "catalogue/flat_elements.h"

#include <QStringList>
#include <memory>
#include <mutex>
#include <vector>

class KeyList;
struct CXMLStruct;
struct MergeItem;

// One translation offered for an original.
struct TmSuggestion {
    int score = 0;            // 0 to 100, see tm_score.h
    QString original;         // the memory's original
    QString translation;
    QStringList files;        // the files holding this pair, in load order
    QStringList keys;         // their keys, each once
};

class TranslationMemory {
public:
    std::size_t originalCount() const { return m_originals.size(); }
    std::size_t segmentCount() const { return m_sources.size(); }
    const QStringList &files() const { return m_files; }

    // The best suggestions for `original` scoring at least `minScore`, at
    // most `limit`: by score (equal scores: the original met first), then,
    // for one original translated in several ways, the translation most
    // files hold first. A minimum of 100 looks for the identical original
    // only.
    std::vector<TmSuggestion> lookup(const QString &original, int minScore, int limit) const;

    // Builds the candidate index now (a lookup below 100 otherwise builds it
    // first), so that a background thread can pay for it.
    void prepareFuzzyIndex() const;

private:
    friend class TranslationMemoryBuilder;

    // Identifies a variant's files and keys: entries of m_sources.
    struct Source {
        std::uint32_t file;
        std::uint32_t firstKey;  // into m_keyIds
        std::uint32_t keyCount;
    };
    struct Variant {
        std::uint32_t translation;  // into m_texts
        std::uint32_t firstSource;
        std::uint32_t sourceCount;
    };
    struct Original {
        std::uint32_t text;
        std::uint32_t firstVariant;
        std::uint32_t variantCount;
    };

    // Appends the variants of original `index` with this score.
    void appendVariants(std::uint32_t index, int score, int limit, std::vector<TmSuggestion> &out) const;
    // The original with this text, or TextHashTable::kNone.
    std::uint32_t findOriginal(const QString &text) const;

    TmLargeVector<QString> m_texts;
    std::vector<std::unique_ptr<TextBlocks>> m_blocks;  // what texts of m_texts lie in
    std::vector<Original> m_originals;  // in the order first met: by file, then entry
    std::vector<Variant> m_variants;    // per original, most files first
    std::vector<Source> m_sources;      // per variant, in file order
    std::vector<std::uint32_t> m_keyIds;
    QStringList m_files;
    TextHashTable m_exact;              // original text -> original
    mutable std::once_flag m_indexBuilt;
    mutable TmFuzzyIndex m_index;
};

// Collects segments, then makes the memory. Not for several threads at once.
class TranslationMemoryBuilder {
public:
    // The file's number for addSegment, in the order the files are to count.
    std::uint32_t addFile(const QString &path);
    // A segment; the caller has checked that it is one (see above).
    void addSegment(std::uint32_t file, const QString &original, const QString &translation, const KeyList &keys);
    // The segments of a loaded catalogue: its translatable, translated entries.
    void addCatalogue(std::uint32_t file, const CXMLStruct &catalogue);
    // The segments of a language file read as merge items, its pieces in
    // order (ReadCatalogueItemsOnThreads): what addCatalogue takes from the
    // catalogue the file reads into, without making the catalogue. An
    // original met again replaces the entry kept for it when that one is
    // untranslated and the new one differs from its original, and then or
    // otherwise adds its key to the entry's keys (when it has some), as
    // reading a file does. The texts may lie in `blocks`, which the memory
    // then keeps.
    void addLanguageFile(std::uint32_t file, std::vector<std::vector<MergeItem>> &&pieces,
                         std::vector<std::unique_ptr<TextBlocks>> &&blocks = {});
    std::size_t segmentCount() const { return m_segments.size(); }

    // Hands the memory over; the builder is empty afterwards.
    std::shared_ptr<TranslationMemory> build();

private:
    struct Segment {
        std::uint32_t original;
        std::uint32_t translation;
        std::uint32_t file;
        std::uint32_t sequence;  // order of addition (within a file: entry order)
        std::uint32_t firstKey;
        std::uint32_t keyCount;
    };
    // Takes the blocks the texts from firstNew on may lie in, or gives
    // those texts strings of their own when the blocks are mostly texts the
    // memory does not keep.
    void keepBlocksOrCopy(std::uint32_t firstNew, std::vector<std::unique_ptr<TextBlocks>> &&blocks);
    std::uint32_t intern(const QString &text) { return intern(text, HashOriginal(text)); }
    // `hash` is HashOriginal(text).
    std::uint32_t intern(const QString &text, std::uint32_t hash);

    TmLargeVector<QString> m_texts;
    std::vector<std::unique_ptr<TextBlocks>> m_blocks;
    TextHashTable m_ids;  // text -> its number in m_texts
    TmLargeVector<Segment> m_segments;
    std::vector<std::uint32_t> m_keyIds;
    QStringList m_files;
    // Per text: the file read last that holds it as an original (its
    // number of addLanguageFile calls) and its entry there.
    TmLargeVector<std::uint64_t> m_entryOf;
    std::uint32_t m_filesRead = 0;
};

// Whether an entry is a real translation that belongs in the memory.
bool IsMemorySegment(const QString &original, const QString &translation, int translatable);
