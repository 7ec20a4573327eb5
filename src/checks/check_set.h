#pragma once
// The checks that judge one file: the built-in ones and any made with data
// of their own for that file (check_registry.h builds it), with the file's
// context and which of them run. Every caller (the command line, the live
// counts, the editor's marks and listings) judges through a set, so the
// switches, the ignore marks and the counts treat every check alike.
//
// A set and its checks are used by one thread at a time.

#include "checks/check.h"

#include <QSet>
#include <memory>

class CheckSwitches;

class CheckSet {
public:
    CheckSet() = default;
    explicit CheckSet(CheckContext context) : m_context(std::move(context)) {}

    const CheckContext &context() const { return m_context; }
    // New settings (ratio, code type) of the same file.
    void setContext(CheckContext context) { m_context = std::move(context); }

    // Adds a check; one with the same id is replaced in its place.
    void add(std::shared_ptr<const Check> check);
    const std::vector<std::shared_ptr<const Check>> &checks() const { return m_checks; }
    const Check *find(QStringView id) const;

    // Whether a check runs at all (rendaro-cli check --checks, --skip-checks).
    void setRunning(const QString &id, bool running);
    bool isRunning(const QString &id) const { return !m_notRunning.contains(id); }
    // Whether a check's warnings are reported (the switches of Tool >
    // Checks). Its errors are reported whatever the switch says.
    void setWarningsOn(const QString &id, bool on);
    bool warningsOn(const QString &id) const { return !m_warningsOff.contains(id); }
    // The switches of the context's language.
    void applySwitches(const CheckSwitches &switches);

    // Appends the findings of every running per-entry check on one entry, in
    // the order of the checks (the save-time errors first). An error of
    // `placeholders` stands alone among the errors: the other save-time
    // checks say nothing useful then.
    void judgeEntry(const StringEntry &entry, std::vector<Finding> &out) const;
    // The running checks that judge the whole catalogue.
    std::vector<const CatalogueCheck *> catalogueChecks() const;
    // Appends every finding of the catalogue checks.
    void judgeCatalogue(const EntryMap &entries, std::vector<Finding> &out) const;
    // Every finding over the catalogue: each entry's in the order of their
    // numbers, then those of the catalogue checks.
    std::vector<Finding> judgeAll(const EntryMap &entries) const;

    // Drops, from the findings at `from` onwards, those the set does not
    // report: warnings switched off, and warnings on an entry whose
    // translation is empty or equal to its original.
    void admit(std::vector<Finding> &findings, size_t from) const;

private:
    CheckContext m_context;
    std::vector<std::shared_ptr<const Check>> m_checks;
    std::vector<const PerEntryCheck *> m_entryChecks;  // running, in order
    const PerEntryCheck *m_placeholders = nullptr;     // among them, when it runs
    QSet<QString> m_notRunning;
    QSet<QString> m_warningsOff;

    void refresh();
};
