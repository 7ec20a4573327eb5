#include "editor/consistency/consistency_command.h"

#include "batch/consistency_report.h"
#include "catalogue/document.h"
#include "editor/consistency/consistency_report_dlg.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"

ConsistencyCommand::ConsistencyCommand(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands)
{
    if (!commands)
        return;
    commands->handle(Command::ConsistencyReport, this, &ConsistencyCommand::OnConsistencyReport);
    auto update = [this] {
        m_commands->action(Command::ConsistencyReport)->setEnabled(m_view.currentCatalogueId() == 0);
    };
    connect(&view, &CRendaroView::commandStatesChanged, this, update);
    update();
}

void ConsistencyCommand::OnConsistencyReport()
{
    if (m_view.currentCatalogueId() != 0)
        return;
    m_view.grid()->EndEdit(true);
    // The report compares the files as loaded or last saved; edits live in
    // the master catalogue until Save writes them into every file.
    const ConsistencyReport report = BuildConsistencyReport(*theDocument());
    QString folder = m_view.currentPath();
    if (folder.endsWith(QStringLiteral("/*")))
        folder.chop(2);
    CConsistencyReportDlg dialog(report, folder, m_view.isModified(), m_view.window());
    if (!m_view.prompts().runDialog(dialog) || dialog.chosenOriginal.isEmpty())
        return;
    if (!m_view.SelectOriginal(dialog.chosenOriginal))
        m_view.showStatus(tr("The string is not shown: %1").arg(dialog.chosenOriginal));
}
