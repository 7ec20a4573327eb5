#include "editor/filter/quick_filter.h"

#include "catalogue/document.h"
#include "editor/core/command_actions.h"
#include "editor/filter/filter_bar.h"

QuickFilter::QuickFilter(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands), m_bar(new CFilterBar(&view))
{
    view.addBar(m_bar);
    m_bar->hide();
    view.setRowFilterSource(this);
    connect(m_bar, &CFilterBar::filterChanged, this, &QuickFilter::ApplyFilter);
    connect(m_bar, &CFilterBar::closed, this, [this] { m_view.grid()->setFocus(Qt::OtherFocusReason); });
    connect(&view, &CRendaroView::entriesChanged, this, &QuickFilter::entriesChanged);
    // "showing R of N" follows every change of the rows.
    auto rowsShown = [this] { emit rowsShownChanged(rowsShownText()); };
    ReportRowModel *model = view.grid()->rowModel();
    connect(model, &QAbstractItemModel::modelReset, this, rowsShown);
    connect(model, &QAbstractItemModel::rowsInserted, this, rowsShown);
    connect(model, &QAbstractItemModel::rowsRemoved, this, rowsShown);
    if (commands) {
        commands->handle(Command::Filter, this, &QuickFilter::OnFilter);
        connect(&view, &CRendaroView::commandStatesChanged, this, &QuickFilter::updateCommandStates);
        updateCommandStates();
    }
}

QuickFilter::~QuickFilter()
{
    m_view.setRowFilterSource(nullptr);
    delete m_bar;
}

void QuickFilter::updateCommandStates()
{
    m_commands->action(Command::Filter)->setEnabled(m_view.currentCatalogueId() >= 0);
}

void QuickFilter::OnFilter()
{
    m_bar->show();
    m_bar->focusText();
}

void QuickFilter::narrow(EntryFilter &filter) const
{
    filter.text = m_bar->text();
    filter.caseSensitivity = m_bar->matchCase() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    filter.matchKeys = m_bar->matchKeys();
    filter.state = m_bar->state();
}

EntryMarks QuickFilter::marks() const
{
    static const EntrySet none;
    EntryMarks marks;
    marks.changed = m_changesCatalogueId == m_view.currentCatalogueId() ? &m_changedEntries : &none;
    marks.misspelled = &m_misspelledEntries;
    return marks;
}

bool QuickFilter::isClear() const { return m_bar->isClear(); }

void QuickFilter::clear() { ClearFilter(); }

void QuickFilter::ApplyFilter()
{
    bool marksChanged = false;
    if (m_misspelledStale && m_misspelledSource && m_bar->state() == EntryFilterState::Misspelled) {
        m_misspelledStale = false;
        m_misspelledEntries = m_misspelledSource();
        marksChanged = true;
    }
    m_view.applyRowFilter(marksChanged);
}

void QuickFilter::ClearFilter()
{
    if (m_bar->isClear())
        return;
    m_bar->clear();  // applies through filterChanged
}

// The state an entry had when the file was opened is the one before its
// first change; back at that state it no longer counts as changed.
void QuickFilter::entriesChanged(const ShownEntryChanges &changes)
{
    if (m_changesCatalogueId != m_view.currentCatalogueId()) {
        m_openedStates.clear();
        m_changedEntries.clear();
        m_changesCatalogueId = m_view.currentCatalogueId();
    }
    for (const ShownEntryChange &change : changes) {
        if (!change.entry)
            continue;
        const EntryState &opened = m_openedStates.try_emplace(change.entry, change.before).first->second;
        if (change.after == opened)
            m_changedEntries.erase(change.entry);
        else
            m_changedEntries.insert(change.entry);
    }
}

void QuickFilter::SetMisspelledEntries(EntrySet entries)
{
    m_misspelledEntries = std::move(entries);
    // Only the Misspelled state reads the set.
    if (m_bar->state() == EntryFilterState::Misspelled)
        m_view.applyRowFilter(true);
}

void QuickFilter::SetSpellingAvailable(bool available) { m_bar->setMisspelledAvailable(available); }

// The Misspelled state shows the spelling check's findings. The set is
// copied only while that state is chosen (and not under an open in-place
// editor, which a new filter pass would close); otherwise it is brought up
// to date when the filter is next applied.
void QuickFilter::misspellingsChanged(bool takeNow)
{
    m_misspelledStale = true;
    if (takeNow && m_bar->state() == EntryFilterState::Misspelled && !m_view.grid()->isEditing())
        refreshMisspelledEntries();
}

void QuickFilter::refreshMisspelledEntries()
{
    m_misspelledStale = false;
    SetMisspelledEntries(m_misspelledSource ? m_misspelledSource() : EntrySet());
}

QString QuickFilter::rowsShownText() const
{
    const CXMLStruct *catalogue = m_view.rows().catalogue();
    if (!catalogue)
        return QString();
    // Plain numbers, as the counts beside it write them.
    return tr("showing %1 of %2").arg(m_view.grid()->GetItemCount()).arg(catalogue->entries.size());
}
