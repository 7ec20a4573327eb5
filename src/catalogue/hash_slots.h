#pragma once
// The table of an open-addressing hash index with linear probing: each slot
// holds a text's hash and an id (the place of what it indexes, plus one; 0
// marks an empty slot). The table's size is a power of two.

#include <cstdint>
#include <utility>
#include <vector>

// Moves every used slot into a new table of `capacity` slots.
template <typename Slot, std::uint32_t Slot::*Id>
void RehashSlots(std::vector<Slot> &table, size_t capacity)
{
    std::vector<Slot> old = std::exchange(table, std::vector<Slot>(capacity));
    const size_t mask = capacity - 1;
    for (const Slot &slot : old) {
        if (slot.*Id == 0)
            continue;
        size_t at = slot.hash & mask;
        while (table[at].*Id != 0)
            at = (at + 1) & mask;
        table[at] = slot;
    }
}
