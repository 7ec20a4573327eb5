#pragma once
// Which entries of a catalogue the editor's grid shows: Hide Translated
// Item, a state (untranslated, failing a check, ...) and a text that the
// original, the translation or a key must contain. The filter reads marks
// the entries do not hold themselves (the live counts' problems, the
// checks' warnings, the entries changed since the file was opened, the
// spelling checker's findings) through EntryMarks.

#include "catalogue/entry_table.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

class CatalogueCounts;
class CatalogueFindings;

enum class EntryFilterState { All, Untranslated, Problems, Misspelled, Changed, NotTranslatable, Warnings };

// Sets of entries (by address: entries never move while their catalogue
// holds them).
using EntrySet = std::unordered_set<const StringEntry *>;

struct EntryMarks {
    const CatalogueCounts *counts = nullptr;  // Problems; none: no entry has one
    const EntrySet *changed = nullptr;        // Changed
    const EntrySet *misspelled = nullptr;     // Misspelled
    const CatalogueFindings *findings = nullptr;  // Warnings; none: no entry has one
};

struct EntryFilter {
    QString text;  // empty: any text
    Qt::CaseSensitivity caseSensitivity = Qt::CaseInsensitive;
    bool matchKeys = false;  // the text may be in a key too
    EntryFilterState state = EntryFilterState::All;
    bool hideTranslated = false;  // only entries whose translation is empty or equals the original
    // Texts shown in place of the originals (Replace Original English): the
    // text may be in the shown text too. Null: none.
    const EntryMap *reference = nullptr;

    // Lets every entry through.
    bool isEmpty() const { return text.isEmpty() && state == EntryFilterState::All && !hideTranslated; }
    bool matches(const StringEntry &entry, const EntryMarks &marks) const;
    // Whether everything this filter lets through passes `wider` too, so
    // that the entries `wider` let through are enough to start from.
    bool narrows(const EntryFilter &wider) const;
};

// An entry Hide Translated Item keeps: its translation is empty or equals
// its original.
bool IsShownUntranslated(const StringEntry &entry);

// The numbers (EntryTable::byNumber) of the entries that pass, in the
// table's order. An unordered table is not sorted as a whole: only the
// entries that pass are put in order.
std::vector<std::uint32_t> FilterEntries(const EntryMap &entries, const EntryFilter &filter, const EntryMarks &marks);

// The candidates (entry numbers) that pass, in their order; numbers the
// table no longer holds are dropped.
std::vector<std::uint32_t> FilterEntryNumbers(const EntryMap &entries, const std::vector<std::uint32_t> &candidates,
                                              const EntryFilter &filter, const EntryMarks &marks);

// One filter pass done in steps, so that a caller can keep its window
// answering between them; the numbers it ends with equal what
// FilterEntries (or, given candidates, FilterEntryNumbers) returns in one
// go. The table and the marks must stay unchanged until the pass is done:
// a caller whose entries changed meanwhile starts a new pass.
class EntryFilterPass {
public:
    static constexpr size_t kAll = size_t(-1);

    // Every entry of the table.
    EntryFilterPass(const EntryMap &entries, const EntryFilter &filter, const EntryMarks &marks);
    // The candidates (entry numbers) in their order; numbers the table no
    // longer holds are dropped.
    EntryFilterPass(const EntryMap &entries, std::vector<std::uint32_t> candidates, const EntryFilter &filter,
                    const EntryMarks &marks);
    ~EntryFilterPass();
    EntryFilterPass(const EntryFilterPass &) = delete;
    EntryFilterPass &operator=(const EntryFilterPass &) = delete;

    // Does up to `budget` more units of work (an entry tested, a number put
    // in order); true once the pass is done.
    bool step(size_t budget);
    bool isDone() const { return m_phase == Phase::Done; }
    const EntryFilter &filter() const { return m_filter; }
    // The numbers of the entries that passed, in the table's order (once done).
    std::vector<std::uint32_t> takeNumbers() { return std::move(m_numbers); }

private:
    struct Prepared;
    enum class Phase { Testing, ByCandidates, ByPosition, Sorting, Done };
    bool passed(size_t number) const;

    const EntryMap &m_entries;
    const EntryFilter m_filter;
    const EntryMarks m_marks;
    std::vector<std::uint32_t> m_candidates;
    bool m_fromCandidates = false;
    size_t m_size = 0;
    std::vector<std::uint64_t> m_candidate;  // bit per entry number: a candidate
    std::vector<std::uint64_t> m_passed;     // bit per entry number: passed the filter
    Phase m_phase = Phase::Testing;
    size_t m_next = 0;  // the next entry number to test
    size_t m_out = 0;   // the next candidate or position to read out
    std::vector<std::uint32_t> m_numbers;
    std::unique_ptr<Prepared> m_prepared;
    std::unique_ptr<EntryTable::NumberSort> m_sort;  // Sorting
};
