#include "merge/element_matching.h"

#include <QHash>

#include <algorithm>

namespace {

const QByteArray &valueOrEmpty(const LayoutElement &element, QByteArrayView name)
{
    static const QByteArray kEmpty;
    const QByteArray *value = FindAttribute(element.attributes, name);
    return value ? *value : kEmpty;
}

// The listed elements chained by one attribute's value: the first element
// of each value, and after each element the next one of its value.
struct ValueChains {
    QHash<QByteArray, int> first;
    std::vector<int> next;

    ValueChains(const LanguageFileLayout &layout, const std::vector<int> &elements, QByteArrayView name,
                const std::vector<int> *matched = nullptr)
        : next(layout.elements.size(), kUnmatched)
    {
        first.reserve(qsizetype(elements.size()));
        // Back to front, so that each chain runs in file order.
        for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
            if (matched && (*matched)[*it] != kUnmatched)
                continue;
            const QByteArray &value = valueOrEmpty(layout.elements[*it], name);
            if (matched && value.isEmpty())
                continue;
            const auto found = first.constFind(value);
            next[*it] = found == first.constEnd() ? kUnmatched : found.value();
            first.insert(value, *it);
        }
    }
    int head(const QByteArray &value) const { return first.value(value, kUnmatched); }
};

struct Matcher {
    const LanguageFileLayout &a, &b;
    ElementMatching &m;

    void pair(int x, int y)
    {
        m.bOfA[x] = y;
        m.aOfB[y] = x;
    }
    const QByteArray &keyOf(const LanguageFileLayout &layout, int i) const
    {
        return valueOrEmpty(layout.elements[i], "key");
    }

    // The elements of one original on both sides: equal keys first, then in order.
    void matchGroup(const std::vector<int> &xs, const std::vector<int> &ys)
    {
        if (xs.size() == 1 && ys.size() == 1) {
            pair(xs[0], ys[0]);
            return;
        }
        if (xs.size() * ys.size() <= 4096) {
            for (const int x : xs) {
                for (const int y : ys) {
                    if (m.aOfB[y] == kUnmatched && keyOf(a, x) == keyOf(b, y)) {
                        pair(x, y);
                        break;
                    }
                }
            }
        } else {
            QMultiHash<QByteArray, int> byKey;
            for (auto it = ys.rbegin(); it != ys.rend(); ++it)
                byKey.insert(keyOf(b, *it), *it);
            for (const int x : xs) {
                auto found = byKey.find(keyOf(a, x));
                if (found != byKey.end()) {
                    pair(x, found.value());
                    byKey.erase(found);
                }
            }
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

    void byOriginal(const std::vector<int> &aElements, const std::vector<int> &bElements)
    {
        const ValueChains aChains(a, aElements, "from"), bChains(b, bElements, "from");
        std::vector<int> xs, ys;
        for (const int x : aElements) {
            const QByteArray &original = valueOrEmpty(a.elements[x], "from");
            if (aChains.head(original) != x)
                continue;  // its group was done at its first element
            xs.clear();
            ys.clear();
            for (int i = x; i != kUnmatched; i = aChains.next[i])
                xs.push_back(i);
            for (int j = bChains.head(original); j != kUnmatched; j = bChains.next[j])
                ys.push_back(j);
            if (!ys.empty())
                matchGroup(xs, ys);
        }
    }

    void byKey(const std::vector<int> &aElements, const std::vector<int> &bElements)
    {
        ValueChains bChains(b, bElements, "key", &m.aOfB);
        for (const int x : aElements) {
            if (m.bOfA[x] != kUnmatched)
                continue;
            const QByteArray &key = keyOf(a, x);
            if (key.isEmpty())
                continue;
            const int y = bChains.head(key);
            if (y == kUnmatched)
                continue;
            pair(x, y);
            bChains.first[key] = bChains.next[y];
        }
    }

    // Runs of unmatched elements of a between two matched ones, against the
    // unmatched elements of b between their partners.
    void byPosition(const std::vector<int> &aElements, const std::vector<int> &bElements)
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
                auto candidate = std::upper_bound(open.begin(), open.end(), previous);
                for (std::size_t r = runStart; r < i && candidate != open.end() && *candidate < following;
                     ++r, ++candidate) {
                    const int x = aElements[r], y = *candidate;
                    const QByteArray &keyA = keyOf(a, x), &keyB = keyOf(b, y);
                    if (m.aOfB[y] == kUnmatched && (keyA.isEmpty() || keyB.isEmpty() || keyA == keyB))
                        pair(x, y);
                }
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
    matcher.byOriginal(aElements, bElements);
    matcher.byKey(aElements, bElements);
    if (byPosition)
        matcher.byPosition(aElements, bElements);
    return m;
}
