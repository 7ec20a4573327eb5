#include "catalogue/entry_filter.h"

#include "catalogue/catalogue_counts.h"

#include <QStringMatcher>
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

// One UTF-16 unit folded as case-insensitive matching folds it; ASCII,
// nearly every unit of most texts, without a table look-up.
inline char16_t folded(char16_t unit)
{
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
    return char16_t(QChar::toCaseFolded(char32_t(unit)));
}

// Whether `text` holds `needle` (already folded) with both folded.
bool containsFolded(QStringView text, QStringView needle)
{
    const qsizetype n = needle.size();
    const char16_t *units = text.utf16();
    const char16_t *folds = needle.utf16();
    for (qsizetype i = 0, last = text.size() - n; i <= last; ++i) {
        if (folded(units[i]) != folds[0])
            continue;
        qsizetype j = 1;
        while (j < n && folded(units[i + j]) == folds[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
}

// A filter ready for many entries: the text is folded, or its search table
// built, once.
class PreparedFilter {
public:
    PreparedFilter(const EntryFilter &filter, const EntryMarks &marks)
        : m_filter(filter), m_marks(marks), m_matcher(filter.text, Qt::CaseSensitive)
    {
        for (QChar unit : filter.text)
            m_folded.append(QChar(folded(unit.unicode())));
    }

    bool matches(const StringEntry &entry) const
    {
        if (m_filter.hideTranslated && !IsShownUntranslated(entry))
            return false;
        if (!stateMatches(m_filter.state, entry, m_marks))
            return false;
        if (m_filter.text.isEmpty())
            return true;
        if (contains(entry.original) || contains(entry.translation))
            return true;
        if (m_filter.reference) {
            const StringEntry *shown = m_filter.reference->lookup(entry.original);
            if (shown && contains(shown->translation))
                return true;
        }
        if (m_filter.matchKeys) {
            for (const QString &key : entry.keys) {
                if (contains(key))
                    return true;
            }
        }
        return false;
    }

private:
    bool contains(const QString &text) const
    {
        if (text.size() < m_filter.text.size())
            return false;
        if (m_filter.caseSensitivity == Qt::CaseSensitive)
            return m_matcher.indexIn(text) >= 0;
        return containsFolded(text, m_folded);
    }

    const EntryFilter &m_filter;
    const EntryMarks &m_marks;
    QStringMatcher m_matcher;  // with Match Case
    QString m_folded;          // without
};

} // namespace

bool EntryFilter::matches(const StringEntry &entry, const EntryMarks &marks) const
{
    return PreparedFilter(*this, marks).matches(entry);
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
    const PreparedFilter prepared(filter, marks);
    const size_t count = entries.size();
    if (entries.isOrdered() || filter.isEmpty()) {
        numbers.reserve(filter.isEmpty() ? count : 0);
        for (size_t position = 0; position < count; ++position) {
            const std::uint32_t number = entries.numberAt(position);
            if (prepared.matches(entries.byNumber(number)))
                numbers.push_back(number);
        }
        return numbers;
    }
    // Only the entries that pass are put in order; a large catalogue of
    // mostly translated strings is never sorted as a whole here.
    for (size_t number = 0; number < count; ++number) {
        if (prepared.matches(entries.byNumber(number)))
            numbers.push_back(std::uint32_t(number));
    }
    entries.sortNumbers(numbers);
    return numbers;
}

std::vector<std::uint32_t> FilterEntryNumbers(const EntryMap &entries, const std::vector<std::uint32_t> &candidates,
                                              const EntryFilter &filter, const EntryMarks &marks)
{
    std::vector<std::uint32_t> numbers;
    const PreparedFilter prepared(filter, marks);
    for (std::uint32_t number : candidates) {
        if (number < entries.size() && prepared.matches(entries.byNumber(number)))
            numbers.push_back(number);
    }
    return numbers;
}
