#include "merge/element_matching.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

QByteArrayView valueOrEmpty(const LayoutElement &element, QByteArrayView name)
{
    const QByteArrayView *value = FindAttribute(element.attributes, name);
    return value ? *value : QByteArrayView("", 0);
}

// A hash of a value's bytes, eight at a time.
std::uint32_t hashValue(QByteArrayView value)
{
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ std::uint64_t(value.size());
    const char *at = value.data();
    qsizetype left = value.size();
    for (; left >= 8; at += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, at, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    std::uint64_t tail = 0;
    if (left > 0)
        std::memcpy(&tail, at, std::size_t(left));
    hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return std::uint32_t(hash ^ (hash >> 29));
}

// The listed elements chained by one attribute's value: the first element
// of each value, and after each element the next one of its value. The
// index is open addressing over the elements' own values (no copies).
struct ValueChains {
    const LanguageFileLayout &layout;
    QByteArrayView name;
    struct Slot {
        std::uint32_t hash = 0;
        int keyElement = kUnmatched;  // an element with the value: kUnmatched marks an empty slot
        int first = kUnmatched;       // the chain's head
    };
    std::vector<Slot> table;
    std::vector<int> next;

    ValueChains(const LanguageFileLayout &of, const std::vector<int> &elements, QByteArrayView attribute,
                const std::vector<int> *matched = nullptr)
        : layout(of), name(attribute), next(of.elements.size(), kUnmatched)
    {
        std::size_t size = 16;
        while (size * 7 < elements.size() * 10)
            size *= 2;
        table.resize(size);
        // Back to front, so that each chain runs in file order.
        for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
            if (matched && (*matched)[*it] != kUnmatched)
                continue;
            const QByteArrayView value = valueOrEmpty(layout.elements[*it], name);
            if (matched && value.isEmpty())
                continue;
            Slot &slot = slotOf(value);
            if (slot.keyElement == kUnmatched)
                slot.keyElement = *it;
            next[*it] = slot.first;
            slot.first = *it;
        }
    }
    Slot &slotOf(QByteArrayView value)
    {
        const std::uint32_t hash = hashValue(value);
        const std::size_t mask = table.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot &slot = table[i];
            if (slot.keyElement == kUnmatched) {
                slot.hash = hash;
                return slot;
            }
            if (slot.hash == hash && valueOrEmpty(layout.elements[slot.keyElement], name) == value)
                return slot;
        }
    }
    const Slot *findSlot(QByteArrayView value) const
    {
        const std::uint32_t hash = hashValue(value);
        const std::size_t mask = table.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot &slot = table[i];
            if (slot.keyElement == kUnmatched)
                return nullptr;
            if (slot.hash == hash && valueOrEmpty(layout.elements[slot.keyElement], name) == value)
                return &slot;
        }
    }
    int head(QByteArrayView value) const
    {
        const Slot *slot = findSlot(value);
        return slot ? slot->first : kUnmatched;
    }
    // The chain of the value starts at `element` from now on.
    void setHead(QByteArrayView value, int element) { const_cast<Slot *>(findSlot(value))->first = element; }
};

struct Matcher {
    const LanguageFileLayout &a, &b;
    ElementMatching &m;

    void pair(int x, int y)
    {
        m.bOfA[x] = y;
        m.aOfB[y] = x;
    }
    QByteArrayView keyOf(const LanguageFileLayout &layout, int i) const
    {
        return valueOrEmpty(layout.elements[i], "key");
    }

    // The elements of one original on both sides: those with equal keys;
    // with `inOrder`, then the rest in order.
    void matchGroup(const std::vector<int> &xs, const std::vector<int> &ys, bool inOrder)
    {
        if (xs.size() == 1 && ys.size() == 1) {
            if (m.bOfA[xs[0]] == kUnmatched && m.aOfB[ys[0]] == kUnmatched)
                pair(xs[0], ys[0]);
            return;
        }
        if (!inOrder) {
            // A key met once on each side is the same element; repeats are
            // left to their places.
            struct KeyCount {
                int countA = 0, countB = 0, x = kUnmatched, y = kUnmatched;
            };
            QHash<QByteArrayView, KeyCount> keys;
            for (const int x : xs) {
                KeyCount &count = keys[keyOf(a, x)];
                ++count.countA;
                count.x = x;
            }
            for (const int y : ys) {
                const auto found = keys.find(keyOf(b, y));
                if (found != keys.end()) {
                    ++found->countB;
                    found->y = y;
                }
            }
            for (const KeyCount &count : std::as_const(keys)) {
                if (count.countA == 1 && count.countB == 1)
                    pair(count.x, count.y);
            }
            return;
        }
        std::size_t y = 0;
        for (const int x : xs) {
            if (m.bOfA[x] != kUnmatched)
                continue;
            while (y < ys.size() && m.aOfB[ys[y]] != kUnmatched)
                ++y;
            if (y == ys.size())
                return;
            pair(x, ys[y++]);
        }
    }

    void byOriginal(const std::vector<int> &aElements, const std::vector<int> &bElements, bool inOrder)
    {
        const ValueChains aChains(a, aElements, "from"), bChains(b, bElements, "from");
        std::vector<int> xs, ys;
        for (const int x : aElements) {
            const QByteArrayView original = valueOrEmpty(a.elements[x], "from");
            if (aChains.head(original) != x)
                continue;  // its group was done at its first element
            xs.clear();
            ys.clear();
            for (int i = x; i != kUnmatched; i = aChains.next[i])
                xs.push_back(i);
            for (int j = bChains.head(original); j != kUnmatched; j = bChains.next[j])
                ys.push_back(j);
            if (!ys.empty())
                matchGroup(xs, ys, inOrder);
        }
    }

    void byKey(const std::vector<int> &aElements, const std::vector<int> &bElements)
    {
        ValueChains bChains(b, bElements, "key", &m.aOfB);
        for (const int x : aElements) {
            if (m.bOfA[x] != kUnmatched)
                continue;
            const QByteArrayView key = keyOf(a, x);
            if (key.isEmpty())
                continue;
            const int y = bChains.head(key);
            if (y == kUnmatched)
                continue;
            pair(x, y);
            bChains.setHead(key, bChains.next[y]);
        }
    }

    using OpenIterator = std::vector<int>::const_iterator;

    // Elements of one original in the run and the gap, in order.
    void pairSameOriginals(const std::vector<int> &aElements, std::size_t begin, std::size_t end, OpenIterator from,
                           OpenIterator to)
    {
        QMultiHash<QByteArrayView, int> byOriginal;
        for (auto candidate = std::make_reverse_iterator(to); candidate != std::make_reverse_iterator(from); ++candidate)
            byOriginal.insert(valueOrEmpty(b.elements[*candidate], "from"), *candidate);
        for (std::size_t r = begin; r < end; ++r) {
            auto found = byOriginal.find(valueOrEmpty(a.elements[aElements[r]], "from"));
            if (found != byOriginal.end()) {
                pair(aElements[r], found.value());
                byOriginal.erase(found);
            }
        }
    }

    // The run and the gap zipped, where the keys do not differ.
    void pairInOrder(const std::vector<int> &aElements, std::size_t begin, std::size_t end, OpenIterator from,
                     OpenIterator to)
    {
        auto candidate = from;
        for (std::size_t r = begin; r < end; ++r) {
            const int x = aElements[r];
            while (candidate != to && m.aOfB[*candidate] != kUnmatched)
                ++candidate;
            if (candidate == to)
                return;
            const QByteArrayView keyA = keyOf(a, x), keyB = keyOf(b, *candidate);
            if (keyA.isEmpty() || keyB.isEmpty() || keyA == keyB)
                pair(x, *candidate);
            ++candidate;
        }
    }

    // Runs of unmatched elements of a between two matched ones, against the
    // unmatched elements of b between their partners: first those of one
    // original (which then split the runs further), then the rest in order.
    void byPosition(const std::vector<int> &aElements, const std::vector<int> &bElements, bool sameOriginal)
    {
        std::vector<int> open;  // unmatched elements of b, in file order
        for (const int y : bElements) {
            if (m.aOfB[y] == kUnmatched)
                open.push_back(y);
        }
        if (open.empty())
            return;
        int previous = -1;  // b's partner of the last matched element of a
        std::size_t runStart = 0;
        for (std::size_t i = 0; i <= aElements.size(); ++i) {
            const bool end = i == aElements.size();
            if (!end && m.bOfA[aElements[i]] == kUnmatched)
                continue;
            const int following = end ? int(b.elements.size()) : m.bOfA[aElements[i]];
            if (runStart < i && previous < following) {
                const auto from = std::upper_bound(open.begin(), open.end(), previous);
                const auto to = std::lower_bound(from, open.end(), following);
                if (sameOriginal)
                    pairSameOriginals(aElements, runStart, i, from, to);
                else
                    pairInOrder(aElements, runStart, i, from, to);
            }
            if (!end)
                previous = following;
            runStart = i + 1;
        }
    }
};

} // namespace

std::vector<int> AllElements(const LanguageFileLayout &layout)
{
    std::vector<int> all(layout.elements.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    return all;
}

ElementMatching MatchElements(const LanguageFileLayout &a, const std::vector<int> &aElements,
                              const LanguageFileLayout &b, const std::vector<int> &bElements, bool byPosition)
{
    ElementMatching m;
    m.bOfA.assign(a.elements.size(), kUnmatched);
    m.aOfB.assign(b.elements.size(), kUnmatched);
    Matcher matcher{a, b, m};
    matcher.byOriginal(aElements, bElements, false);
    matcher.byKey(aElements, bElements);
    if (byPosition) {
        matcher.byPosition(aElements, bElements, true);
        matcher.byPosition(aElements, bElements, false);
    }
    // Elements of one original still unmatched (moved, say): in order.
    std::vector<int> aOpen, bOpen;
    std::copy_if(aElements.begin(), aElements.end(), std::back_inserter(aOpen),
                 [&m](int x) { return m.bOfA[std::size_t(x)] == kUnmatched; });
    std::copy_if(bElements.begin(), bElements.end(), std::back_inserter(bOpen),
                 [&m](int y) { return m.aOfB[std::size_t(y)] == kUnmatched; });
    if (!aOpen.empty() && !bOpen.empty())
        matcher.byOriginal(aOpen, bOpen, true);
    return m;
}
