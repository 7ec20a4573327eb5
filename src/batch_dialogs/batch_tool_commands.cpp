
#include "batch_dialogs/batch_tool_commands.h"

#include "batch_dialogs/apply_to_dlg.h"
#include "batch_dialogs/generate_ziv_dlg.h"
#include "batch/pack_project_table.h"
#include "batch_dialogs/res_parser_dlg.h"
#include "batch_dialogs/same_file.h"
#include "catalogue/document.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"

#include <QSettings>

BatchToolCommands::BatchToolCommands(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands)
{
    if (!commands)
        return;
    commands->handle(Command::ApplyTo, this, &BatchToolCommands::OnApplyTo);
    commands->handle(Command::GenerateAll, this, &BatchToolCommands::OnGenerateAll);
    commands->handle(Command::AddNewString, this, &BatchToolCommands::OnAddNewString);
    commands->handle(Command::GenerateZiv, this, &BatchToolCommands::OnGenerateZiv);
    connect(&view, &CRendaroView::commandStatesChanged, this, &BatchToolCommands::updateCommandStates);
    updateCommandStates();
}

void BatchToolCommands::updateCommandStates()
{
    m_commands->action(Command::GenerateAll)->setEnabled(m_view.currentCatalogueId() > 0);
    // Apply To needs a single file shown (not strings pasted after New,
    // which have no file to apply).
    m_commands->action(Command::ApplyTo)->setEnabled(m_view.currentCatalogueId() >= 1
                                                     && !m_view.currentPath().isEmpty());
}

void BatchToolCommands::OnApplyTo()
{
    if (m_view.currentCatalogueId() < 1 || m_view.currentPath().isEmpty())
        return;
    CApplyToDlg dialog(m_view.prompts(), m_view, m_view.window());
    m_view.prompts().runDialog(dialog);
}

void BatchToolCommands::OnAddNewString()
{
    m_view.grid()->EndEdit(true);  // a text left in the editor is kept before the grid is rebuilt
    CResParserDlg dialog(m_view.prompts(), m_view, m_view.window());
    if (!m_view.prompts().runDialog(dialog))
        return;
    if (m_view.isModified())
        m_view.RefreshGrid();
    m_view.UpdateTitle(m_view.currentPath().isEmpty() ? QStringLiteral("New") : m_view.currentPath(),
                       m_view.isModified());
    m_view.updateCommandStates();
}

// The pipeline has a document of its own, but it rewrites files on disk,
// the shown one among them perhaps. So unsaved changes are offered for
// saving first, and a shown file that a step wrote is read again afterwards.
void BatchToolCommands::OnGenerateZiv()
{
    const bool fileShown = !m_view.currentPath().isEmpty() || m_view.currentCatalogueId() == 0;
    if (fileShown && !m_view.PromptSave())
        return;
    ProjectTable table;
    QString error;
    const QSettings settings;
    if (!LoadPackProjectTable(&settings, &table, &error)) {
        m_view.ask(error, PromptIcon::Stop, PromptButtons::Ok);
        return;
    }
    CGenerateZIVDlg dialog(m_view.prompts(), std::move(table), m_view.window());
    m_view.prompts().runDialog(dialog);
    ReloadWrittenFiles(dialog.writtenFiles());
}

void BatchToolCommands::ReloadWrittenFiles(const QStringList &written)
{
    CRendaroDoc &document = *theDocument();
    bool stale = false;
    for (const CXMLStruct &catalogue : document.catalogues()) {
        for (const QString &path : written)
            stale = stale || (catalogue.catalogueId >= 1 && IsSameFile(path, catalogue.filePath));
    }
    if (!stale)
        return;
    if (m_view.currentCatalogueId() >= 1 && !m_view.currentPath().isEmpty()) {
        if (m_view.reloadShown())
            return;
    } else {
        m_view.ask(tr("The files shown were changed on disk and have been closed."), PromptIcon::Information,
                   PromptButtons::Ok);
    }
    // What is shown no longer matches its files: nothing stale stays to be saved over them.
    m_view.ResetView();
    m_view.UpdateTitle(QStringLiteral("New"), false);
    m_view.updateCommandStates();
}
