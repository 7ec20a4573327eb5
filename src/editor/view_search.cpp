// The Search command, finding the next row that holds the search text, and
// the find step of Replace. On a large file the rows are looked through in
// slices from the event loop (WorkSlices), so the window keeps answering:
// the status bar says a search is running, Esc stops it, and a change of
// the grid's rows stops it too (its row numbers would no longer hold).

#include "editor/rendaro_view.h"
#include "editor/view_passes.h"

#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"
#include "catalogue/text_match.h"
#include "editor/find_string_dialog.h"
#include "editor/user_prompts.h"

void CRendaroView::setupSlicedWork()
{
    m_filterTimer = new QTimer(this);
    m_filterTimer->setSingleShot(true);
    connect(m_filterTimer, &QTimer::timeout, this, &CRendaroView::continueFilterPass);
    m_searchTimer = new QTimer(this);
    m_searchTimer->setSingleShot(true);
    connect(m_searchTimer, &QTimer::timeout, this, &CRendaroView::continueSearch);
    ReportRowModel *model = m_grid->rowModel();
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &CRendaroView::rowsMovedUnderSearch);
    connect(model, &QAbstractItemModel::rowsInserted, this, &CRendaroView::rowsMovedUnderSearch);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &CRendaroView::rowsMovedUnderSearch);
}

void CRendaroView::OnSearch()
{
    if (!searchText.isEmpty())
        m_findDialog->text = searchText;
    m_findDialog->loadFields();
    if (!m_prompts.runDialog(*m_findDialog))
        return;
    searchText = m_findDialog->text;
    matchCase = m_findDialog->matchCase;
    if (!searchText.isEmpty())
        FindNext();
}

// Whether a row shows the text in either column. A row of the shown
// catalogue without texts of its own in the grid is read from its entry in
// place; any other row through the grid's model.
bool CRendaroView::rowHoldsSearchText(int row, const TextMatcher &matcher) const
{
    const ReportRowModel &rows = *m_grid->rowModel();
    const quint32 key = rows.keyAt(row);
    const CXMLStruct *catalogue = m_search->catalogue;
    if (catalogue && key < catalogue->entries.size() && !rows.hasOverride(key)) {
        const StringEntry &entry = catalogue->entries.byNumber(key);
        return matcher.isIn(m_rows.displayTextOf(entry)) || matcher.isIn(entry.translation);
    }
    return matcher.isIn(rows.text(row, 0)) || matcher.isIn(rows.text(row, 1));
}

// Whether Replace would change a row: not ticked, and its entry's
// translation holds the text.
bool CRendaroView::rowToReplace(int row, const TextMatcher &matcher) const
{
    const ReportRowModel &rows = *m_grid->rowModel();
    const quint32 key = rows.keyAt(row);
    const CXMLStruct *catalogue = m_search->catalogue;
    if (catalogue && catalogue->catalogueId == currentCatalogueId && key < catalogue->entries.size()
        && !rows.hasOverride(key)) {
        const StringEntry &entry = catalogue->entries.byNumber(key);
        return entry.translatable != 0 && matcher.isIn(entry.translation);
    }
    if (m_grid->GetCheck(row))
        return false;
    const EntryState state = ReadEntryState(*theDocument(), currentCatalogueId, DisplayedToOriginal(row));
    return state.existed && matcher.isIn(state.translation);
}

void CRendaroView::selectFoundRow(int row)
{
    m_grid->EnsureVisible(row);
    m_grid->SelectOnly(row);
    m_grid->setFocus(Qt::OtherFocusReason);
}

// The rows after the first selected one, then, when the user wants it, the
// rows before it; the selected row itself is not examined.
void CRendaroView::FindNext()
{
    CancelSearch();
    const int rowCount = m_grid->GetItemCount();
    const int selected = m_grid->FirstSelectedRow();
    const int first = selected < 0 ? 0 : selected + 1;
    if (!matchCase)
        searchText = searchText.toLower();  // stays lower case for the next search
    m_search = std::make_unique<SearchRun>();
    m_search->matcher = TextMatcher(searchText, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    m_search->catalogue = m_rows.catalogue();
    m_search->start = selected < 0 ? 0 : selected;
    startSearchScan(first, rowCount - first);
}

void CRendaroView::startSearchScan(int first, int count)
{
    SearchRun &run = *m_search;
    const TextMatcher *matcher = &run.matcher;
    std::function<bool(int)> test;
    if (run.kind == SearchRun::Kind::Find)
        test = [this, matcher](int row) { return rowHoldsSearchText(row, *matcher); };
    else
        test = [this, matcher](int row) { return rowToReplace(row, *matcher); };
    run.scan = std::make_unique<RowScan>(first, count, std::max(1, m_grid->GetItemCount()), std::move(test));
    RowScan &scan = *run.scan;
    if (m_slices.run([&scan](size_t units) { return scan.step(units); }, true)) {
        searchScanned();
        return;
    }
    run.inSlices = true;
    emit statusMessage(tr("Searching... %1% (Esc stops)").arg(scan.percentDone()));
    m_searchTimer->start(0);
}

void CRendaroView::continueSearch()
{
    if (!m_search)
        return;
    if (m_rows.catalogue() != m_search->catalogue) {
        rowsMovedUnderSearch();
        return;
    }
    RowScan &scan = *m_search->scan;
    if (!m_slices.run([&scan](size_t units) { return scan.step(units); }, false)) {
        emit statusMessage(tr("Searching... %1% (Esc stops)").arg(scan.percentDone()));
        m_searchTimer->start(0);
        return;
    }
    searchScanned();
}

// The scan came to a row or to its end: what the search does next.
void CRendaroView::searchScanned()
{
    SearchRun *run = m_search.get();
    const int found = run->scan->found();
    if (run->kind == SearchRun::Kind::Replace) {
        finishSearch();
        replaceFoundRow(found);
        return;
    }
    if (found >= 0) {
        finishSearch();
        selectFoundRow(found);
        return;
    }
    if (run->wrapped) {
        finishSearch();
        ask(messageText(MsgSearchFinished), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    if (run->inSlices) {
        run->inSlices = false;
        emit statusMessage(QString());
    }
    const PromptAnswer answer = ask(messageText(MsgSearchWrap), PromptIcon::Information, PromptButtons::YesNo);
    if (m_search.get() != run)
        return;  // stopped (or replaced by a newer search) while the question was open
    if (answer != PromptAnswer::Yes) {
        finishSearch();
        return;
    }
    run->wrapped = true;
    startSearchScan(0, run->start);
}

void CRendaroView::finishSearch()
{
    if (!m_search)
        return;
    const bool inSlices = m_search->inSlices;
    m_search.reset();
    m_searchTimer->stop();
    if (inSlices)
        emit statusMessage(QString());
}

void CRendaroView::CancelSearch()
{
    if (!m_search)
        return;
    finishSearch();
    emit statusMessage(tr("Search stopped."));
}

void CRendaroView::rowsMovedUnderSearch()
{
    if (!m_search)
        return;
    finishSearch();
    emit statusMessage(tr("Search stopped: the rows changed."));
}
