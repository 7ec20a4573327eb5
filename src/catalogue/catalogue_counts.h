#pragma once
// The live counts of a catalogue for the editor's status bar: how many
// strings it holds, how many of them are untranslated, how many fail a
// save-time check (checks/entry_checks.h) and, when the counts are given a
// check set, how many warnings its checks raise. A full pass computes them;
// after that each change of one entry costs one entry's checks.

#include "catalogue/catalogue_types.h"
#include "checks/catalogue_findings.h"

#include <unordered_set>

struct EntryState;

class CatalogueCounts {
public:
    // A translatable entry whose translation still equals its original.
    static bool isUntranslated(const StringEntry &entry);

    // Counts every entry: on load, when the catalogue's settings (ratio, code
    // type) change, after RebuildEntries, or when another catalogue is shown.
    void recount(const CXMLStruct &catalogue);
    void recount(const EntryMap &entries, float lengthRatio, int codeType);
    void clear();

    // The entry (already holding its new state) had oldTranslation and
    // oldTranslatable before the change. Every entry passed here must have
    // been counted (by recount or entryAdded).
    void entryChanged(const StringEntry &entry, const QString &oldTranslation, int oldTranslatable);
    // The same with the state SetEntryTranslation returned (entry_edits.h).
    void entryChanged(const StringEntry &entry, const EntryState &before);
    // A new entry of the catalogue (paste, Add new string).
    void entryAdded(const StringEntry &entry);

    qsizetype strings() const { return m_strings; }
    qsizetype untranslated() const { return m_untranslated; }
    qsizetype problems() const { return qsizetype(m_problems.size()); }
    // Whether the entry failed a check when it was last counted.
    bool hasProblem(const StringEntry &entry) const { return m_problems.count(&entry) != 0; }
    // "N strings, M untranslated, K problems" (singular for one).
    QString statusText() const;

    float lengthRatio() const { return m_lengthRatio; }
    int codeType() const { return m_codeType; }

    // Warnings beside the problems: every entry is also judged through the
    // set (whose ratio and code type follow the catalogue's at each
    // recount), with the marks dismissing warnings. Without a set the counts
    // hold no warnings. A recount is due after this.
    void setChecks(CheckSet checks, std::shared_ptr<const IgnoreMarks> marks = {});
    bool hasChecks() const { return m_withChecks; }
    // The findings of every check, for the marks, the lists and Next Warning.
    const CatalogueFindings &findings() const { return m_findings; }
    qsizetype warnings() const { return m_findings.warnings(); }
    bool hasWarning(const StringEntry &entry) const { return m_findings.hasWarning(entry); }
    // "N strings, M untranslated, K problems, W warnings" (singular for one).
    QString statusTextWithWarnings() const;

private:
    void updateProblem(const StringEntry &entry);

    float m_lengthRatio = 2.0f;
    int m_codeType = CodeTypeCpp;
    qsizetype m_strings = 0;
    qsizetype m_untranslated = 0;
    // Entries failing a check; their addresses are stable while the
    // catalogue holds them.
    std::unordered_set<const StringEntry *> m_problems;
    bool m_withChecks = false;
    CatalogueFindings m_findings;
};
