// Undo and redo of the changes the editor makes to the shown catalogue.
//
// The edit paths change entries through the core's entry edits and report
// each change with entryChanged; the changes of one command become one step
// of the undo stack. Undo and redo put entries back through
// applyEntryChange, which also brings the grid row in line. `modified` and
// the title follow the stack: back at the state last saved the "*" goes.

#include "editor/rendaro_view.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"
#include "editor/command_actions.h"

#include <QAction>
#include <QLineEdit>
#include <QUndoStack>

namespace {
// Records the entry's change in the recovery journal when the function
// applying it returns, whichever way it returns.
class JournalOnReturn {
public:
    JournalOnReturn(CRendaroView &view, const QString &original, const EntryState &before)
        : m_view(view), m_original(original), m_before(before)
    {
    }
    ~JournalOnReturn()
    {
        m_view.journalEntry(m_original, m_before,
                            ReadEntryState(*theDocument(), m_view.currentCatalogueId, m_original));
    }
    JournalOnReturn(const JournalOnReturn &) = delete;
    JournalOnReturn &operator=(const JournalOnReturn &) = delete;

private:
    CRendaroView &m_view;
    const QString &m_original;
    const EntryState &m_before;
};

// A step that adds entries, or holds one that does (a restore).
bool stepAddsEntries(const QUndoCommand *command)
{
    const auto *step = dynamic_cast<const EntryChangesCommand *>(command);
    if (step && step->addsEntries())
        return true;
    for (int i = 0; i < command->childCount(); ++i) {
        if (stepAddsEntries(command->child(i)))
            return true;
    }
    return false;
}

// Up to this many changes the rows are looked up one by one; more build a
// lookup table first, and more that add or take back entries rebuild the rows.
constexpr size_t kRowByRowChanges = 32;
} // namespace

CRendaroView::ChangeStep::ChangeStep(CRendaroView &view, const QString &text) : m_view(view)
{
    if (m_view.m_stepDepth++ == 0)
        m_view.m_stepText = text;
    m_view.beginJournalBatch();
}

CRendaroView::ChangeStep::~ChangeStep()
{
    if (--m_view.m_stepDepth == 0)
        m_view.pushStep(m_view.m_stepText);
    m_view.endJournalBatch();
}

void CRendaroView::entryChanged(const QString &original, const EntryState &before)
{
    const EntryState after = ReadEntryState(*theDocument(), currentCatalogueId, original);
    if (after == before)
        return;
    countEntryChange(original, before);
    noteEntryChange(shownEntry(original), before, after);
    journalEntry(original, before, after);
    m_stepChanges.push_back({original, before, after});
    if (m_stepDepth == 0)
        pushStep(tr("Edit"));
}

void CRendaroView::pushStep(const QString &text)
{
    if (m_stepChanges.empty())
        return;
    m_undoStack->push(new EntryChangesCommand(*this, text, std::exchange(m_stepChanges, {})));
}

void CRendaroView::clearUndoHistory()
{
    m_changedBeyondHistory = false;
    m_stepChanges.clear();
    m_undoStack->clear();
}

void CRendaroView::markSaved()
{
    m_changedBeyondHistory = false;
    discardJournal();
    treeTookAdditions(true);
    m_undoStack->setClean();
}

// Entries added since the last save are in the file's tree once it is
// written; taking them back afterwards would leave them in the tree and so
// in the file. So writing the tree after additions ends the history; after
// a save the state is the clean one, otherwise the unsaved changes stay.
// Without additions the history goes on past a save.
void CRendaroView::treeTookAdditions(bool saved)
{
    for (int i = 0; i < m_undoStack->index(); ++i) {
        if (stepAddsEntries(m_undoStack->command(i))) {
            m_changedBeyondHistory = !saved && modified;
            m_stepChanges.clear();
            m_undoStack->clear();
            syncModified();
            return;
        }
    }
}

void CRendaroView::syncModified()
{
    const bool changed = !m_undoStack->isClean() || m_changedBeyondHistory;
    if (changed != modified) {
        modified = changed;
        UpdateTitle(currentPath, modified);
    }
    if (!modified)
        discardJournal();  // back at the state saved: nothing to recover
    updateCommandStates();
}

// While the in-place editor is open, Undo and Redo work on its text, as
// Cut, Copy and Paste do.
void CRendaroView::OnEditUndo()
{
    if (m_grid->isEditing())
        m_grid->editor()->undo();
    else
        m_undoStack->undo();
}

void CRendaroView::OnEditRedo()
{
    if (m_grid->isEditing())
        m_grid->editor()->redo();
    else
        m_undoStack->redo();
}

void CRendaroView::updateUndoActions()
{
    if (!m_commands)
        return;
    const bool editing = m_grid->isEditing();
    QAction *undo = m_commands->action(Command::EditUndo);
    QAction *redo = m_commands->action(Command::EditRedo);
    undo->setEnabled(editing ? m_grid->editor()->isUndoAvailable() : m_undoStack->canUndo());
    redo->setEnabled(editing ? m_grid->editor()->isRedoAvailable() : m_undoStack->canRedo());
    const QString undoStep = editing ? QString() : m_undoStack->undoText();
    const QString redoStep = editing ? QString() : m_undoStack->redoText();
    undo->setText(undoStep.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undoStep));
    redo->setText(redoStep.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redoStep));
}

void CRendaroView::applyEntryChanges(const std::vector<EntryChange> &changes, bool undo)
{
    m_grid->EndEdit(false);
    beginJournalBatch();
    const bool many = changes.size() > kRowByRowChanges;
    const bool rowsComeAndGo = std::any_of(changes.begin(), changes.end(), [](const EntryChange &change) {
        return change.before.existed != change.after.existed;
    });
    m_rowsDeferred = many && rowsComeAndGo;
    // Entries taken back leave the counts with addresses that are gone, so
    // such a step is counted again as a whole once it is applied.
    m_countsDeferred = rowsComeAndGo;
    if (many && !m_rowsDeferred)
        beginRowLookup();
    if (undo) {
        for (auto change = changes.rbegin(); change != changes.rend(); ++change)
            applyEntryChange(change->original, change->before, false);
    } else {
        for (const EntryChange &change : changes)
            applyEntryChange(change.original, change.after, true);
    }
    endRowLookup();
    endJournalBatch();
    if (std::exchange(m_countsDeferred, false))
        recountShown();
    if (std::exchange(m_rowsDeferred, false))
        RefreshGrid();
    updateCommandStates();
}

void CRendaroView::applyEntryChange(const QString &original, const EntryState &state, bool markChanged)
{
    CRendaroDoc &document = *theDocument();
    const EntryState current = ReadEntryState(document, currentCatalogueId, original);
    const JournalOnReturn journalled(*this, original, current);
    if (!state.existed) {
        // Taking back an addition; the newest entry is the one added last.
        // Its row is found while the entry is still there.
        const int row = m_rowsDeferred ? -1 : rowOfOriginal(original);
        const CXMLStruct *catalogue = document.findCatalogue(currentCatalogueId);
        const StringEntry *entry = catalogue ? catalogue->entries.lookup(original) : nullptr;
        if (current.existed && !RemoveAddedEntry(document, currentCatalogueId, original))
            return;
        noteEntryChange(entry, current, state);
        if (row >= 0)
            m_grid->DeleteItem(row);
        return;
    }
    if (!current.existed) {
        const AddedEntry added =
            AddNewEntry(document, currentCatalogueId, original, state.translation, state.translatable);
        if (added.createdCatalogue)
            currentCatalogueId = added.catalogueId;
        if (!m_countsDeferred)
            countEntryChange(original, current);
        noteEntryChange(shownEntry(original), current, state);
        if (!m_rowsDeferred) {
            // Where paste and Add new string put their rows: at the end.
            const int row = m_grid->GetItemCount();
            InsertRow(row, original);
            showEntryRow(row, original, state, false, false);
            m_grid->EnsureVisible(row);
        }
        return;
    }
    // A flag of 0 keeps the translation, so the text goes in first.
    if (current.translation != state.translation && state.translatable == 0)
        SetEntryTranslation(document, currentCatalogueId, original, state.translation, 1);
    SetEntryTranslation(document, currentCatalogueId, original, state.translation, state.translatable);
    if (!m_countsDeferred)
        countEntryChange(original, current);
    const StringEntry *entry = shownEntry(original);
    noteEntryChange(entry, current, ReadEntryState(document, currentCatalogueId, original));
    if (m_rowsDeferred)
        return;
    const int row = rowOfOriginal(original);
    if (row >= 0) {
        showEntryRow(row, original, state, markChanged && current.translation != state.translation,
                     markChanged && current.translatable != state.translatable);
        m_grid->EnsureVisible(row);
    } else if (entry && gridFilter().matches(*entry, filterMarks())) {
        m_rowsDeferred = true;  // a row the filter shows again: rebuilt at the end
    }
}

void CRendaroView::beginRowLookup()
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    m_rowLookup.assign(catalogue ? catalogue->entries.size() : 0, -1);
    const std::vector<quint32> &keys = m_grid->rowModel()->keys();
    for (size_t row = 0; row < keys.size(); ++row) {
        if (keys[row] < m_rowLookup.size())
            m_rowLookup[keys[row]] = int(row);
    }
    m_rowLookupActive = true;
}

void CRendaroView::endRowLookup()
{
    m_rowLookupActive = false;
    m_rowLookup.clear();
    m_rowLookup.shrink_to_fit();
}

int CRendaroView::rowOfOriginal(const QString &original) const
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    const qsizetype number = catalogue ? catalogue->entries.lookupNumber(original) : -1;
    if (number < 0)
        return -1;
    if (m_rowLookupActive)
        return size_t(number) < m_rowLookup.size() ? m_rowLookup[size_t(number)] : -1;
    return m_grid->rowModel()->rowOfKey(quint32(number));
}

// The row as a refresh shows it; a fresh change is marked as an edit or a
// click on the check box marks it.
void CRendaroView::showEntryRow(int row, const QString &original, const EntryState &state, bool markTranslation,
                                bool markFlag)
{
    Q_UNUSED(original);
    m_grid->SetItemText(row, 1, state.translation);
    m_grid->SetCheck(row, state.translatable == 0);
    const quint32 key = m_grid->GetRowKey(row);
    if (key < ReportRowModel::kOwnKeys) {
        m_rows.setMarks(key, (markTranslation ? CatalogueRows::TranslationChanged : 0)
                                 | (markFlag ? CatalogueRows::FlagChanged : 0));
        m_grid->rowModel()->rowChanged(row);
    }
}

void CRendaroView::applySettings(const CatalogueSettings &settings, bool rebuildRows)
{
    m_grid->EndEdit(false);
    SetCatalogueSettings(*theDocument(), currentCatalogueId, settings.lengthRatio, settings.codeType);
    journalSettings(ReadCatalogueSettings(*theDocument(), currentCatalogueId));
    recountShown();  // the length and placeholder checks of every entry
    if (rebuildRows)
        RefreshGrid();
    else
        m_grid->rowModel()->sourceChanged();  // the colours follow the new ratio
}
