#include "catalogue/entry_table.h"

#include "catalogue/hash_slots.h"
#include "catalogue/text_order.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

bool OriginalLess(QStringView a, QStringView b) noexcept
{
    const size_t n = size_t(std::min(a.size(), b.size()));
    const char16_t *x = reinterpret_cast<const char16_t *>(a.data());
    const char16_t *y = reinterpret_cast<const char16_t *>(b.data());
    size_t i = 0;
    // Skip the common prefix four code units at a time.
    for (; i + 4 <= n; i += 4) {
        std::uint64_t u, v;
        std::memcpy(&u, x + i, sizeof u);
        std::memcpy(&v, y + i, sizeof v);
        if (u != v)
            break;
    }
    for (; i < n; ++i) {
        if (x[i] != y[i])
            return x[i] < y[i];
    }
    return a.size() < b.size();
}


namespace {

// Four code units of text from `from` on, packed into a number so that
// comparing two packs as numbers compares those code units in order (a
// missing unit counts as 0). Equal packs say nothing; different packs order
// the texts.
std::uint64_t packedUnits(QStringView text, qsizetype from)
{
    std::uint64_t pack = 0;
    for (qsizetype i = from; i < from + 4; ++i)
        pack = (pack << 16) | (i < text.size() ? text[i].unicode() : 0u);
    return pack;
}

} // namespace

std::uint32_t HashOriginal(QStringView text)
{
    // A multiply-and-fold hash over eight bytes at a time; good enough for a
    // table index (texts are not chosen to collide, and probing is linear).
    const char *p = reinterpret_cast<const char *>(text.data());
    size_t n = size_t(text.size()) * 2;
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (n * 0xff51afd7ed558ccdull);
    while (n >= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * 0xbf58476d1ce4e5b9ull;
        h ^= h >> 31;
        p += 8;
        n -= 8;
    }
    if (n) {
        std::uint64_t v = 0;
        std::memcpy(&v, p, n);
        h = (h ^ v) * 0xbf58476d1ce4e5b9ull;
    }
    h ^= h >> 29;
    h *= 0x94d049bb133111ebull;
    h ^= h >> 32;
    return std::uint32_t(h);
}

EntryTable::EntryTable(const EntryTable &other) { copyFrom(other); }

EntryTable &EntryTable::operator=(const EntryTable &other)
{
    if (this != &other) {
        EntryTable copy(other);
        *this = std::move(copy);
    }
    return *this;
}

EntryTable::EntryTable(EntryTable &&other) noexcept
    : m_chunks(std::move(other.m_chunks)), m_count(std::exchange(other.m_count, 0)),
      m_index(std::move(other.m_index)), m_order(std::move(other.m_order)),
      m_positions(std::move(other.m_positions)), m_orderValid(std::exchange(other.m_orderValid, true))
{
    other.m_chunks.clear();
    other.m_index.clear();
    other.m_order.clear();
    other.m_positions.clear();
}

EntryTable &EntryTable::operator=(EntryTable &&other) noexcept
{
    if (this != &other) {
        destroyEntries();
        m_chunks = std::move(other.m_chunks);
        m_count = std::exchange(other.m_count, 0);
        m_index = std::move(other.m_index);
        m_order = std::move(other.m_order);
        m_positions = std::move(other.m_positions);
        m_orderValid = std::exchange(other.m_orderValid, true);
        other.m_chunks.clear();
        other.m_index.clear();
        other.m_order.clear();
        other.m_positions.clear();
    }
    return *this;
}

EntryTable::~EntryTable() { destroyEntries(); }

void EntryTable::destroyEntries() noexcept
{
    for (size_t number = 0; number < m_count; ++number)
        chunkEntry(number).~StringEntry();
    for (StringEntry *chunk : m_chunks)
        ::operator delete(static_cast<void *>(chunk));
    m_chunks.clear();
    m_count = 0;
}

void EntryTable::clear()
{
    destroyEntries();
    std::vector<Slot>().swap(m_index);
    std::vector<std::uint32_t>().swap(m_order);
    std::vector<std::uint32_t>().swap(m_positions);
    m_orderValid = true;
}

// The index is grown before it is more than 70 % full.
static bool indexTooFull(size_t count, size_t capacity) { return count * 10 > capacity * 7; }

void EntryTable::reserve(size_t count)
{
    size_t capacity = 16;
    while (indexTooFull(count, capacity))
        capacity *= 2;
    if (capacity > m_index.size())
        RehashSlots<Slot, &Slot::number>(m_index, capacity);
}

void EntryTable::growIndex()
{
    if (indexTooFull(m_count + 1, m_index.size()))
        reserve(std::max<size_t>(m_count + 1, m_index.size()));
}

std::pair<EntryTable::Slot *, bool> EntryTable::findSlot(QStringView original, std::uint32_t hash) const
{
    if (m_index.empty())
        return {nullptr, false};
    const size_t mask = m_index.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot &slot = const_cast<Slot &>(m_index[i]);
        if (slot.number == 0)
            return {&slot, false};
        if (slot.hash == hash && QStringView(chunkEntry(slot.number - 1).original) == original)
            return {&slot, true};
    }
}

StringEntry *EntryTable::append(StringEntry &&entry)
{
    const size_t number = m_count;
    if ((number >> kChunkBits) == m_chunks.size())
        m_chunks.push_back(static_cast<StringEntry *>(::operator new(sizeof(StringEntry) * kChunkSize)));
    StringEntry *stored = new (&m_chunks.back()[number & (kChunkSize - 1)]) StringEntry(std::move(entry));
    ++m_count;
    return stored;
}

std::pair<StringEntry *, bool> EntryTable::insertUnordered(StringEntry &&entry)
{
    growIndex();
    const std::uint32_t hash = HashOriginal(entry.original);
    const auto [slot, found] = findSlot(entry.original, hash);
    if (found)
        return {&chunkEntry(slot->number - 1), false};
    *slot = {hash, std::uint32_t(m_count + 1)};
    StringEntry *stored = append(std::move(entry));
    m_orderValid = false;
    return {stored, true};
}

bool EntryTable::removeLast(QStringView original)
{
    if (m_count == 0)
        return false;
    const size_t number = m_count - 1;
    StringEntry &last = chunkEntry(number);
    if (QStringView(last.original) != original)
        return false;
    const auto [slot, found] = findSlot(original, HashOriginal(original));
    if (!found)
        return false;
    // Linear probing: later slots of the same run move back into the hole
    // when their home slot does not lie between the hole and themselves.
    const size_t mask = m_index.size() - 1;
    size_t hole = size_t(slot - m_index.data());
    for (size_t i = (hole + 1) & mask; m_index[i].number != 0; i = (i + 1) & mask) {
        const size_t home = m_index[i].hash & mask;
        const bool homeInRun = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
        if (!homeInRun) {
            m_index[hole] = m_index[i];
            hole = i;
        }
    }
    m_index[hole] = Slot();
    if (m_orderValid) {
        const auto at = std::find(lowerBound(last.original), m_order.end(), std::uint32_t(number));
        if (at != m_order.end())
            m_order.erase(at);
        m_positions.clear();  // rebuilt when next asked for
    }
    last.~StringEntry();
    m_count = number;
    if ((number & (kChunkSize - 1)) == 0) {
        ::operator delete(static_cast<void *>(m_chunks.back()));
        m_chunks.pop_back();
    }
    return true;
}

std::pair<StringEntry *, bool> EntryTable::insert(StringEntry &&entry)
{
    const bool ordered = m_orderValid;
    const auto result = insertUnordered(std::move(entry));
    if (result.second && ordered) {
        m_orderValid = true;
        const auto at = lowerBound(result.first->original);
        m_order.insert(at, std::uint32_t(m_count - 1));
        m_positions.clear();  // rebuilt when next asked for
    }
    return result;
}

std::pair<EntryTable::iterator, bool> EntryTable::emplace(const QString &original, const StringEntry &entry)
{
    StringEntry copy = entry;
    return emplace(original, std::move(copy));
}

std::pair<EntryTable::iterator, bool> EntryTable::emplace(const QString &original, StringEntry &&entry)
{
    if (entry.original != original)
        entry.original = original;
    const auto [stored, added] = insert(std::move(entry));
    ensureOrder();
    return {{this, size_t(lowerBound(stored->original) - m_order.begin())}, added};
}

std::vector<std::uint32_t>::iterator EntryTable::lowerBound(const QString &original) const
{
    return std::lower_bound(m_order.begin(), m_order.end(), original, [this](std::uint32_t n, const QString &text) {
        return OriginalLess(chunkEntry(n).original, text);
    });
}

EntryTable::SortRecord EntryTable::sortRecord(std::uint32_t number) const
{
    const QString &text = chunkEntry(number).original;
    return {packedUnits(text, 0), packedUnits(text, 4), number};
}

bool EntryTable::recordLess(const SortRecord &a, const SortRecord &b) const
{
    if (a.high != b.high)
        return a.high < b.high;
    if (a.low != b.low)
        return a.low < b.low;
    return OriginalLess(chunkEntry(a.number).original, chunkEntry(b.number).original);
}

void EntryTable::adoptOrder(std::vector<std::uint32_t> order) const
{
    m_order = std::move(order);
    m_positions.clear();
    m_orderValid = true;
}

void EntryTable::ensureOrder() const
{
    if (!m_orderValid) {
        std::vector<QStringView> originals;
        originals.reserve(m_count);
        for (size_t number = 0; number < m_count; ++number)
            originals.emplace_back(chunkEntry(number).original);
        m_order = TextOrder(originals);
        m_positions.clear();
        m_orderValid = true;
    }
    if (m_positions.size() != m_count) {
        m_positions.resize(m_count);
        for (size_t i = 0; i < m_count; ++i)
            m_positions[m_order[i]] = std::uint32_t(i);
    }
}

StringEntry *EntryTable::lookup(QStringView original)
{
    const auto [slot, found] = findSlot(original, HashOriginal(original));
    return found ? &chunkEntry(slot->number - 1) : nullptr;
}

qsizetype EntryTable::lookupNumber(QStringView original) const
{
    const auto [slot, found] = findSlot(original, HashOriginal(original));
    return found ? qsizetype(slot->number) - 1 : -1;
}

const StringEntry *EntryTable::lookup(QStringView original) const
{
    return const_cast<EntryTable *>(this)->lookup(original);
}

void EntryTable::lookupMany(const QStringView *originals, size_t count, const StringEntry **found) const
{
    if (m_index.empty()) {
        std::fill(found, found + count, nullptr);
        return;
    }
    // In groups: hash every original and prefetch its home slot; take the
    // first slot of the same hash as the candidate and prefetch its entry;
    // prefetch the entry's text; then compare. A candidate whose text
    // differs (two texts of one hash) is settled by the plain lookup.
    constexpr size_t kGroup = 16;
    const size_t mask = m_index.size() - 1;
    for (size_t first = 0; first < count; first += kGroup) {
        const size_t n = std::min(kGroup, count - first);
        std::uint32_t hashes[kGroup];
        for (size_t i = 0; i < n; ++i) {
            hashes[i] = HashOriginal(originals[first + i]);
            __builtin_prefetch(&m_index[hashes[i] & mask]);
        }
        const StringEntry *candidates[kGroup];
        for (size_t i = 0; i < n; ++i) {
            candidates[i] = nullptr;
            for (size_t at = hashes[i] & mask; m_index[at].number != 0; at = (at + 1) & mask) {
                if (m_index[at].hash == hashes[i]) {
                    candidates[i] = &chunkEntry(m_index[at].number - 1);
                    __builtin_prefetch(candidates[i]);
                    break;
                }
            }
        }
        for (size_t i = 0; i < n; ++i) {
            if (candidates[i])
                __builtin_prefetch(candidates[i]->original.constData());
        }
        for (size_t i = 0; i < n; ++i) {
            const QStringView original = originals[first + i];
            found[first + i] = candidates[i] && QStringView(candidates[i]->original) == original ? candidates[i]
                               : candidates[i]                                                   ? lookup(original)
                                                                                                 : nullptr;
        }
    }
}

StringEntry &EntryTable::at(const QString &original)
{
    StringEntry *entry = lookup(original);
    if (!entry)
        throw std::out_of_range("EntryTable::at: no such original");
    return *entry;
}

const StringEntry &EntryTable::at(const QString &original) const { return const_cast<EntryTable *>(this)->at(original); }

EntryTable::iterator EntryTable::find(const QString &original)
{
    const StringEntry *entry = lookup(original);
    if (!entry)
        return end();
    ensureOrder();
    return {this, m_positions[numberOf(entry)]};
}

EntryTable::const_iterator EntryTable::find(const QString &original) const
{
    return const_cast<EntryTable *>(this)->find(original);
}

void EntryTable::sortNumbers(std::vector<std::uint32_t> &numbers) const
{
    std::vector<QStringView> originals;
    originals.reserve(numbers.size());
    for (const std::uint32_t number : numbers)
        originals.emplace_back(chunkEntry(number).original);
    const std::vector<std::uint32_t> order = TextOrder(originals);
    std::vector<std::uint32_t> sorted;
    sorted.reserve(numbers.size());
    for (const std::uint32_t index : order)
        sorted.push_back(numbers[index]);
    numbers = std::move(sorted);
}

StringEntry &EntryTable::entryAt(size_t position)
{
    ensureOrder();
    return chunkEntry(m_order[position]);
}

const StringEntry &EntryTable::entryAt(size_t position) const
{
    ensureOrder();
    return chunkEntry(m_order[position]);
}

qsizetype EntryTable::positionOf(QStringView original) const
{
    const StringEntry *entry = lookup(original);
    if (!entry)
        return -1;
    ensureOrder();
    return m_positions[numberOf(entry)];
}

size_t EntryTable::numberOf(const StringEntry *entry) const
{
    for (size_t chunk = 0; chunk < m_chunks.size(); ++chunk) {
        const StringEntry *first = m_chunks[chunk];
        if (entry >= first && entry < first + kChunkSize)
            return (chunk << kChunkBits) + size_t(entry - first);
    }
    return m_count;
}

void EntryTable::copyFrom(const EntryTable &other)
{
    for (size_t number = 0; number < other.m_count; ++number) {
        StringEntry copy = other.chunkEntry(number);
        append(std::move(copy));
    }
    m_index = other.m_index;
    m_order = other.m_order;
    m_positions = other.m_positions;
    m_orderValid = other.m_orderValid;
}
