#include "editor/core/reference_originals.h"

#include <algorithm>
#include <vector>

void ReferenceOriginals::build(const EntryMap &reference)
{
    m_originalOf.clear();
    const size_t count = reference.size();
    if (count == 0)
        return;
    // The places (in original order) of the entries having each translation.
    std::vector<const StringEntry *> entries;
    entries.reserve(count);
    QHash<QString, std::vector<int>> placesOf;
    placesOf.reserve(qsizetype(count));
    for (const auto &[original, entry] : reference) {
        placesOf[entry.translation].push_back(int(entries.size()));
        entries.push_back(&entry);
    }
    // resultFrom[j]: where the pass ends once entry j has replaced the text by
    // its original; the pass goes on at the next entry translated as that original.
    std::vector<QString> resultFrom(count);
    for (int j = int(count) - 1; j >= 0; --j) {
        const QString &original = entries[size_t(j)]->original;
        resultFrom[size_t(j)] = original;
        const auto places = placesOf.constFind(original);
        if (places == placesOf.constEnd())
            continue;
        const auto next = std::upper_bound(places->begin(), places->end(), j);
        if (next != places->end())
            resultFrom[size_t(j)] = resultFrom[size_t(*next)];
    }
    // A shown text starts the pass at the first entry translated as that text.
    m_originalOf.reserve(placesOf.size());
    for (auto it = placesOf.constBegin(); it != placesOf.constEnd(); ++it) {
        const QString &result = resultFrom[size_t(it->front())];
        if (result != it.key())
            m_originalOf.insert(it.key(), result);
    }
}
