// The quick filter: the filter bar's text, state and toggles narrow the
// grid's rows together with Hide Translated Item. Rows are entry numbers,
// so a pass costs one test per entry and one model reset; typing more of
// the same text tests only the rows shown. Rows the filter hides are no
// rows: navigation, search and Replace never see them.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "editor/filter_bar.h"
#include "editor/spelling_session.h"


void CRendaroView::OnFilter()
{
    m_filterBar->show();
    m_filterBar->focusText();
}

EntryFilter CRendaroView::gridFilter() const
{
    EntryFilter filter;
    filter.hideTranslated = hideTranslated;
    filter.text = m_filterBar->text();
    filter.caseSensitivity = m_filterBar->matchCase() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    filter.matchKeys = m_filterBar->matchKeys();
    filter.state = m_filterBar->state();
    filter.reference = m_referenceEntries.empty() ? nullptr : &m_referenceEntries;
    return filter;
}

EntryMarks CRendaroView::filterMarks() const
{
    static const EntrySet none;
    EntryMarks marks;
    marks.counts = &m_counts;
    marks.changed = m_changesCatalogueId == currentCatalogueId ? &m_changedEntries : &none;
    marks.misspelled = &m_misspelledEntries;
    return marks;
}

void CRendaroView::ApplyFilter()
{
    // Text left in the editor is committed; a refused text stays in its
    // cell, as Esc leaves it.
    m_grid->EndEdit(true);
    m_grid->EndEdit(false);
    if (m_misspelledStale && m_spelling && m_filterBar->state() == EntryFilterState::Misspelled) {
        m_misspelledStale = false;
        m_misspelledEntries = m_spelling->misspelledEntries();
        ++m_entriesGeneration;
    }
    rebuildRows(true);
    updateCommandStates();
}

void CRendaroView::ClearFilter()
{
    if (m_filterBar->isClear())
        return;
    m_filterBar->clear();  // applies through filterChanged
}

void CRendaroView::rebuildRows(bool keepSelection)
{
    const CRendaroDoc &document = *theDocument();
    // -1 shows the document's current catalogue.
    const CXMLStruct *catalogue = currentCatalogueId == -1 ? document.catalogueAt(document.currentIndex())
                                                           : document.findCatalogue(currentCatalogueId);
    const int id = catalogue ? catalogue->catalogueId : -1;
    m_rows.show(&document, id);
    const EntryFilter filter = gridFilter();
    if (catalogue && filter.state == EntryFilterState::Problems && m_countedCatalogueId != id)
        recountShown();
    const int selected = keepSelection ? m_grid->FirstSelectedRow() : -1;
    const quint32 selectedKey = m_grid->GetRowKey(selected);

    std::vector<std::uint32_t> keys;
    if (catalogue) {
        // Rows of a wider filter over unchanged entries hold every row a
        // narrower one shows.
        const bool narrowing = keepSelection && id == m_appliedCatalogueId
                               && m_appliedGeneration == m_entriesGeneration && filter.narrows(m_appliedFilter);
        keys = narrowing ? FilterEntryNumbers(catalogue->entries, m_grid->rowModel()->keys(), filter, filterMarks())
                         : FilterEntries(catalogue->entries, filter, filterMarks());
    }
    m_grid->SetKeyedRows(std::move(keys), keepSelection);
    m_appliedFilter = filter;
    m_appliedCatalogueId = id;
    m_appliedGeneration = m_entriesGeneration;

    const int row = selectedKey == ReportRowModel::kNoKey ? -1 : m_grid->rowModel()->rowOfKey(selectedKey);
    if (row >= 0) {
        m_grid->SelectOnly(row);
        m_grid->EnsureVisible(row);
    }
}

void CRendaroView::noteEntryChange(const StringEntry *entry, const EntryState &before, const EntryState &now)
{
    ++m_entriesGeneration;
    if (m_changesCatalogueId != currentCatalogueId) {
        m_openedStates.clear();
        m_changedEntries.clear();
        m_changesCatalogueId = currentCatalogueId;
    }
    if (!entry)
        return;
    // The state an entry had when the file was opened is the one before
    // its first change; back at that state it no longer counts as changed.
    const EntryState &opened = m_openedStates.try_emplace(entry, before).first->second;
    if (now == opened)
        m_changedEntries.erase(entry);
    else
        m_changedEntries.insert(entry);
}

const StringEntry *CRendaroView::shownEntry(const QString &original) const
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    return catalogue ? catalogue->entries.lookup(original) : nullptr;
}

void CRendaroView::SetMisspelledEntries(EntrySet entries)
{
    m_misspelledEntries = std::move(entries);
    ++m_entriesGeneration;
    if (m_filterBar->state() == EntryFilterState::Misspelled)
        ApplyFilter();
}

void CRendaroView::SetSpellingAvailable(bool available) { m_filterBar->setMisspelledAvailable(available); }

QString CRendaroView::rowsShownText() const
{
    const CXMLStruct *catalogue = m_rows.catalogue();
    if (!catalogue)
        return QString();
    // Plain numbers, as the counts beside it write them.
    return tr("showing %1 of %2").arg(m_grid->GetItemCount()).arg(catalogue->entries.size());
}
