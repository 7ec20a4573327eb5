#include "checks/check_set.h"

#include "checks/check_switches.h"

#include <algorithm>

namespace {

bool raisesWarnings(const StringEntry &entry)
{
    return !entry.translation.isEmpty() && entry.translation != entry.original;
}

// The save-time checks that say nothing useful beside an error of the
// placeholders (the old CheckEntry's rule).
bool followsPlaceholders(const Check &check)
{
    return check.id() == u"escapes" || check.id() == u"length" || check.id() == u"empty";
}

} // namespace

void CheckSet::add(std::shared_ptr<const Check> check)
{
    if (!check)
        return;
    const auto same = std::find_if(m_checks.begin(), m_checks.end(),
                                   [&](const std::shared_ptr<const Check> &c) { return c->id() == check->id(); });
    if (same != m_checks.end())
        *same = std::move(check);
    else
        m_checks.push_back(std::move(check));
    refresh();
}

const Check *CheckSet::find(QStringView id) const
{
    for (const std::shared_ptr<const Check> &check : m_checks) {
        if (check->id() == id)
            return check.get();
    }
    return nullptr;
}

void CheckSet::setRunning(const QString &id, bool running)
{
    if (running)
        m_notRunning.remove(id);
    else
        m_notRunning.insert(id);
    refresh();
}

void CheckSet::setWarningsOn(const QString &id, bool on)
{
    if (on)
        m_warningsOff.remove(id);
    else
        m_warningsOff.insert(id);
}

void CheckSet::applySwitches(const CheckSwitches &switches)
{
    m_warningsOff.clear();
    for (const QString &id : switches.offChecks(m_context.language.code))
        m_warningsOff.insert(id);
}

void CheckSet::refresh()
{
    m_entryChecks.clear();
    m_placeholders = nullptr;
    for (const std::shared_ptr<const Check> &check : m_checks) {
        if (!isRunning(check->id()))
            continue;
        if (const auto *perEntry = dynamic_cast<const PerEntryCheck *>(check.get())) {
            m_entryChecks.push_back(perEntry);
            if (check->id() == u"placeholders")
                m_placeholders = perEntry;
        }
    }
}

void CheckSet::judgeEntry(const StringEntry &entry, std::vector<Finding> &out) const
{
    const size_t from = out.size();
    const CheckedEntry checked{entry, TextTraits::of(entry.original), TextTraits::of(entry.translation)};
    const bool real = raisesWarnings(entry);
    bool placeholderError = false;
    for (const PerEntryCheck *check : m_entryChecks) {
        if (check->severity() == Severity::Warning && !real)
            continue;
        if (placeholderError && followsPlaceholders(*check))
            continue;
        const size_t before = out.size();
        check->judge(checked, m_context, out);
        if (check == m_placeholders)
            placeholderError = std::any_of(out.begin() + qsizetype(before), out.end(),
                                           [](const Finding &f) { return f.severity == Severity::Error; });
    }
    admit(out, from);
}

std::vector<const CatalogueCheck *> CheckSet::catalogueChecks() const
{
    std::vector<const CatalogueCheck *> found;
    for (const std::shared_ptr<const Check> &check : m_checks) {
        if (!isRunning(check->id()))
            continue;
        if (const auto *catalogue = dynamic_cast<const CatalogueCheck *>(check.get()))
            found.push_back(catalogue);
    }
    return found;
}

void CheckSet::judgeCatalogue(const EntryMap &entries, std::vector<Finding> &out) const
{
    for (const CatalogueCheck *check : catalogueChecks()) {
        const size_t from = out.size();
        check->judgeAll(entries, m_context, out);
        admit(out, from);
    }
}

std::vector<Finding> CheckSet::judgeAll(const EntryMap &entries) const
{
    std::vector<Finding> found;
    for (size_t number = 0; number < entries.size(); ++number)
        judgeEntry(entries.byNumber(number), found);
    judgeCatalogue(entries, found);
    return found;
}

void CheckSet::admit(std::vector<Finding> &findings, size_t from) const
{
    const auto dropped = [this](const Finding &f) {
        return f.severity == Severity::Warning
               && (!f.entry || !raisesWarnings(*f.entry) || (!m_warningsOff.isEmpty() && !warningsOn(f.checkId())));
    };
    findings.erase(std::remove_if(findings.begin() + qsizetype(from), findings.end(), dropped), findings.end());
}
