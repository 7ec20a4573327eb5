// Next/Previous Untranslated and Next/Previous Problem: the selection moves
// to the next row the grid shows whose entry needs work, wrapping at either
// end; and selecting the row of a given original.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "editor/filter_bar.h"

#include <QKeyEvent>

void CRendaroView::OnNextUntranslated() { navigate(false, SearchDirection::Forward); }
void CRendaroView::OnPreviousUntranslated() { navigate(false, SearchDirection::Backward); }
void CRendaroView::OnNextProblem() { navigate(true, SearchDirection::Forward); }
void CRendaroView::OnPreviousProblem() { navigate(true, SearchDirection::Backward); }

// The entry of each grid row, in row order; rows the filter hides are no
// rows, so they are never candidates.
std::vector<const StringEntry *> CRendaroView::shownEntries() const
{
    std::vector<const StringEntry *> entries;
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    if (!catalogue)
        return entries;
    const std::vector<quint32> &keys = m_grid->rowModel()->keys();
    entries.reserve(keys.size());
    for (quint32 key : keys)
        entries.push_back(key < catalogue->entries.size() ? &catalogue->entries.byNumber(key) : nullptr);
    return entries;
}

void CRendaroView::navigate(bool toProblem, SearchDirection direction)
{
    if (m_grid->GetItemCount() == 0)
        return;
    // Text left in the editor is committed first; a refused text keeps the
    // editor open on its row (lastEditValid false), and the selection stays
    // there too. A refused text dropped with Esc blocks nothing.
    m_grid->EndEdit(true);
    if (m_grid->isEditing())
        return;
    // The counts must know every entry the grid shows before a problem
    // search reads them.
    if (m_countedCatalogueId != currentCatalogueId)
        recountShown();
    const std::vector<const StringEntry *> entries = shownEntries();
    const qsizetype start = m_grid->FirstSelectedRow();
    const EntrySearchResult found = toProblem ? FindProblem(entries, start, direction, m_counts)
                                              : FindUntranslated(entries, start, direction);
    if (found.position < 0) {
        emit statusMessage(toProblem ? tr("No problem found.") : tr("No untranslated string."));
        return;
    }
    const int row = int(found.position);
    m_grid->EnsureVisible(row);
    m_grid->SelectOnly(row);
    m_grid->setFocus(Qt::OtherFocusReason);
    if (!found.wrapped)
        emit statusMessage(QString());
    else if (direction == SearchDirection::Forward)
        emit statusMessage(tr("Search wrapped to the first row."));
    else
        emit statusMessage(tr("Search wrapped to the last row."));
}

bool CRendaroView::SelectOriginal(const QString &original)
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    if (!catalogue || !catalogue->entries.lookup(original))
        return false;
    m_grid->EndEdit(true);
    if (m_grid->isEditing())
        return false;  // a refused edit keeps its row
    int row = rowOfOriginal(original);
    if (row < 0 && !m_filterBar->isClear()) {
        ClearFilter();
        row = rowOfOriginal(original);
    }
    if (row < 0 && hideTranslated) {
        // The filter hides the row: showing every row is the only way to
        // reach it without the grid holding rows the filter would not show.
        hideTranslated = false;
        RefreshGrid();
        updateCommandStates();
        row = rowOfOriginal(original);
    }
    if (row < 0)
        return false;
    m_grid->EnsureVisible(row);
    m_grid->SelectOnly(row);
    m_grid->setFocus(Qt::OtherFocusReason);
    return true;
}

// Ctrl+J, Ctrl+Shift+J, Ctrl+K and Ctrl+Shift+K reach the view before the
// in-place editor, which would otherwise take Ctrl+K for itself, so they
// move on from an open edit too.
bool CRendaroView::handleNavigationKey(QKeyEvent *event, bool isShortcutOverride)
{
    if (!(event->modifiers() & Qt::ControlModifier) || m_grid->GetItemCount() == 0)
        return false;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    void (CRendaroView::*command)() = nullptr;
    if (event->key() == Qt::Key_J)
        command = shift ? &CRendaroView::OnPreviousUntranslated : &CRendaroView::OnNextUntranslated;
    else if (event->key() == Qt::Key_K)
        command = shift ? &CRendaroView::OnPreviousProblem : &CRendaroView::OnNextProblem;
    if (!command || (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (isShortcutOverride) {
        event->accept();
        return true;
    }
    (this->*command)();
    return true;
}
