#include "editor/navigation/navigation.h"

#include "catalogue/document.h"
#include "editor/core/command_actions.h"
#include "editor/core/found_row.h"
#include "editor/core/rendaro_view.h"

#include <QKeyEvent>

Navigation::Navigation(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands)
{
    view.addKeyHandler(this, [this](QKeyEvent *event, bool isShortcutOverride) { return handleKey(event, isShortcutOverride); });
    if (commands) {
        commands->handle(Command::NextUntranslated, this, &Navigation::OnNextUntranslated);
        commands->handle(Command::PreviousUntranslated, this, &Navigation::OnPreviousUntranslated);
        commands->handle(Command::NextProblem, this, &Navigation::OnNextProblem);
        commands->handle(Command::PreviousProblem, this, &Navigation::OnPreviousProblem);
        connect(&view, &CRendaroView::commandStatesChanged, this, &Navigation::updateCommandStates);
        updateCommandStates();
    }
}

void Navigation::updateCommandStates()
{
    const bool hasRows = m_view.grid()->GetItemCount() > 0;
    for (Command command :
         {Command::NextUntranslated, Command::PreviousUntranslated, Command::NextProblem, Command::PreviousProblem})
        m_commands->action(command)->setEnabled(hasRows);
}

void Navigation::OnNextUntranslated() { navigate(false, SearchDirection::Forward); }
void Navigation::OnPreviousUntranslated() { navigate(false, SearchDirection::Backward); }
void Navigation::OnNextProblem() { navigate(true, SearchDirection::Forward); }
void Navigation::OnPreviousProblem() { navigate(true, SearchDirection::Backward); }

void Navigation::navigate(bool toProblem, SearchDirection direction)
{
    CReportCtrl *grid = m_view.grid();
    if (grid->GetItemCount() == 0)
        return;
    // Text left in the editor is committed first; a refused text keeps the
    // editor open on its row, and the selection stays there too. A refused
    // text dropped with Esc blocks nothing.
    grid->EndEdit(true);
    if (grid->isEditing())
        return;
    const std::vector<const StringEntry *> entries = m_view.rowEntries();
    const qsizetype start = grid->FirstSelectedRow();
    const EntrySearchResult found = toProblem ? FindProblem(entries, start, direction, m_view.counts())
                                              : FindUntranslated(entries, start, direction);
    if (found.position < 0) {
        m_view.showStatus(toProblem ? tr("No problem found.") : tr("No untranslated string."));
        return;
    }
    SelectFoundRow(m_view, found, direction);
}

bool Navigation::handleKey(QKeyEvent *event, bool isShortcutOverride)
{
    if (!(event->modifiers() & Qt::ControlModifier) || m_view.grid()->GetItemCount() == 0)
        return false;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    void (Navigation::*command)() = nullptr;
    if (event->key() == Qt::Key_J)
        command = shift ? &Navigation::OnPreviousUntranslated : &Navigation::OnNextUntranslated;
    else if (event->key() == Qt::Key_K)
        command = shift ? &Navigation::OnPreviousProblem : &Navigation::OnNextProblem;
    if (!command || (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (isShortcutOverride) {
        event->accept();
        return true;
    }
    (this->*command)();
    return true;
}
