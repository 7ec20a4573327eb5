#include "editor/conflicts/conflicts_feature.h"

#include "editor/conflicts/conflict_session.h"
#include "editor/conflicts/resolve_conflicts_dlg.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "merge/merge_conflicts.h"

#include <QFileInfo>

ConflictsFeature::ConflictsFeature(CRendaroView &view, CommandActions *commands) : m_view(view), m_commands(commands)
{
    // Another file shown, or this one read again by someone else: the
    // conflicts are read afresh from the file when asked for.
    connect(&view, &CRendaroView::shownChanged, this, [this] {
        if (m_session && !m_session->isReloading())
            m_session.reset();
    });
    if (commands) {
        commands->handle(Command::ResolveConflicts, this, &ConflictsFeature::OnResolveConflicts);
        connect(&view, &CRendaroView::commandStatesChanged, this, &ConflictsFeature::updateCommandStates);
        updateCommandStates();
    }
}

ConflictsFeature::~ConflictsFeature() = default;

bool ConflictsFeature::hasConflicts() const
{
    return m_view.currentCatalogueId() >= 1 && !m_view.currentPath().isEmpty()
        && QFileInfo(ConflictsFilePath(m_view.currentPath())).isFile();
}

void ConflictsFeature::updateCommandStates() { m_commands->action(Command::ResolveConflicts)->setEnabled(hasConflicts()); }

void ConflictsFeature::OnResolveConflicts()
{
    m_view.grid()->EndEdit(true);
    if (m_view.grid()->isEditing() || !hasConflicts())
        return;
    const QString path = m_view.currentPath();
    if (!m_session || m_session->languageFile() != path) {
        ConflictsFile conflicts;
        QString error;
        if (!ReadConflictsFile(ConflictsFilePath(path), &conflicts, &error)) {
            m_view.ask(tr("Can not read the conflicts of %1:\n%2").arg(path, error), PromptIcon::Stop,
                PromptButtons::Ok);
            return;
        }
        m_session = std::make_unique<ConflictSession>(m_view, path, std::move(conflicts));
    }
    if (m_session->allResolved()) {
        finish();
        return;
    }
    CResolveConflictsDlg dialog(*m_session, m_view.prompts(), m_view.window());
    m_dialog = &dialog;
    connect(&dialog, &CResolveConflictsDlg::allResolved, this, &ConflictsFeature::finish);
    m_view.prompts().runDialog(dialog);
    m_dialog = nullptr;
    m_view.updateCommandStates();
}

// Every conflict is resolved: the file is saved and the conflicts file goes
// (a save writes it again without the resolved ones, so none are left).
void ConflictsFeature::finish()
{
    if (!m_session)
        return;
    if (!m_view.PromptSave() || m_view.isModified()) {
        m_view.showStatus(tr("Every conflict is resolved; %1 goes when the file is saved.")
                              .arg(QFileInfo(m_session->conflictsFile()).fileName()));
        if (m_dialog)
            m_dialog->accept();
        return;
    }
    QString error;
    if (!m_session->writeOpenConflicts(&error)) {
        m_view.ask(error, PromptIcon::Stop, PromptButtons::Ok);
        return;
    }
    m_view.showStatus(tr("Every conflict is resolved and %1 is removed.")
                          .arg(QFileInfo(m_session->conflictsFile()).fileName()));
    if (m_dialog)
        m_dialog->accept();
    m_view.updateCommandStates();
}
