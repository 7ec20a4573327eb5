#include "catalogue/entry_filter.h"

#include "catalogue/catalogue_counts.h"

#include <algorithm>

bool IsShownUntranslated(const StringEntry &entry)
{
    return entry.translation.isEmpty() || entry.translation == entry.original;
}

namespace {

bool inSet(const EntrySet *set, const StringEntry &entry) { return set && set->count(&entry) != 0; }

bool stateMatches(EntryFilterState state, const StringEntry &entry, const EntryMarks &marks)
{
    switch (state) {
    case EntryFilterState::All: return true;
    case EntryFilterState::Untranslated: return CatalogueCounts::isUntranslated(entry);
    case EntryFilterState::Problems: return marks.counts && marks.counts->hasProblem(entry);
    case EntryFilterState::Misspelled: return inSet(marks.misspelled, entry);
    case EntryFilterState::Changed: return inSet(marks.changed, entry);
    case EntryFilterState::NotTranslatable: return entry.translatable == 0;
    }
    return false;
}

} // namespace

bool EntryFilter::matches(const StringEntry &entry, const EntryMarks &marks) const
{
    if (hideTranslated && !IsShownUntranslated(entry))
        return false;
    if (!stateMatches(state, entry, marks))
        return false;
    if (text.isEmpty())
        return true;
    if (entry.original.contains(text, caseSensitivity) || entry.translation.contains(text, caseSensitivity))
        return true;
    if (reference) {
        const StringEntry *shown = reference->lookup(entry.original);
        if (shown && shown->translation.contains(text, caseSensitivity))
            return true;
    }
    if (matchKeys) {
        for (const QString &key : entry.keys) {
            if (key.contains(text, caseSensitivity))
                return true;
        }
    }
    return false;
}

bool EntryFilter::narrows(const EntryFilter &wider) const
{
    if (wider.hideTranslated && !hideTranslated)
        return false;
    if (wider.state != EntryFilterState::All && wider.state != state)
        return false;
    if (wider.text.isEmpty())
        return true;
    if (reference != wider.reference || (matchKeys && !wider.matchKeys))
        return false;
    if (wider.caseSensitivity == Qt::CaseSensitive && caseSensitivity != Qt::CaseSensitive)
        return false;
    // Whatever holds this text holds every part of it.
    return text.contains(wider.text, wider.caseSensitivity);
}

std::vector<std::uint32_t> FilterEntries(const EntryMap &entries, const EntryFilter &filter, const EntryMarks &marks)
{
    std::vector<std::uint32_t> numbers;
    const size_t count = entries.size();
    if (entries.isOrdered() || filter.isEmpty()) {
        numbers.reserve(filter.isEmpty() ? count : 0);
        for (size_t position = 0; position < count; ++position) {
            const std::uint32_t number = entries.numberAt(position);
            if (filter.matches(entries.byNumber(number), marks))
                numbers.push_back(number);
        }
        return numbers;
    }
    // Only the entries that pass are put in order; a large catalogue of
    // mostly translated strings is never sorted as a whole here.
    for (size_t number = 0; number < count; ++number) {
        if (filter.matches(entries.byNumber(number), marks))
            numbers.push_back(std::uint32_t(number));
    }
    std::sort(numbers.begin(), numbers.end(), [&entries](std::uint32_t a, std::uint32_t b) {
        return OriginalLess(entries.byNumber(a).original, entries.byNumber(b).original);
    });
    return numbers;
}

std::vector<std::uint32_t> FilterEntryNumbers(const EntryMap &entries, const std::vector<std::uint32_t> &candidates,
                                              const EntryFilter &filter, const EntryMarks &marks)
{
    std::vector<std::uint32_t> numbers;
    for (std::uint32_t number : candidates) {
        if (number < entries.size() && filter.matches(entries.byNumber(number), marks))
            numbers.push_back(number);
    }
    return numbers;
}
