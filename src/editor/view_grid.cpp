// How the view fills the grid from the shown catalogue and handles the
// grid's two messages: a check box changed and an in-place edit committed.

#include "editor/rendaro_view.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"

#include <algorithm>
#include <vector>

float CRendaroView::shownRatio() const
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    return catalogue ? catalogue->lengthRatio : 2.0f;
}

int CRendaroView::shownCodeType() const
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    return catalogue ? catalogue->codeType : CodeTypeCpp;
}

void CRendaroView::RefreshGrid()
{
    m_rows.clearMarks();
    rebuildRows(false);
}

void CRendaroView::InsertRow(int row, const QString &original)
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    const qsizetype number = catalogue ? catalogue->entries.lookupNumber(original) : -1;
    if (number < 0)
        return;
    m_rows.show(theDocument(), currentCatalogueId);
    m_grid->InsertKeyedRow(row, quint32(number));
}

const StringEntry *CRendaroView::RowEntry(int row) const
{
    const quint32 key = m_grid->GetRowKey(row);
    return key < ReportRowModel::kOwnKeys ? m_rows.entry(key) : nullptr;
}

bool CRendaroView::CheckPlaceholders(const QString &original, const QString &translation)
{
    const CheckResult result = ::CheckPlaceholders(original, translation, shownCodeType());
    if (result.ok)
        return true;
    ask(result.message, PromptIcon::Stop, PromptButtons::Ok);
    lastEditValid = false;
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

bool CRendaroView::putTranslation(const QString &original, const QString &translation)
{
    const EntryState previous = SetEntryTranslation(*theDocument(), currentCatalogueId, original, translation, 1);
    if (!previous.existed)
        return false;
    entryChanged(original, previous);
    const int row = rowOfOriginal(original);
    if (row >= 0) {
        m_grid->SetItemText(row, 1, translation);
        markRow(row, CatalogueRows::TranslationChanged);  // red when too long
    }
    return true;
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
        SetEntryTranslation(*theDocument(), currentCatalogueId, original, translation, translatable);
    markRow(row, CatalogueRows::FlagChanged);
    // The flag is part of the file: a changed box is an unsaved change, and
    // a step of its own.
    if (previous.existed) {
        ChangeStep step(*this, tr("Check Box"));
        entryChanged(original, previous);
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
        lastEditValid = false;
        return;
    }
    m_grid->keepEditing = false;  // accepted: the editor closes

    const EntryState current = ReadEntryState(*theDocument(), currentCatalogueId, original);
    if (!text.isEmpty() && text != current.translation) {
        // A ticked row records only its flag.
        const int translatable = m_grid->GetCheck(row) ? 0 : 1;
        const EntryState previous =
            SetEntryTranslation(*theDocument(), currentCatalogueId, original, text, translatable);
        markRow(row, CatalogueRows::TranslationChanged);  // red when too long
        ChangeStep step(*this, tr("Edit"));
        entryChanged(original, previous);
    }
    lastEditValid = true;
}
