#pragma once
// The entries of one catalogue: one StringEntry per distinct original,
// visited in code-unit order of the originals.
//
// A language file of 300,000 strings is loaded, searched and saved often, so
// the table is built for that:
//  - entries live in fixed-size chunks and never move, so a StringEntry* stays
//    valid for as long as the table holds the entry (the editor's grid keeps
//    them); moving the table moves only the chunk pointers;
//  - lookup by original goes through an open-addressing hash index;
//  - the order is a vector of entry numbers, sorted once when it is first
//    needed after a bulk load and kept up to date by single insertions, so
//    the n-th entry in order is an index operation.
// Entries are added, all cleared, or taken back newest first (removeLast,
// which undoing an addition needs); never removed from the middle.
//
// The interface follows std::map where the callers need it (iteration yields
// pairs of original and entry, find/end, count, at, emplace), so code reads as
// it would over an ordered map.

#include "catalogue/string_entry.h"

#include <QString>
#include <cstdint>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

class EntryTable {
public:
    // What iteration yields: the original (the entry's own) and the entry.
    template <typename Entry>
    struct Item {
        const QString &first;
        Entry &second;
        const Item *operator->() const { return this; }
    };

    template <typename Table, typename Entry>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Item<Entry>;
        using difference_type = std::ptrdiff_t;
        using reference = Item<Entry>;
        using pointer = Item<Entry>;

        Iterator() = default;
        Iterator(Table *table, size_t position) : m_table(table), m_position(position) {}
        // A mutable iterator converts to a constant one.
        template <typename OtherTable, typename OtherEntry>
        Iterator(const Iterator<OtherTable, OtherEntry> &other)
            : m_table(other.table()), m_position(other.position())
        {
        }

        Item<Entry> operator*() const
        {
            Entry &entry = m_table->entryAt(m_position);
            return {entry.original, entry};
        }
        Item<Entry> operator->() const { return **this; }
        Iterator &operator++()
        {
            ++m_position;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++m_position;
            return before;
        }
        friend bool operator==(const Iterator &a, const Iterator &b) { return a.m_position == b.m_position; }

        Table *table() const { return m_table; }
        size_t position() const { return m_position; }

    private:
        Table *m_table = nullptr;
        size_t m_position = 0;
    };

    using iterator = Iterator<EntryTable, StringEntry>;
    using const_iterator = Iterator<const EntryTable, const StringEntry>;

    EntryTable() = default;
    EntryTable(const EntryTable &other);
    EntryTable &operator=(const EntryTable &other);
    EntryTable(EntryTable &&other) noexcept;
    EntryTable &operator=(EntryTable &&other) noexcept;
    ~EntryTable();

    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    void clear();
    void reserve(size_t count);

    // Ordered iteration (sorts first when entries were added in bulk).
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, m_count}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_count}; }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

    // The entry with this original, or null.
    StringEntry *lookup(QStringView original);
    // The number of the entry with this original (see byNumber), or -1.
    qsizetype lookupNumber(QStringView original) const;
    const StringEntry *lookup(QStringView original) const;
    // found[i] = lookup(originals[i]) for count originals, with the memory
    // reads of several lookups overlapping (a table larger than the
    // processor's caches costs several misses per lookup otherwise).
    void lookupMany(const QStringView *originals, size_t count, const StringEntry **found) const;
    bool contains(const QString &original) const { return lookup(original) != nullptr; }
    size_t count(const QString &original) const { return contains(original) ? 1 : 0; }
    // The entry with this original; throws std::out_of_range when absent.
    StringEntry &at(const QString &original);
    const StringEntry &at(const QString &original) const;
    iterator find(const QString &original);
    const_iterator find(const QString &original) const;

    // The entry at this place in original order (0 <= position < size()).
    StringEntry &entryAt(size_t position);
    const StringEntry &entryAt(size_t position) const;
    // The number (see byNumber) of the entry at this place in original order.
    std::uint32_t numberAt(size_t position) const
    {
        ensureOrder();
        return m_order[position];
    }
    // Puts these entry numbers in original order without ordering the whole
    // table (a filter's rows of a large unordered table).
    void sortNumbers(std::vector<std::uint32_t> &numbers) const;
    // The same in steps, for a caller that must not stop for the whole sort
    // of a large table (entry_order_sort.cpp). Given every entry of a table
    // not yet ordered, the result becomes the table's order too. The table
    // must not change until the sort is taken.
    class NumberSort;
    // The place of an original in the order, or -1.
    qsizetype positionOf(QStringView original) const;
    // Whether the order is built (ordered visits cost no sort).
    bool isOrdered() const { return m_orderValid; }

    // Adds the entry under its original (`original` must equal entry.original)
    // unless that original is present; returns the stored entry and whether
    // it was added. An existing entry is left as it is.
    std::pair<iterator, bool> emplace(const QString &original, const StringEntry &entry);
    std::pair<iterator, bool> emplace(const QString &original, StringEntry &&entry);

    // Adds the entry unless its original is present, keeping the order when
    // it is built. Returns the stored entry and whether it was added (false:
    // the existing entry is returned and nothing changes).
    std::pair<StringEntry *, bool> insert(StringEntry &&entry);
    // Adding without keeping the order: for loaders that add many entries,
    // the order is built once when it is next needed. Returns the stored
    // entry and whether it was added (false: the existing entry is returned
    // and nothing changes).
    std::pair<StringEntry *, bool> insertUnordered(StringEntry &&entry);
    // Removes the entry added last when its original is `original` (undoing
    // that addition); the numbers and addresses of the others stay. False,
    // and nothing changes, when the newest entry has another original.
    bool removeLast(QStringView original);

    // Entries are numbered in the order they were added (0 .. size()-1); the
    // number of an entry never changes while the table holds it.
    StringEntry &byNumber(size_t number) { return chunkEntry(number); }
    const StringEntry &byNumber(size_t number) const { return chunkEntry(number); }
    // The number of an entry of this table.
    size_t numberOf(const StringEntry *entry) const;

private:
    static constexpr size_t kChunkBits = 10;
    static constexpr size_t kChunkSize = size_t(1) << kChunkBits;

    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t number = 0;  // entry number + 1; 0 marks an empty slot
    };

    StringEntry &chunkEntry(size_t number) const
    {
        return m_chunks[number >> kChunkBits][number & (kChunkSize - 1)];
    }
    StringEntry *append(StringEntry &&entry);
    std::pair<Slot *, bool> findSlot(QStringView original, std::uint32_t hash) const;
    void growIndex();
    void ensureOrder() const;
    // Sort records: the first eight code units of an original beside its
    // number, so that most comparisons stay within the records.
    struct SortRecord {
        std::uint64_t high, low;
        std::uint32_t number;
    };
    SortRecord sortRecord(std::uint32_t number) const;
    bool recordLess(const SortRecord &a, const SortRecord &b) const;
    // Takes these numbers (every entry, in original order) as the order.
    void adoptOrder(std::vector<std::uint32_t> order) const;
    std::vector<std::uint32_t>::iterator lowerBound(const QString &original) const;
    void copyFrom(const EntryTable &other);
    void destroyEntries() noexcept;

    // Entries in chunks of kChunkSize, constructed in place, never moved.
    std::vector<StringEntry *> m_chunks;
    size_t m_count = 0;
    std::vector<Slot> m_index;  // open addressing, size a power of two (or 0)
    // Entry numbers in original order, and each entry's place in it. Built
    // lazily: valid only while m_orderValid.
    mutable std::vector<std::uint32_t> m_order;
    mutable std::vector<std::uint32_t> m_positions;
    mutable bool m_orderValid = true;
};

using EntryMap = EntryTable;

// The order of originals: by UTF-16 code units, exactly and case-sensitively.
bool OriginalLess(QStringView a, QStringView b) noexcept;

// Hash of a text's UTF-16 code units, as the entry index uses it.
std::uint32_t HashOriginal(QStringView text);
