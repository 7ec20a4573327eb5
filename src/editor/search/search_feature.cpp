#include "editor/search/search_feature.h"

#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"
#include "catalogue/text_match.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/search/find_string_dialog.h"
#include "editor/search/search_run.h"

#include <QKeyEvent>
#include <QTimer>

SearchFeature::SearchFeature(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands), m_findDialog(new CFindString(&view)),
      m_searchTimer(new QTimer(this))
{
    m_searchTimer->setSingleShot(true);
    connect(m_searchTimer, &QTimer::timeout, this, &SearchFeature::continueSearch);
    ReportRowModel *model = view.grid()->rowModel();
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &SearchFeature::rowsMovedUnderSearch);
    connect(model, &QAbstractItemModel::rowsInserted, this, &SearchFeature::rowsMovedUnderSearch);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &SearchFeature::rowsMovedUnderSearch);
    view.addKeyHandler(this, [this](QKeyEvent *event, bool isShortcutOverride) { return handleKey(event, isShortcutOverride); });
    if (commands) {
        commands->handle(Command::Search, this, &SearchFeature::OnSearch);
        commands->handle(Command::FindReplace, this, &SearchFeature::OnFindReplace);
        connect(&view, &CRendaroView::commandStatesChanged, this, &SearchFeature::updateCommandStates);
        updateCommandStates();
    }
}

SearchFeature::~SearchFeature()
{
    delete m_findDialog;
    delete m_replaceDialog;
}

void SearchFeature::updateCommandStates()
{
    m_commands->action(Command::Search)->setEnabled(m_view.grid()->GetItemCount() > 0);
    m_commands->action(Command::FindReplace)->setEnabled(m_view.currentCatalogueId() >= 0);
}

// Ctrl+F and F3 search while a catalogue is shown, Esc stops a search; all
// before the grid and the shortcuts see the key.
bool SearchFeature::handleKey(QKeyEvent *event, bool isShortcutOverride)
{
    const int key = event->key();
    const bool shown = m_view.currentCatalogueId() >= 0;
    const bool taken = (shown && key == Qt::Key_F && (event->modifiers() & Qt::ControlModifier))
                       || (key == Qt::Key_Escape && m_search) || (shown && key == Qt::Key_F3 && !m_searchText.isEmpty());
    if (!taken)
        return false;
    if (isShortcutOverride) {
        event->accept();
        return true;
    }
    if (key == Qt::Key_F)
        OnSearch();
    else if (key == Qt::Key_Escape)
        CancelSearch();
    else
        FindNext();
    return true;
}

void SearchFeature::OnSearch()
{
    if (!m_searchText.isEmpty())
        m_findDialog->text = m_searchText;
    m_findDialog->loadFields();
    if (!m_view.prompts().runDialog(*m_findDialog))
        return;
    m_searchText = m_findDialog->text;
    m_matchCase = m_findDialog->matchCase;
    if (!m_searchText.isEmpty())
        FindNext();
}

// Whether a row shows the text in either column. A row of the shown
// catalogue without texts of its own in the grid is read from its entry in
// place; any other row through the grid's model.
bool SearchFeature::rowHoldsSearchText(int row, const TextMatcher &matcher) const
{
    const ReportRowModel &rows = *m_view.grid()->rowModel();
    const quint32 key = rows.keyAt(row);
    const CXMLStruct *catalogue = m_search->catalogue;
    if (catalogue && key < catalogue->entries.size() && !rows.hasOverride(key)) {
        const StringEntry &entry = catalogue->entries.byNumber(key);
        return matcher.isIn(m_view.rows().displayTextOf(entry)) || matcher.isIn(entry.translation);
    }
    return matcher.isIn(rows.text(row, 0)) || matcher.isIn(rows.text(row, 1));
}

// Whether Replace would change a row: not ticked, and its entry's
// translation holds the text.
bool SearchFeature::rowToReplace(int row, const TextMatcher &matcher) const
{
    const ReportRowModel &rows = *m_view.grid()->rowModel();
    const quint32 key = rows.keyAt(row);
    const CXMLStruct *catalogue = m_search->catalogue;
    if (catalogue && catalogue->catalogueId == m_view.currentCatalogueId() && key < catalogue->entries.size()
        && !rows.hasOverride(key)) {
        const StringEntry &entry = catalogue->entries.byNumber(key);
        return entry.translatable != 0 && matcher.isIn(entry.translation);
    }
    if (m_view.grid()->GetCheck(row))
        return false;
    const EntryState state = ReadEntryState(*theDocument(), m_view.currentCatalogueId(), m_view.DisplayedToOriginal(row));
    return state.existed && matcher.isIn(state.translation);
}

void SearchFeature::selectFoundRow(int row)
{
    CReportCtrl *grid = m_view.grid();
    grid->EnsureVisible(row);
    grid->SelectOnly(row);
    grid->setFocus(Qt::OtherFocusReason);
}

// The rows after the first selected one, then, when the user wants it, the
// rows before it; the selected row itself is not examined.
void SearchFeature::FindNext()
{
    CancelSearch();
    const int rowCount = m_view.grid()->GetItemCount();
    const int selected = m_view.grid()->FirstSelectedRow();
    const int first = selected < 0 ? 0 : selected + 1;
    if (!m_matchCase)
        m_searchText = m_searchText.toLower();  // stays lower case for the next search
    m_search = std::make_unique<SearchRun>();
    m_search->matcher = TextMatcher(m_searchText, m_matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    m_search->catalogue = m_view.rows().catalogue();
    m_search->start = selected < 0 ? 0 : selected;
    startSearchScan(first, rowCount - first);
}

void SearchFeature::startSearchScan(int first, int count)
{
    SearchRun &run = *m_search;
    const TextMatcher *matcher = &run.matcher;
    std::function<bool(int)> test;
    if (run.kind == SearchRun::Kind::Find)
        test = [this, matcher](int row) { return rowHoldsSearchText(row, *matcher); };
    else
        test = [this, matcher](int row) { return rowToReplace(row, *matcher); };
    run.scan = std::make_unique<RowScan>(first, count, std::max(1, m_view.grid()->GetItemCount()), std::move(test));
    RowScan &scan = *run.scan;
    if (m_view.slices().run([&scan](size_t units) { return scan.step(units); }, true)) {
        searchScanned();
        return;
    }
    run.inSlices = true;
    m_view.showStatus(tr("Searching... %1% (Esc stops)").arg(scan.percentDone()));
    m_searchTimer->start(0);
}

void SearchFeature::continueSearch()
{
    if (!m_search)
        return;
    if (m_view.rows().catalogue() != m_search->catalogue) {
        rowsMovedUnderSearch();
        return;
    }
    RowScan &scan = *m_search->scan;
    if (!m_view.slices().run([&scan](size_t units) { return scan.step(units); }, false)) {
        m_view.showStatus(tr("Searching... %1% (Esc stops)").arg(scan.percentDone()));
        m_searchTimer->start(0);
        return;
    }
    searchScanned();
}

// The scan came to a row or to its end: what the search does next.
void SearchFeature::searchScanned()
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
        m_view.ask(messageText(MsgSearchFinished), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    if (run->inSlices) {
        run->inSlices = false;
        m_view.showStatus(QString());
    }
    const PromptAnswer answer = m_view.ask(messageText(MsgSearchWrap), PromptIcon::Information, PromptButtons::YesNo);
    if (m_search.get() != run)
        return;  // stopped (or replaced by a newer search) while the question was open
    if (answer != PromptAnswer::Yes) {
        finishSearch();
        return;
    }
    run->wrapped = true;
    startSearchScan(0, run->start);
}

void SearchFeature::finishSearch()
{
    if (!m_search)
        return;
    const bool inSlices = m_search->inSlices;
    m_search.reset();
    m_searchTimer->stop();
    if (inSlices)
        m_view.showStatus(QString());
}

void SearchFeature::CancelSearch()
{
    if (!m_search)
        return;
    finishSearch();
    m_view.showStatus(tr("Search stopped."));
}

void SearchFeature::rowsMovedUnderSearch()
{
    if (!m_search)
        return;
    finishSearch();
    m_view.showStatus(tr("Search stopped: the rows changed."));
}
