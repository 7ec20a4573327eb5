#include "editor/core/undo_commands.h"

#include "editor/core/rendaro_view.h"

#include <algorithm>

bool operator==(const EntryState &a, const EntryState &b)
{
    return a.existed == b.existed && a.translation == b.translation && a.translatable == b.translatable;
}

EntryChangesCommand::EntryChangesCommand(CRendaroView &view, const QString &text, std::vector<EntryChange> changes,
                                         QUndoCommand *parent)
    : QUndoCommand(text, parent), m_view(view), m_changes(std::move(changes))
{
}

// Undone newest change first, so that additions are taken back in the
// reverse order they were made and an original changed twice in one step
// ends at its first state.
void EntryChangesCommand::undo()
{
    m_view.applyEntryChanges(m_changes, true);
    m_done = false;
}

void EntryChangesCommand::redo()
{
    if (std::exchange(m_done, true))
        return;  // pushed after the change was made
    m_view.applyEntryChanges(m_changes, false);
}

bool EntryChangesCommand::addsEntries() const
{
    return std::any_of(m_changes.begin(), m_changes.end(),
                       [](const EntryChange &change) { return !change.before.existed; });
}

SettingsChangeCommand::SettingsChangeCommand(CRendaroView &view, const CatalogueSettings &before,
                                             const CatalogueSettings &after, QUndoCommand *parent)
    : QUndoCommand(QObject::tr("Settings"), parent), m_view(view), m_before(before), m_after(after)
{
}

void SettingsChangeCommand::undo()
{
    m_view.applySettings(m_before, m_after.codeType != m_before.codeType);
    m_done = false;
}

void SettingsChangeCommand::redo()
{
    if (std::exchange(m_done, true))
        return;
    m_view.applySettings(m_after, m_after.codeType != m_before.codeType);
}
