// The rows of the grid: entry numbers of the shown catalogue that Hide
// Translated Item and the row filter (the quick filter) let through. A pass
// costs one test per entry and one model reset; a filter that narrows the
// last one tests only the rows shown. On a large catalogue the pass runs in
// slices from the event loop, so the window keeps answering. Rows the filter
// hides are no rows: navigation, search and Replace never see them.

#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "editor/core/view_private.h"

#include <QTimer>

EntryFilter CRendaroView::gridFilter() const
{
    EntryFilter filter;
    if (m_rowFilter)
        m_rowFilter->narrow(filter);
    filter.hideTranslated = m_hideTranslated;
    filter.reference = m_referenceEntries.empty() ? nullptr : &m_referenceEntries;
    return filter;
}

EntryMarks CRendaroView::filterMarks() const
{
    static const EntrySet none;
    EntryMarks marks;
    if (m_rowFilter)
        marks = m_rowFilter->marks();
    if (!marks.changed)
        marks.changed = &none;
    if (!marks.misspelled)
        marks.misspelled = &none;
    marks.counts = &m_counts;
    return marks;
}

void CRendaroView::applyRowFilter(bool marksChanged)
{
    if (marksChanged)
        ++m_entriesGeneration;
    // Text left in the editor is committed; a refused text stays in its
    // cell, as Esc leaves it.
    m_grid->EndEdit(true);
    m_grid->EndEdit(false);
    startFilterPass();
    updateCommandStates();
}

void CRendaroView::setHideTranslated(bool hide)
{
    m_hideTranslated = hide;
    RefreshGrid();
    updateCommandStates();
}

const CXMLStruct *CRendaroView::rowsCatalogue() const
{
    const CRendaroDoc &document = *theDocument();
    // -1 shows the document's current catalogue.
    return m_catalogueId == -1 ? document.catalogueAt(document.currentIndex()) : document.findCatalogue(m_catalogueId);
}

void CRendaroView::rebuildRows(bool keepSelection)
{
    stopFilterPass();  // these rows are newer than what it would give
    const CXMLStruct *catalogue = rowsCatalogue();
    const int id = catalogue ? catalogue->catalogueId : -1;
    m_rows.show(theDocument(), id);
    const EntryFilter filter = gridFilter();
    if (catalogue && filter.state == EntryFilterState::Problems && m_countedCatalogueId != id)
        recountShown();
    std::vector<std::uint32_t> keys;
    if (catalogue) {
        // Rows of a wider filter over unchanged entries hold every row a
        // narrower one shows.
        const bool narrowing = keepSelection && id == m_appliedCatalogueId
                               && m_appliedGeneration == m_entriesGeneration && filter.narrows(m_appliedFilter);
        keys = narrowing ? FilterEntryNumbers(catalogue->entries, m_grid->rowModel()->keys(), filter, filterMarks())
                         : FilterEntries(catalogue->entries, filter, filterMarks());
    }
    showFilteredRows(std::move(keys), filter, id, m_entriesGeneration, keepSelection);
}

// The first slice runs at once, and a pass it does not finish goes on in
// slices from the event loop. The grid keeps its rows until the pass is
// done; a newer filter, or entries changed meanwhile, start it afresh, so
// the rows shown are always those of the latest filter over the entries as
// they are.
void CRendaroView::startFilterPass(bool keepSelection, bool runFirstSlice)
{
    const bool wasRunning = m_filterPass != nullptr;
    m_filterPass.reset();
    const CXMLStruct *catalogue = rowsCatalogue();
    const int id = catalogue ? catalogue->catalogueId : -1;
    if (!catalogue || id != m_rows.catalogueId()) {
        rebuildRows(keepSelection);  // another catalogue: its rows at once
        if (wasRunning)
            emit statusMessage(QString());
        return;
    }
    const EntryFilter filter = gridFilter();
    if (filter.state == EntryFilterState::Problems && m_countedCatalogueId != id)
        recountShown();
    auto run = std::make_unique<FilterPassRun>();
    run->catalogue = catalogue;
    run->catalogueId = id;
    run->generation = m_entriesGeneration;
    run->keepSelection = keepSelection;
    const bool narrowing = keepSelection && id == m_appliedCatalogueId && m_appliedGeneration == m_entriesGeneration
                           && filter.narrows(m_appliedFilter);
    if (narrowing)
        run->pass = std::make_unique<EntryFilterPass>(catalogue->entries, m_grid->rowModel()->keys(), filter,
                                                      filterMarks());
    else
        run->pass = std::make_unique<EntryFilterPass>(catalogue->entries, filter, filterMarks());
    EntryFilterPass &pass = *run->pass;
    if (runFirstSlice && m_slices.run([&pass](size_t units) { return pass.step(units); }, true)) {
        showFilteredRows(pass.takeNumbers(), filter, id, run->generation, keepSelection);
        if (wasRunning)
            emit statusMessage(QString());
        return;
    }
    m_filterPass = std::move(run);
    emit statusMessage(tr("Filtering the rows..."));
    m_filterTimer->start(0);
}

void CRendaroView::continueFilterPass()
{
    if (!m_filterPass)
        return;
    FilterPassRun &run = *m_filterPass;
    if (theDocument()->findCatalogue(run.catalogueId) != run.catalogue || m_rows.catalogueId() != run.catalogueId) {
        stopFilterPass();  // the catalogue went; what shows the next one fills the rows
        return;
    }
    if (run.generation != m_entriesGeneration) {
        // The entries changed under the pass: it starts again from the
        // next slice (work that changes entries between its own steps is
        // not slowed down by a slice at every change).
        startFilterPass(run.keepSelection, false);
        return;
    }
    EntryFilterPass &pass = *run.pass;
    if (!pass.isDone() && !m_slices.run([&pass](size_t units) { return pass.step(units); }, false)) {
        m_filterTimer->start(0);
        return;
    }
    // Replacing the rows would close an open in-place editor: the rows
    // wait until the edit is over (which, when it changes the entry,
    // starts the pass again).
    if (m_grid->isEditing()) {
        m_filterTimer->start(50);
        return;
    }
    std::unique_ptr<FilterPassRun> done = std::move(m_filterPass);
    showFilteredRows(done->pass->takeNumbers(), done->pass->filter(), done->catalogueId, done->generation,
                     done->keepSelection);
    emit statusMessage(QString());
    updateCommandStates();
}

void CRendaroView::stopFilterPass()
{
    if (!m_filterPass)
        return;
    m_filterPass.reset();
    m_filterTimer->stop();
    emit statusMessage(QString());
}

// The rows of a filter, the selected row kept when it stays.
void CRendaroView::showFilteredRows(std::vector<std::uint32_t> &&keys, const EntryFilter &filter, int catalogueId,
                                    quint64 generation, bool keepSelection)
{
    const int selected = keepSelection ? m_grid->FirstSelectedRow() : -1;
    const quint32 selectedKey = m_grid->GetRowKey(selected);
    m_grid->SetKeyedRows(std::move(keys), keepSelection);
    m_appliedFilter = filter;
    m_appliedCatalogueId = catalogueId;
    m_appliedGeneration = generation;

    const int row = selectedKey == ReportRowModel::kNoKey ? -1 : m_grid->rowModel()->rowOfKey(selectedKey);
    if (row >= 0) {
        m_grid->SelectOnly(row);
        m_grid->EnsureVisible(row);
    }
}

bool CRendaroView::SelectOriginal(const QString &original)
{
    const CXMLStruct *catalogue = shownCatalogue();
    if (!catalogue || !catalogue->entries.lookup(original))
        return false;
    m_grid->EndEdit(true);
    if (m_grid->isEditing())
        return false;  // a refused edit keeps its row
    int row = rowOfOriginal(original);
    if (row < 0 && m_rowFilter && !m_rowFilter->isClear()) {
        m_rowFilter->clear();
        row = rowOfOriginal(original);
    }
    if (row < 0 && m_hideTranslated) {
        // The filter hides the row: showing every row is the only way to
        // reach it without the grid holding rows the filter would not show.
        setHideTranslated(false);
        row = rowOfOriginal(original);
    }
    if (row < 0)
        return false;
    m_grid->EnsureVisible(row);
    m_grid->SelectOnly(row);
    m_grid->setFocus(Qt::OtherFocusReason);
    return true;
}

const StringEntry *CRendaroView::shownEntry(const QString &original) const
{
    const CXMLStruct *catalogue = shownCatalogue();
    return catalogue ? catalogue->entries.lookup(original) : nullptr;
}
