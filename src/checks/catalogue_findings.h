#pragma once
// The findings of every check of a set over one catalogue, kept up to date
// one entry at a time: what the live counts ("W warnings"), the warning
// marks, Next/Previous Warning and a list of every warning read. A full pass
// judges every entry; after that a change of one entry costs that entry's
// checks (and the groups of the catalogue checks it belongs to).

#include "catalogue/entry_navigation.h"
#include "checks/check_set.h"
#include "checks/ignore_marks.h"

#include <memory>
#include <unordered_map>

class CatalogueFindings {
public:
    // The checks to judge with and the marks that dismiss warnings; a full
    // pass (recount) is due after either changes.
    void setChecks(CheckSet checks);
    void setIgnoreMarks(std::shared_ptr<const IgnoreMarks> marks);
    const CheckSet &checks() const { return m_checks; }
    CheckSet &checks() { return m_checks; }

    // Judges every entry. The entries must outlive the findings (or the next
    // recount or clear): findings point at them, and entryChanged judges the
    // catalogue checks over them.
    void recount(const EntryMap &entries);
    // The entry (counted before, or just added) has a new state.
    void entryChanged(const StringEntry &entry);
    void clear();

    qsizetype errors() const { return m_errors; }
    // Warnings no mark dismisses.
    qsizetype warnings() const { return m_warnings; }
    // Warnings a mark dismisses.
    qsizetype ignored() const { return m_ignored; }
    // Entries with a warning no mark dismisses.
    qsizetype entriesWithWarnings() const { return m_warningEntries; }

    // Every finding of one entry, dismissed ones included (marked ignored),
    // in the order of the checks; empty when it has none.
    const std::vector<Finding> &findingsOf(const StringEntry &entry) const;
    // Whether the entry has a warning no mark dismisses.
    bool hasWarning(const StringEntry &entry) const;
    // The entries with such a warning, in no particular order.
    std::vector<const StringEntry *> entriesWithWarning() const;

private:
    struct Tally {
        qsizetype errors = 0, warnings = 0, ignored = 0;
    };
    static Tally tallyOf(const std::vector<Finding> &findings);
    void count(const std::vector<Finding> &findings, int sign);
    void markIgnored(std::vector<Finding> &findings) const;
    // Replaces the findings of an entry that came from `from` (per-entry
    // checks when null) by `found`.
    void replace(const StringEntry &entry, const CatalogueCheck *from, std::vector<Finding> &&found);

    CheckSet m_checks;
    std::shared_ptr<const IgnoreMarks> m_marks;
    const EntryMap *m_entries = nullptr;
    std::unordered_map<const StringEntry *, std::vector<Finding>> m_byEntry;  // entries with findings
    qsizetype m_errors = 0, m_warnings = 0, m_ignored = 0, m_warningEntries = 0;
};

// The next entry with a warning no mark dismisses, as the findings last saw
// it (see FindEntry for the candidates, start and wrapping).
EntrySearchResult FindWarning(const std::vector<const StringEntry *> &candidates, qsizetype start,
                              SearchDirection direction, const CatalogueFindings &findings);
