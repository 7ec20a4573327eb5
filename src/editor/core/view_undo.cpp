// Changes of the shown catalogue and their undo history.
//
// Every change goes through the core's entry edits (catalogue/entry_edits.h)
// and is recorded with the state the edit returned: the check state of the
// entry follows at once, the changes of one step become one command of the
// undo stack, and the features hear of them all together (entriesChanged)
// when the step ends. Undo and redo put entries back through
// applyEntryChange, which also brings the grid row in line. `modified` and
// the title follow the stack: back at the state last saved the "*" goes.

#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "editor/core/command_actions.h"
#include "editor/core/view_private.h"

#include <QAction>
#include <QLineEdit>
#include <QUndoStack>

#include <cmath>

namespace {
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

bool sameRatio(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// Up to this many changes the rows are looked up one by one; more build a
// lookup table first, and more that add or take back entries rebuild the rows.
constexpr size_t kRowByRowChanges = 32;
} // namespace

void CRendaroView::recordChange(const QString &original, const EntryState &before)
{
    const EntryState after = ReadEntryState(*theDocument(), m_catalogueId, original);
    if (after == before)
        return;
    countChange(original, before);
    m_announced.push_back({shownEntry(original), original, before, after});
    m_stepChanges.push_back({original, before, after});
    if (m_stepDepth == 0) {
        pushStep(tr("Edit"));
        announceChanges();
    }
}

// One entry changed: its check state follows. Another catalogue than the
// one counted (a paste that created one), settings changed since, or an
// entry gone make a full count.
void CRendaroView::countChange(const QString &original, const EntryState &before)
{
    ++m_entriesGeneration;  // a filter pass under way starts again
    const CXMLStruct *catalogue = shownCatalogue();
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
}

void CRendaroView::announceChanges()
{
    if (m_announced.empty())
        return;
    const ShownEntryChanges changes = std::exchange(m_announced, {});
    emit entriesChanged(changes);
    emit countsUpdated();
}

void CRendaroView::recountShown()
{
    ++m_entriesGeneration;  // the problems may differ
    const CXMLStruct *catalogue = shownCatalogue();
    if (catalogue) {
        m_counts.recount(*catalogue);
        m_countedCatalogueId = catalogue->catalogueId;
    } else {
        m_counts.clear();
        m_countedCatalogueId = -1;
    }
    emit recounted();
}

void CRendaroView::pushStep(const QString &text)
{
    if (m_stepChanges.empty())
        return;
    m_undoStack->push(new EntryChangesCommand(*this, text, std::exchange(m_stepChanges, {})));
}

size_t CRendaroView::applyStep(const QString &name, const std::vector<EntryTarget> &targets, StepKind kind,
                               const CatalogueSettings *settings)
{
    if (kind == StepKind::Replay) {
        // As redo puts a step back: the rows are shown as a fresh change,
        // and the whole step (with its settings) is one command.
        std::vector<EntryChange> changes;
        changes.reserve(targets.size());
        for (const EntryTarget &target : targets) {
            const EntryState before = ReadEntryState(*theDocument(), m_catalogueId, target.original);
            changes.push_back({target.original, before, EntryState{true, target.translation, target.translatable}});
        }
        const CatalogueSettings settingsBefore = ReadCatalogueSettings(*theDocument(), m_catalogueId);
        if (settings)
            applySettings(*settings, settings->codeType != settingsBefore.codeType);
        applyEntryChanges(changes, false);
        const size_t count = changes.size();
        if (settings || !changes.empty()) {
            auto *step = new QUndoCommand(name);
            if (settings)
                new SettingsChangeCommand(*this, settingsBefore, *settings, step);
            if (!changes.empty())
                new EntryChangesCommand(*this, name, std::move(changes), step);
            m_undoStack->push(step);
        }
        return count;
    }
    ChangeStep step(*this, name);
    // New rows go at the end; the rows of edits are looked up.
    const bool many = kind == StepKind::Edit && targets.size() > kRowByRowChanges;
    if (many)
        beginRowLookup();
    size_t changed = 0;
    for (const EntryTarget &target : targets)
        changed += (kind == StepKind::Add ? applyAddition(target) : applyEdit(target)) ? 1 : 0;
    if (many)
        endRowLookup();
    return changed;
}

// A new string, its row at the end of the grid (where paste and Add new
// string put theirs). An original the catalogue holds keeps its entry.
bool CRendaroView::applyAddition(const EntryTarget &target)
{
    if (target.original.isEmpty())
        return false;
    const AddedEntry added =
        AddNewEntry(*theDocument(), m_catalogueId, target.original, target.translation, target.translatable);
    if (added.previous.existed)
        return false;
    if (added.createdCatalogue)
        m_catalogueId = added.catalogueId;
    const int row = m_grid->GetItemCount();
    InsertRow(row, target.original);
    m_grid->EnsureVisible(row);
    recordChange(target.original, added.previous);
    return true;
}

// A translation (and flag) put into an entry as an edit puts it: the row
// shows the text, marked as just changed (red when too long).
bool CRendaroView::applyEdit(const EntryTarget &target)
{
    CRendaroDoc &document = *theDocument();
    const EntryState previous =
        SetEntryTranslation(document, m_catalogueId, target.original, target.translation, target.translatable);
    if (!previous.existed || (previous.translation == target.translation && previous.translatable == target.translatable))
        return false;
    recordChange(target.original, previous);
    const int row = rowOfOriginal(target.original);
    if (row < 0)
        return true;
    std::uint8_t marks = 0;
    if (previous.translation != target.translation) {
        m_grid->SetItemText(row, 1, target.translation);
        marks |= CatalogueRows::TranslationChanged;
    }
    if (previous.translatable != target.translatable) {
        m_grid->SetCheck(row, target.translatable == 0);
        marks |= CatalogueRows::FlagChanged;
    }
    markRow(row, marks);
    return true;
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
    emit saved();
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
            m_changedBeyondHistory = !saved && m_modified;
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
    if (changed != m_modified) {
        m_modified = changed;
        UpdateTitle(m_path, m_modified);
        emit modifiedChanged(m_modified);
    }
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
    announceChanges();
    if (std::exchange(m_countsDeferred, false))
        recountShown();
    if (std::exchange(m_rowsDeferred, false))
        RefreshGrid();
    updateCommandStates();
}

void CRendaroView::applyEntryChange(const QString &original, const EntryState &state, bool markChanged)
{
    CRendaroDoc &document = *theDocument();
    const EntryState current = ReadEntryState(document, m_catalogueId, original);
    if (!state.existed) {
        // Taking back an addition; the newest entry is the one added last.
        // Its row is found while the entry is still there.
        const int row = m_rowsDeferred ? -1 : rowOfOriginal(original);
        const StringEntry *entry = shownEntry(original);
        if (!current.existed || !RemoveAddedEntry(document, m_catalogueId, original))
            return;
        ++m_entriesGeneration;
        m_announced.push_back({entry, original, current, ReadEntryState(document, m_catalogueId, original)});
        if (row >= 0)
            m_grid->DeleteItem(row);
        return;
    }
    if (!current.existed) {
        const AddedEntry added =
            AddNewEntry(document, m_catalogueId, original, state.translation, state.translatable);
        if (added.createdCatalogue)
            m_catalogueId = added.catalogueId;
        if (m_countsDeferred)
            ++m_entriesGeneration;
        else
            countChange(original, current);
        m_announced.push_back({shownEntry(original), original, current, ReadEntryState(document, m_catalogueId, original)});
        if (!m_rowsDeferred) {
            const int row = m_grid->GetItemCount();
            InsertRow(row, original);
            showEntryRow(row, state, false, false);
            m_grid->EnsureVisible(row);
        }
        return;
    }
    // A flag of 0 keeps the translation, so the text goes in first.
    if (current.translation != state.translation && state.translatable == 0)
        SetEntryTranslation(document, m_catalogueId, original, state.translation, 1);
    SetEntryTranslation(document, m_catalogueId, original, state.translation, state.translatable);
    if (m_countsDeferred)
        ++m_entriesGeneration;
    else
        countChange(original, current);
    const StringEntry *entry = shownEntry(original);
    const EntryState now = ReadEntryState(document, m_catalogueId, original);
    if (!(now == current))
        m_announced.push_back({entry, original, current, now});
    if (m_rowsDeferred)
        return;
    const int row = rowOfOriginal(original);
    if (row >= 0) {
        showEntryRow(row, state, markChanged && current.translation != state.translation,
                     markChanged && current.translatable != state.translatable);
        m_grid->EnsureVisible(row);
    } else if (entry && gridFilter().matches(*entry, filterMarks())) {
        m_rowsDeferred = true;  // a row the filter shows again: rebuilt at the end
    }
}

void CRendaroView::beginRowLookup()
{
    const CXMLStruct *catalogue = shownCatalogue();
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
    const CXMLStruct *catalogue = shownCatalogue();
    const qsizetype number = catalogue ? catalogue->entries.lookupNumber(original) : -1;
    if (number < 0)
        return -1;
    if (m_rowLookupActive)
        return size_t(number) < m_rowLookup.size() ? m_rowLookup[size_t(number)] : -1;
    return m_grid->rowModel()->rowOfKey(quint32(number));
}

// The row as a refresh shows it; a fresh change is marked as an edit or a
// click on the check box marks it.
void CRendaroView::showEntryRow(int row, const EntryState &state, bool markTranslation, bool markFlag)
{
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
    SetCatalogueSettings(*theDocument(), m_catalogueId, settings.lengthRatio, settings.codeType);
    emit settingsChanged(ReadCatalogueSettings(*theDocument(), m_catalogueId));
    recountShown();  // the length and placeholder checks of every entry
    if (rebuildRows)
        RefreshGrid();
    else
        m_grid->rowModel()->sourceChanged();  // the colours follow the new ratio
}
