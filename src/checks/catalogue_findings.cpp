#include "checks/catalogue_findings.h"

#include <algorithm>

void CatalogueFindings::setChecks(CheckSet checks) { m_checks = std::move(checks); }

void CatalogueFindings::setIgnoreMarks(std::shared_ptr<const IgnoreMarks> marks) { m_marks = std::move(marks); }

void CatalogueFindings::clear()
{
    m_byEntry.clear();
    m_entries = nullptr;
    m_errors = m_warnings = m_ignored = m_warningEntries = 0;
}

CatalogueFindings::Tally CatalogueFindings::tallyOf(const std::vector<Finding> &findings)
{
    Tally tally;
    for (const Finding &f : findings) {
        if (f.severity == Severity::Error)
            ++tally.errors;
        else if (f.ignored)
            ++tally.ignored;
        else
            ++tally.warnings;
    }
    return tally;
}

void CatalogueFindings::count(const std::vector<Finding> &findings, int sign)
{
    const Tally tally = tallyOf(findings);
    m_errors += sign * tally.errors;
    m_warnings += sign * tally.warnings;
    m_ignored += sign * tally.ignored;
    m_warningEntries += sign * qsizetype(tally.warnings > 0);
}

void CatalogueFindings::markIgnored(std::vector<Finding> &findings) const
{
    if (!m_marks || m_marks->isEmpty())
        return;
    for (Finding &f : findings)
        f.ignored = m_marks->matches(f);
}

void CatalogueFindings::recount(const EntryMap &entries)
{
    clear();
    m_entries = &entries;
    std::vector<Finding> found;
    for (size_t number = 0; number < entries.size(); ++number) {
        const StringEntry &entry = entries.byNumber(number);
        found.clear();
        m_checks.judgeEntry(entry, found);
        if (found.empty())
            continue;
        markIgnored(found);
        count(found, 1);
        m_byEntry.emplace(&entry, std::move(found));
        found = std::vector<Finding>();
    }
    for (const CatalogueCheck *check : m_checks.catalogueChecks()) {
        std::vector<Finding> all;
        check->judgeAll(entries, m_checks.context(), all);
        m_checks.admit(all, 0);
        // Grouped by entry, so that each entry's findings are replaced at once.
        std::stable_sort(all.begin(), all.end(), [](const Finding &a, const Finding &b) { return a.entry < b.entry; });
        for (auto from = all.begin(); from != all.end();) {
            const auto to = std::find_if(from, all.end(), [&](const Finding &f) { return f.entry != from->entry; });
            replace(*from->entry, check, std::vector<Finding>(std::make_move_iterator(from), std::make_move_iterator(to)));
            from = to;
        }
    }
}

void CatalogueFindings::replace(const StringEntry &entry, const CatalogueCheck *from, std::vector<Finding> &&found)
{
    markIgnored(found);
    auto it = m_byEntry.find(&entry);
    if (it == m_byEntry.end()) {
        if (found.empty())
            return;
        it = m_byEntry.emplace(&entry, std::vector<Finding>()).first;
    }
    std::vector<Finding> &stored = it->second;
    count(stored, -1);
    // The findings of the per-entry checks come first, those of each
    // catalogue check after them.
    const auto fromThis = [&](const Finding &f) {
        const bool ofCatalogueCheck = dynamic_cast<const CatalogueCheck *>(f.check) != nullptr;
        return from ? f.check == from : !ofCatalogueCheck;
    };
    stored.erase(std::remove_if(stored.begin(), stored.end(), fromThis), stored.end());
    const auto firstOfCatalogue = std::find_if(stored.begin(), stored.end(), [](const Finding &f) {
        return dynamic_cast<const CatalogueCheck *>(f.check) != nullptr;
    });
    stored.insert(from ? stored.end() : firstOfCatalogue, std::make_move_iterator(found.begin()),
                  std::make_move_iterator(found.end()));
    count(stored, 1);
    if (stored.empty())
        m_byEntry.erase(it);
}

void CatalogueFindings::entryChanged(const StringEntry &entry)
{
    std::vector<Finding> found;
    m_checks.judgeEntry(entry, found);
    replace(entry, nullptr, std::move(found));
    if (!m_entries)
        return;
    for (const CatalogueCheck *check : m_checks.catalogueChecks()) {
        std::vector<const StringEntry *> judged;
        std::vector<Finding> around;
        check->judgeAround(*m_entries, entry, m_checks.context(), judged, around);
        m_checks.admit(around, 0);
        // An entry the check named twice is judged once.
        std::sort(judged.begin(), judged.end());
        judged.erase(std::unique(judged.begin(), judged.end()), judged.end());
        std::unordered_map<const StringEntry *, std::vector<Finding>> byEntry;
        for (Finding &f : around)
            byEntry[f.entry].push_back(std::move(f));
        for (const StringEntry *one : judged) {
            const auto own = byEntry.find(one);
            replace(*one, check, own == byEntry.end() ? std::vector<Finding>() : std::move(own->second));
        }
    }
}

const std::vector<Finding> &CatalogueFindings::findingsOf(const StringEntry &entry) const
{
    static const std::vector<Finding> none;
    const auto it = m_byEntry.find(&entry);
    return it == m_byEntry.end() ? none : it->second;
}

bool CatalogueFindings::hasWarning(const StringEntry &entry) const
{
    const std::vector<Finding> &findings = findingsOf(entry);
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding &f) { return f.severity == Severity::Warning && !f.ignored; });
}

std::vector<const StringEntry *> CatalogueFindings::entriesWithWarning() const
{
    std::vector<const StringEntry *> entries;
    for (const auto &[entry, findings] : m_byEntry) {
        if (hasWarning(*entry))
            entries.push_back(entry);
    }
    return entries;
}

EntrySearchResult FindWarning(const std::vector<const StringEntry *> &candidates, qsizetype start,
                              SearchDirection direction, const CatalogueFindings &findings)
{
    return FindEntry(candidates, start, direction,
                     [&](const StringEntry &entry) { return findings.hasWarning(entry); });
}
