#include "editor/core/catalogue_rows.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"

void CatalogueRows::show(const CRendaroDoc *document, int catalogueId)
{
    if (document != m_document || catalogueId != m_catalogueId)
        m_marks.clear();
    m_document = document;
    m_catalogueId = catalogueId;
}

const CXMLStruct *CatalogueRows::catalogue() const
{
    return m_document ? m_document->findCatalogue(m_catalogueId) : nullptr;
}

const StringEntry *CatalogueRows::entry(quint32 key) const
{
    const CXMLStruct *shown = catalogue();
    return shown && key < shown->entries.size() ? &shown->entries.byNumber(key) : nullptr;
}

QString CatalogueRows::displayText(const QString &original) const
{
    if (!m_reference || m_reference->empty())
        return original;
    const StringEntry *shown = m_reference->lookup(original);
    return shown ? shown->translation : original;
}

const QString &CatalogueRows::displayTextOf(const StringEntry &entry) const
{
    if (!m_reference || m_reference->empty())
        return entry.original;
    const StringEntry *shown = m_reference->lookup(entry.original);
    return shown ? shown->translation : entry.original;
}

void CatalogueRows::setMarks(quint32 key, std::uint8_t marks)
{
    if (key >= m_marks.size()) {
        if (marks == 0)
            return;
        m_marks.resize(size_t(key) + 1);
    }
    m_marks[key] = marks;
}

QString CatalogueRows::text(quint32 key, int column) const
{
    const StringEntry *row = entry(key);
    if (!row)
        return QString();
    return column == 0 ? displayText(row->original) : row->translation;
}

bool CatalogueRows::isChecked(quint32 key) const
{
    const StringEntry *row = entry(key);
    return row && row->translatable == 0;
}

QRgb CatalogueRows::backColour(quint32 key, int column) const
{
    const CXMLStruct *shown = catalogue();
    if (!shown || key >= shown->entries.size())
        return kDefaultColour;
    const StringEntry &row = shown->entries.byNumber(key);
    const std::uint8_t marks = marksOf(key);
    if (column == 0)
        return row.translatable == 0 || (marks & FlagChanged) ? kMarkedColour : kDefaultColour;
    if (IsTooLong(row.original, row.translation, shown->lengthRatio))
        return kTooLongColour;
    if (marks & TranslationChanged)
        return kMarkedColour;
    return row.translation == row.original ? kUntranslatedColour : kDefaultColour;
}
