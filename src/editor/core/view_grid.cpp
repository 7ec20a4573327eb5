// How the view fills the grid from the shown catalogue and handles the
// grid's two messages: a check box changed and an in-place edit committed.

#include "editor/core/rendaro_view.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"
#include "editor/core/view_private.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"

#include <algorithm>
#include <vector>

float CRendaroView::shownRatio() const
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(m_catalogueId);
    return catalogue ? catalogue->lengthRatio : 2.0f;
}

int CRendaroView::shownCodeType() const
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(m_catalogueId);
    return catalogue ? catalogue->codeType : CodeTypeCpp;
}

void CRendaroView::RefreshGrid()
{
    m_rows.clearMarks();
    rebuildRows(false);
}

void CRendaroView::InsertRow(int row, const QString &original)
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(m_catalogueId);
    const qsizetype number = catalogue ? catalogue->entries.lookupNumber(original) : -1;
    if (number < 0)
        return;
    m_rows.show(theDocument(), m_catalogueId);
    m_grid->InsertKeyedRow(row, quint32(number));
}

const StringEntry *CRendaroView::RowEntry(int row) const
{
    const quint32 key = m_grid->GetRowKey(row);
    return key < ReportRowModel::kOwnKeys ? m_rows.entry(key) : nullptr;
}

std::vector<const StringEntry *> CRendaroView::rowEntries() const
{
    std::vector<const StringEntry *> entries;
    const CXMLStruct *catalogue = shownCatalogue();
    if (!catalogue)
        return entries;
    const std::vector<quint32> &keys = m_grid->rowModel()->keys();
    entries.reserve(keys.size());
    for (quint32 key : keys)
        entries.push_back(key < catalogue->entries.size() ? &catalogue->entries.byNumber(key) : nullptr);
    return entries;
}

// A row of the shown catalogue knows its entry; any other row is mapped
// back from the text it shows.
QString CRendaroView::DisplayedToOriginal(int row) const
{
    if (const StringEntry *entry = RowEntry(row))
        return entry->original;
    return m_referenceOriginals.originalOf(m_grid->GetItemText(row, 0));
}

void CRendaroView::SetReferenceEntries(EntryMap entries)
{
    m_referenceEntries = std::move(entries);
    m_referenceOriginals.build(m_referenceEntries);
}

bool CRendaroView::CheckPlaceholders(const QString &original, const QString &translation)
{
    const CheckResult result = ::CheckPlaceholders(original, translation, shownCodeType());
    if (result.ok)
        return true;
    ask(result.message, PromptIcon::Stop, PromptButtons::Ok);
    m_lastEditValid = false;
    return false;
}

bool CRendaroView::CheckEscapeSequences(const QString &original, const QString &translation)
{
    const CheckResult result = ::CheckEscapeSequences(original, translation);
    if (!result.ok)
        ask(result.message, PromptIcon::Stop, PromptButtons::Ok);
    return result.ok;
}

bool CRendaroView::CheckLength(const QString &original, const QString &translation, bool showMessage)
{
    const CheckResult result = ::CheckLength(original, translation, shownRatio());
    if (!result.ok && showMessage)
        ask(result.message, PromptIcon::Exclamation, PromptButtons::Ok);
    return result.ok;
}

void CRendaroView::markRow(int row, std::uint8_t marks)
{
    const quint32 key = m_grid->GetRowKey(row);
    if (key >= ReportRowModel::kOwnKeys)
        return;
    m_rows.addMarks(key, marks);
    m_grid->rowModel()->rowChanged(row);
}

void CRendaroView::onCheckChanged(int row)
{
    const QString original = DisplayedToOriginal(row);
    const QString translation = m_grid->GetItemText(row, 1);
    const int translatable = m_grid->GetCheck(row) ? 0 : 1;
    const EntryState previous =
        SetEntryTranslation(*theDocument(), m_catalogueId, original, translation, translatable);
    markRow(row, CatalogueRows::FlagChanged);
    // The flag is part of the file: a changed box is an unsaved change, and
    // a step of its own.
    if (previous.existed) {
        ChangeStep step(*this, tr("Check Box"));
        recordChange(original, previous);
    }
}

void CRendaroView::onEditCommitted(int row, int column)
{
    setModified();
    const QString original = DisplayedToOriginal(row);
    const QString text = m_grid->GetItemText(row, column);
    if (!CheckPlaceholders(original, text))
        return;  // the editor stays open; the catalogue keeps its translation
    const bool escapeOk = CheckEscapeSequences(original, text);
    CheckLength(original, text, true);
    if (!escapeOk) {
        m_lastEditValid = false;
        return;
    }
    m_grid->keepEditing = false;  // accepted: the editor closes

    const EntryState current = ReadEntryState(*theDocument(), m_catalogueId, original);
    if (!text.isEmpty() && text != current.translation) {
        // A ticked row records only its flag.
        const int translatable = m_grid->GetCheck(row) ? 0 : 1;
        const EntryState previous =
            SetEntryTranslation(*theDocument(), m_catalogueId, original, text, translatable);
        markRow(row, CatalogueRows::TranslationChanged);  // red when too long
        ChangeStep step(*this, tr("Edit"));
        recordChange(original, previous);
    }
    m_lastEditValid = true;
}
