#pragma once
// A hash table from texts to numbers that holds no text of its own: each
// slot keeps a number and the text's hash, and the caller says where the
// text of a number is. The memory interns its texts and finds its originals
// with it, at a fraction of the cost of a QHash of strings (no nodes, no
// string copies, the entry table's hash).

#include "catalogue/entry_table.h"
#include "memory/large_allocator.h"

#include <QStringView>
#include <cstdint>
#include <vector>

class TextHashTable {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    std::size_t size() const { return m_count; }
    // Room for `count` texts without growing.
    void reserve(std::size_t count)
    {
        if (count * 10 > m_slots.size() * 7)
            rehash(count);
    }

    // The number stored under `text` (whose hash is HashOriginal(text)), or
    // kNone; textOf(number) gives the text of a stored number.
    template <typename TextOf>
    std::uint32_t find(QStringView text, std::uint32_t hash, TextOf textOf) const
    {
        if (m_slots.empty())
            return kNone;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot &slot = m_slots[i];
            if (slot.value == kNone)
                return kNone;
            if (slot.hash == hash && QStringView(textOf(slot.value)) == text)
                return slot.value;
        }
    }

    // Asks for the first slot a text of this hash is looked for in, ahead
    // of find (the slots lie anywhere in a table of megabytes).
    void prefetch(std::uint32_t hash) const
    {
#if defined(__GNUC__)
        if (!m_slots.empty())
            __builtin_prefetch(m_slots.data() + (hash & (m_slots.size() - 1)));
#else
        (void)hash;
#endif
    }

    // Stores `value` under a text not yet present, whose hash is `hash`.
    void insert(std::uint32_t hash, std::uint32_t value)
    {
        reserve(m_count + 1);
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = hash & mask;
        while (m_slots[i].value != kNone)
            i = (i + 1) & mask;
        m_slots[i] = {hash, value};
        ++m_count;
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t value = kNone;
    };

    // At most 70 % full, the size a power of two.
    void rehash(std::size_t count)
    {
        std::size_t size = 16;
        while (count * 10 > size * 7)
            size *= 2;
        TmLargeVector<Slot> old = std::move(m_slots);
        m_slots.assign(size, Slot{});
        const std::size_t mask = size - 1;
        for (const Slot &slot : old) {
            if (slot.value == kNone)
                continue;
            std::size_t i = slot.hash & mask;
            while (m_slots[i].value != kNone)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    TmLargeVector<Slot> m_slots;
    std::size_t m_count = 0;
};
