#include "catalogue/entry_filter.h"

#include "catalogue/catalogue_counts.h"
#include "catalogue/entry_order_sort.h"
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
    case EntryFilterState::Warnings: return marks.findings && marks.findings->hasWarning(entry);
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

// The entries are tested in the order of their numbers, which is the order
// in which they and their texts were allocated: a pass then reads memory
// front to back instead of jumping about as the catalogue's order would.
// The numbers that pass are marked in a bit set and read out in the order
// wanted afterwards (the table's order, or the candidates' order).
EntryFilterPass::EntryFilterPass(const EntryMap &entries, const EntryFilter &filter, const EntryMarks &marks)
    : m_entries(entries), m_filter(filter), m_marks(marks), m_size(entries.size())
{
    m_prepared = std::make_unique<Prepared>(m_filter, m_marks);
    m_passed.assign((m_size + 63) / 64, 0);
}

EntryFilterPass::EntryFilterPass(const EntryMap &entries, std::vector<std::uint32_t> candidates,
                                 const EntryFilter &filter, const EntryMarks &marks)
    : m_entries(entries), m_filter(filter), m_marks(marks), m_candidates(std::move(candidates)),
      m_fromCandidates(true), m_size(entries.size())
{
    m_prepared = std::make_unique<Prepared>(m_filter, m_marks);
    m_candidate.assign((m_size + 63) / 64, 0);
    m_passed.assign((m_size + 63) / 64, 0);
    for (std::uint32_t number : m_candidates) {
        if (number < m_size)
            m_candidate[number / 64] |= std::uint64_t(1) << (number % 64);
    }
}

EntryFilterPass::~EntryFilterPass() = default;

bool EntryFilterPass::passed(size_t number) const
{
    return (m_passed[number / 64] >> (number % 64)) & 1;
}

bool EntryFilterPass::step(size_t budget)
{
    // Testing: every entry (or candidate) by number.
    for (; m_next < m_size && budget > 0; ++m_next) {
        if (m_fromCandidates && !((m_candidate[m_next / 64] >> (m_next % 64)) & 1)) {
            if (m_candidate[m_next / 64] == 0)
                m_next |= 63;  // no candidate left in this word
            continue;
        }
        --budget;
        if (m_prepared->matches(m_entries.byNumber(m_next)))
            m_passed[m_next / 64] |= std::uint64_t(1) << (m_next % 64);
    }
    if (m_next < m_size || budget == 0)
        return isDone();
    if (m_phase == Phase::Testing) {
        // An ordered table is read out in its order; otherwise only the
        // entries that passed are put in order, in steps: a large catalogue
        // of mostly translated strings is never sorted as a whole here.
        m_phase = m_fromCandidates ? Phase::ByCandidates : m_entries.isOrdered() ? Phase::ByPosition : Phase::Sorting;
        m_out = 0;
        if (m_phase == Phase::Sorting) {
            std::vector<std::uint32_t> passing;
            for (size_t word = 0; word < m_passed.size(); ++word) {
                for (std::uint64_t bits = m_passed[word]; bits != 0; bits &= bits - 1)
                    passing.push_back(std::uint32_t(word * 64 + size_t(__builtin_ctzll(bits))));
            }
            m_sort = std::make_unique<EntryTable::NumberSort>(m_entries, std::move(passing));
        }
    }
    switch (m_phase) {
    case Phase::ByCandidates:
        for (; m_out < m_candidates.size() && budget > 0; ++m_out, --budget) {
            const std::uint32_t number = m_candidates[m_out];
            if (number < m_size && passed(number))
                m_numbers.push_back(number);
        }
        if (m_out == m_candidates.size())
            m_phase = Phase::Done;
        break;
    case Phase::ByPosition:
        for (; m_out < m_size && budget > 0; ++m_out, --budget) {
            const std::uint32_t number = m_entries.numberAt(m_out);
            if (passed(number))
                m_numbers.push_back(number);
        }
        if (m_out == m_size)
            m_phase = Phase::Done;
        break;
    case Phase::Sorting:
        // Every entry passing a table not yet ordered orders the table too.
        if (m_sort->step(budget)) {
            m_numbers = m_sort->take();
            m_sort.reset();
            m_phase = Phase::Done;
        }
        break;
    case Phase::Testing:
    case Phase::Done: break;
    }
    return isDone();
}
