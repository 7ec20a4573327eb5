#include "catalogue/entry_navigation.h"

#include "catalogue/catalogue_counts.h"

EntrySearchResult FindEntry(const std::vector<const StringEntry *> &candidates, qsizetype start,
                            SearchDirection direction, const std::function<bool(const StringEntry &)> &matches)
{
    const qsizetype count = qsizetype(candidates.size());
    if (count == 0)
        return {};
    const bool forward = direction == SearchDirection::Forward;
    const bool selected = start >= 0 && start < count;
    if (!selected)
        start = forward ? -1 : count;  // one before the first row (after the last)
    const qsizetype stepBy = forward ? 1 : -1;
    // Up to `count` rows: those after the start, then (wrapped) those from
    // the other end through the start itself.
    qsizetype position = start;
    for (qsizetype visited = 0; visited < count; ++visited) {
        position += stepBy;
        if (position == count || position < 0)
            position = forward ? 0 : count - 1;
        const StringEntry *entry = candidates[size_t(position)];
        if (entry && matches(*entry))
            return {position, selected && (forward ? position <= start : position >= start)};
    }
    return {};
}

EntrySearchResult FindUntranslated(const std::vector<const StringEntry *> &candidates, qsizetype start,
                                   SearchDirection direction)
{
    return FindEntry(candidates, start, direction, &CatalogueCounts::isUntranslated);
}

EntrySearchResult FindProblem(const std::vector<const StringEntry *> &candidates, qsizetype start,
                              SearchDirection direction, const CatalogueCounts &counts)
{
    return FindEntry(candidates, start, direction,
                     [&counts](const StringEntry &entry) { return counts.hasProblem(entry); });
}
