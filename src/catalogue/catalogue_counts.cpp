#include "catalogue/catalogue_counts.h"

#include "catalogue/entry_edits.h"
#include "checks/entry_checks.h"

bool CatalogueCounts::isUntranslated(const StringEntry &entry)
{
    return entry.translatable != 0 && entry.translation == entry.original;
}

void CatalogueCounts::recount(const CXMLStruct &catalogue)
{
    recount(catalogue.entries, catalogue.lengthRatio, catalogue.codeType);
}

void CatalogueCounts::recount(const EntryMap &entries, float lengthRatio, int codeType)
{
    clear();
    m_lengthRatio = lengthRatio;
    m_codeType = codeType;
    m_strings = qsizetype(entries.size());
    // By entry number: counting needs no order, and a merged catalogue that
    // nothing has put in order yet is not sorted for it.
    for (size_t number = 0; number < entries.size(); ++number) {
        const StringEntry &entry = entries.byNumber(number);
        if (isUntranslated(entry))
            ++m_untranslated;
        if (EntryHasProblem(entry.original, entry.translation, m_lengthRatio, m_codeType))
            m_problems.insert(&entry);
    }
    if (m_withChecks) {
        CheckContext context = m_findings.checks().context();
        context.lengthRatio = lengthRatio;
        context.codeType = codeType;
        m_findings.checks().setContext(std::move(context));
        m_findings.recount(entries);
    }
}

void CatalogueCounts::setChecks(CheckSet checks, std::shared_ptr<const IgnoreMarks> marks)
{
    m_withChecks = true;
    m_findings.clear();
    m_findings.setChecks(std::move(checks));
    m_findings.setIgnoreMarks(std::move(marks));
}

void CatalogueCounts::clear()
{
    m_strings = 0;
    m_untranslated = 0;
    m_problems.clear();
    m_findings.clear();
}

void CatalogueCounts::entryChanged(const StringEntry &entry, const QString &oldTranslation, int oldTranslatable)
{
    const bool wasUntranslated = oldTranslatable != 0 && oldTranslation == entry.original;
    m_untranslated += qsizetype(isUntranslated(entry)) - qsizetype(wasUntranslated);
    updateProblem(entry);
}

void CatalogueCounts::entryChanged(const StringEntry &entry, const EntryState &before)
{
    entryChanged(entry, before.translation, before.translatable);
}

void CatalogueCounts::entryAdded(const StringEntry &entry)
{
    ++m_strings;
    if (isUntranslated(entry))
        ++m_untranslated;
    updateProblem(entry);
}

void CatalogueCounts::updateProblem(const StringEntry &entry)
{
    if (m_withChecks)
        m_findings.entryChanged(entry);
    if (EntryHasProblem(entry.original, entry.translation, m_lengthRatio, m_codeType))
        m_problems.insert(&entry);
    else
        m_problems.erase(&entry);
}

namespace {
QString counted(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}
} // namespace

QString CatalogueCounts::statusTextWithWarnings() const
{
    return statusText() + QStringLiteral(", ") + counted(warnings(), "warning", "warnings");
}

QString CatalogueCounts::statusText() const
{
    const qsizetype problemCount = problems();
    return QStringLiteral("%1 %2, %3 untranslated, %4 %5")
        .arg(m_strings)
        .arg(m_strings == 1 ? QStringLiteral("string") : QStringLiteral("strings"))
        .arg(m_untranslated)
        .arg(problemCount)
        .arg(problemCount == 1 ? QStringLiteral("problem") : QStringLiteral("problems"));
}
