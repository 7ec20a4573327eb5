#include "catalogue/catalogue_counts.h"

#include "catalogue/entry_checks.h"
#include "catalogue/entry_edits.h"

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
}

void CatalogueCounts::clear()
{
    m_strings = 0;
    m_untranslated = 0;
    m_problems.clear();
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
    if (EntryHasProblem(entry.original, entry.translation, m_lengthRatio, m_codeType))
        m_problems.insert(&entry);
    else
        m_problems.erase(&entry);
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
