#pragma once
// Putting many texts in code-unit order (the order of OriginalLess) quickly.
//
// The originals of a language file share long beginnings ("Are you sure you
// want to ...": neighbours in order agree on twenty code units as a rule),
// so a comparison sort spends its time reaching into two texts for nearly
// every comparison. Here every text gets a sort record holding eight of its
// code units; the records are sorted by those, and only runs of records
// whose eight units were all equal fetch the next eight and are sorted again
// (a most-significant-digit radix sort with 128-bit digits). Each text is
// read once per eight units of the prefix it shares with its neighbours, in
// plain passes whose memory reads the processor overlaps, and the sorting
// itself stays within the records.

#include <QStringView>
#include <cstdint>
#include <vector>

// The indices 0 .. texts.size()-1 ordered by the texts' code units
// (OriginalLess); equal texts keep their relative order.
std::vector<std::uint32_t> TextOrder(const std::vector<QStringView> &texts);

// Sorts items by the text textOf(item) gives, as TextOrder orders texts.
template <typename Item, typename TextOf>
void SortByText(std::vector<Item> &items, TextOf textOf)
{
    std::vector<QStringView> texts;
    texts.reserve(items.size());
    for (const Item &item : items)
        texts.push_back(textOf(item));
    const std::vector<std::uint32_t> order = TextOrder(texts);
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (const std::uint32_t index : order)
        sorted.push_back(std::move(items[index]));
    items = std::move(sorted);
}
