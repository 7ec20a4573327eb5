#include "catalogue/entry_filter.h"

#include "catalogue/catalogue_counts.h"
#include "catalogue/text_match.h"

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

// A filter ready for many entries: the text's matcher is made once, and
// the cheap tests (Hide Translated Item, the state) come before the text.
class PreparedFilter {
public:
    PreparedFilter(const EntryFilter &filter, const EntryMarks &marks)
        : m_filter(filter), m_marks(marks), m_text(filter.text, filter.caseSensitivity)
    {
    }

    bool matches(const StringEntry &entry) const
    {
        if (m_filter.hideTranslated && !IsShownUntranslated(entry))
            return false;
        if (!stateMatches(m_filter.state, entry, m_marks))
            return false;
        if (m_text.isEmpty())
            return true;
        if (m_text.isIn(entry.original) || m_text.isIn(entry.translation))
            return true;
        if (m_filter.reference) {
            const StringEntry *shown = m_filter.reference->lookup(entry.original);
            if (shown && m_text.isIn(shown->translation))
                return true;
        }
        if (m_filter.matchKeys) {
            for (const QString &key : entry.keys) {
                if (m_text.isIn(key))
                    return true;
            }
        }
        return false;
    }

private:
    const EntryFilter &m_filter;
    const EntryMarks &m_marks;
    TextMatcher m_text;
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
    EntryFilterPass pass(entries, filter, marks);
    pass.step(EntryFilterPass::kAll);
    return pass.takeNumbers();
}

std::vector<std::uint32_t> FilterEntryNumbers(const EntryMap &entries, const std::vector<std::uint32_t> &candidates,
                                              const EntryFilter &filter, const EntryMarks &marks)
{
    EntryFilterPass pass(entries, candidates, filter, marks);
    pass.step(EntryFilterPass::kAll);
    return pass.takeNumbers();
}

// --- a pass in steps -------------------------------------------------------------

struct EntryFilterPass::Prepared : PreparedFilter {
    using PreparedFilter::PreparedFilter;
};

EntryFilterPass::EntryFilterPass(const EntryMap &entries, const EntryFilter &filter, const EntryMarks &marks)
    : m_entries(entries), m_filter(filter), m_marks(marks), m_total(entries.size())
{
    // An ordered table (or every entry wanted, which needs the order
    // anyway) is visited in order; otherwise by number, and only the
    // entries that pass are put in order at the end: a large catalogue of
    // mostly translated strings is never sorted as a whole here.
    m_walk = entries.isOrdered() || filter.isEmpty() ? Walk::Positions : Walk::Numbers;
    if (m_walk == Walk::Positions && filter.isEmpty())
        m_numbers.reserve(m_total);
    m_prepared = std::make_unique<Prepared>(m_filter, m_marks);
}

EntryFilterPass::EntryFilterPass(const EntryMap &entries, std::vector<std::uint32_t> candidates,
                                 const EntryFilter &filter, const EntryMarks &marks)
    : m_entries(entries), m_filter(filter), m_marks(marks), m_walk(Walk::Candidates),
      m_candidates(std::move(candidates)), m_total(m_candidates.size())
{
    m_prepared = std::make_unique<Prepared>(m_filter, m_marks);
}

EntryFilterPass::~EntryFilterPass() = default;

bool EntryFilterPass::step(size_t budget)
{
    const size_t end = m_total - m_next < budget ? m_total : m_next + budget;
    switch (m_walk) {
    case Walk::Positions:
        for (; m_next < end; ++m_next) {
            const std::uint32_t number = m_entries.numberAt(m_next);
            if (m_prepared->matches(m_entries.byNumber(number)))
                m_numbers.push_back(number);
        }
        break;
    case Walk::Numbers:
        for (; m_next < end; ++m_next) {
            if (m_prepared->matches(m_entries.byNumber(m_next)))
                m_numbers.push_back(std::uint32_t(m_next));
        }
        break;
    case Walk::Candidates: {
        const size_t size = m_entries.size();
        for (; m_next < end; ++m_next) {
            const std::uint32_t number = m_candidates[m_next];
            if (number < size && m_prepared->matches(m_entries.byNumber(number)))
                m_numbers.push_back(number);
        }
        break;
    }
    }
    if (m_next < m_total)
        return false;
    if (m_walk == Walk::Numbers && !m_sorted) {
        m_entries.sortNumbers(m_numbers);
        m_sorted = true;
    }
    return true;
}
