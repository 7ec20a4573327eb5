#pragma once
// Entry numbers put in original order in steps (EntryTable::NumberSort): a
// merge sort of the table's sort records whose every step does a bounded
// amount of work, so that the editor can order a million rows between
// paints. The result equals EntryTable::sortNumbers.

#include "catalogue/entry_table.h"

class EntryTable::NumberSort {
public:
    NumberSort(const EntryTable &table, std::vector<std::uint32_t> numbers);
    // Does up to `budget` more units of work (a record made, sorted or
    // merged); true once the numbers are in order.
    bool step(size_t budget);
    bool isDone() const { return m_done; }
    // The numbers in order (once done). When they are every entry of a
    // table that was not ordered, the table takes them as its order.
    std::vector<std::uint32_t> take();

private:
    // Records are first sorted in runs of this many, then merged pairwise.
    static constexpr size_t kRun = 4096;

    const EntryTable &m_table;
    std::vector<std::uint32_t> m_numbers;
    std::vector<SortRecord> m_records, m_merged;
    size_t m_made = 0;    // records made
    size_t m_sorted = 0;  // records sorted in their runs
    size_t m_width = kRun;  // sorted stretches being merged in pairs
    size_t m_low = 0, m_middle = 0, m_high = 0;  // the pair being merged
    size_t m_left = 0, m_right = 0, m_out = 0;   // where the merge is
    bool m_inPair = false;
    bool m_done = false;
};
