// How the view fills the grid from the shown catalogue and handles the
// grid's two messages: a check box changed and an in-place edit committed.

#include "editor/rendaro_view.h"

#include "catalogue/checks.h"
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
    const CRendaroDoc &document = *theDocument();
    // -1 shows the document's current catalogue; the ratio comes from the
    // shown catalogue only.
    const CXMLStruct *catalogue = currentCatalogueId == -1 ? document.catalogueAt(document.currentIndex())
                                                           : document.findCatalogue(currentCatalogueId);
    const float ratio = shownRatio();
    std::vector<ReportRow> rows;
    auto isShown = [this](const StringEntry &entry) {
        return !hideTranslated || entry.translation == entry.original || entry.translation.isEmpty();
    };
    auto addRow = [&](const StringEntry &entry) {
        const QString &original = entry.original;
        const QString &translation = entry.translation;
        ReportRow row = m_grid->MakeRow(displayText(original));
        row.cells[1].text = translation;
        row.checked = entry.translatable == 0;
        if (entry.translatable == 0)
            row.cells[0].backColour = kMarkedColour;
        if (IsTooLong(original, translation, ratio))
            row.cells[1].backColour = kTooLongColour;
        else if (translation == original)
            row.cells[1].backColour = kUntranslatedColour;
        rows.push_back(std::move(row));
    };
    if (catalogue) {
        const EntryMap &entries = catalogue->entries;
        if (hideTranslated && !entries.isOrdered()) {
            // Only the rows shown are put in order; a large merged catalogue
            // of mostly translated strings is never sorted as a whole here.
            std::vector<const StringEntry *> shown;
            for (size_t number = 0; number < entries.size(); ++number) {
                if (isShown(entries.byNumber(number)))
                    shown.push_back(&entries.byNumber(number));
            }
            std::sort(shown.begin(), shown.end(), [](const StringEntry *a, const StringEntry *b) {
                return OriginalLess(a->original, b->original);
            });
            rows.reserve(shown.size());
            for (const StringEntry *entry : shown)
                addRow(*entry);
        } else {
            rows.reserve(entries.size());
            for (const auto &[original, entry] : entries) {
                if (isShown(entry))
                    addRow(entry);
            }
        }
    }
    m_grid->SetRows(std::move(rows));
}

void CRendaroView::InsertRow(int row, const QString &original) { m_grid->InsertRow(row, displayText(original)); }

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

void CRendaroView::onCheckChanged(int row)
{
    const QString original = DisplayedToOriginal(row);
    const QString translation = m_grid->GetItemText(row, 1);
    const int translatable = m_grid->GetCheck(row) ? 0 : 1;
    const EntryState previous =
        SetEntryTranslation(*theDocument(), currentCatalogueId, original, translation, translatable);
    m_grid->SetCellBackground(0, row, kMarkedColour);
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
    const bool lengthOk = CheckLength(original, text, true);
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
        m_grid->SetCellBackground(column, row, lengthOk ? kMarkedColour : kTooLongColour);
        ChangeStep step(*this, tr("Edit"));
        entryChanged(original, previous);
    }
    lastEditValid = true;
}
