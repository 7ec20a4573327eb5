// The live counts of the shown catalogue (strings, untranslated, problems)
// and the length of the translation being edited, for the status bar.
// A full count runs when what is shown changes as a whole; a change of one
// entry costs that entry's checks.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "checks/entry_checks.h"
#include "catalogue/entry_edits.h"

#include <QLineEdit>
#include <cmath>

namespace {

bool sameRatio(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

} // namespace

void CRendaroView::setupLiveCounts()
{
    connect(m_grid, &CReportCtrl::editingChanged, this, &CRendaroView::updateEditLength);
    connect(m_grid->editor(), &QLineEdit::textChanged, this, &CRendaroView::updateEditLength);
}

QString CRendaroView::countsText() const
{
    return m_countedCatalogueId < 0 ? QString() : m_counts.statusText() + spellingCountsText();
}

void CRendaroView::recountShown()
{
    ++m_entriesGeneration;  // the problems may differ
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    if (catalogue) {
        m_counts.recount(*catalogue);
        m_countedCatalogueId = catalogue->catalogueId;
    } else {
        m_counts.clear();
        m_countedCatalogueId = -1;
    }
    restartSpelling();
    emit countsChanged(countsText());
}

void CRendaroView::countEntryChange(const QString &original, const EntryState &before)
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    // Another catalogue than the one counted (a paste that created one), or
    // settings changed since: the counts start again.
    if (!catalogue || catalogue->catalogueId != m_countedCatalogueId
        || !sameRatio(catalogue->lengthRatio, m_counts.lengthRatio()) || catalogue->codeType != m_counts.codeType()) {
        recountShown();
        return;
    }
    const StringEntry *entry = catalogue->entries.lookup(original);
    if (!entry) {
        recountShown();  // the entry went away (an undone addition)
        return;
    }
    if (before.existed)
        m_counts.entryChanged(*entry, before);
    else
        m_counts.entryAdded(*entry);
    spellingEntryChanged(*entry);
    emit countsChanged(countsText());
}

void CRendaroView::updateEditLength()
{
    if (!m_grid->isEditing() || m_grid->editColumn() != 1) {
        emit editLengthChanged(-1, 0);
        return;
    }
    const QString original = DisplayedToOriginal(m_grid->editRow());
    emit editLengthChanged(m_grid->editor()->text().size(), MaxTranslationLength(original, shownRatio()));
}
