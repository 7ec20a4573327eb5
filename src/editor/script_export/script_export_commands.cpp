// Save As *.js and Save As *.php: the shown catalogue written as a script
// string table to a file the user picks, or, in a language folder, every
// file's table written beside it under its script name without a word.
// An export never changes the shown path, which Save writes to.

#include "editor/script_export/script_export_commands.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "export/folder_script_export.h"
#include "export/script_output_path.h"
#include "export/script_table.h"

#include <QCoreApplication>
#include <QFileInfo>

ScriptExportCommands::ScriptExportCommands(CRendaroView &view, CommandActions *commands) : m_view(view)
{
    if (commands) {
        commands->handle(Command::SaveAsJs, this, [this] { OnExportScript(ScriptJavaScript); });
        commands->handle(Command::SaveAsPhp, this, [this] { OnExportScript(ScriptPhp); });
    }
}

void ScriptExportCommands::OnExportScript(int kind)
{
    CRendaroDoc &document = *theDocument();
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    if ((!catalogue || !catalogue->tree) && m_view.grid()->GetItemCount() == 0)
        return;
    m_view.grid()->EndEdit(true);
    if (m_view.currentCatalogueId() == 0) {
        exportFolderScripts(kind);
        return;
    }
    const QString path = exportFileName(kind);
    if (path.isEmpty())
        return;
    m_lastExportPath = path;
    if (document.ExportCatalogueScript(kind, m_view.currentCatalogueId(), path)) {
        m_view.ask(messageText(MsgSaveOk), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    m_view.ask(messageText(MsgCannotSave) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
        PromptButtons::Ok);
}

// The save dialog starts where the last table was written, else beside the
// shown file (next to the program when none is shown).
QString ScriptExportCommands::exportFileName(int kind)
{
    FileDialogRequest request;
    if (!m_lastExportPath.isEmpty())
        request.startFolder = QFileInfo(m_lastExportPath).absolutePath();
    else
        request.startFolder = m_view.currentPath().isEmpty() ? QCoreApplication::applicationFilePath() : m_view.currentPath();
    if (kind == ScriptJavaScript) {
        request.filter = tr("Javascript Files (*.js)");
        request.defaultSuffix = QStringLiteral("js");
    } else {
        request.filter = tr("PHP Files (*.php)");
        request.defaultSuffix = QStringLiteral("php");
    }
    return m_view.prompts().saveFileName(&m_view, request);
}

// Files without a script name are left out; like those that cannot be
// written, they are not reported.
void ScriptExportCommands::exportFolderScripts(int kind)
{
    const CRendaroDoc &document = *theDocument();
    const int count = int(document.catalogues().size());
    for (int index = 1; index < count; ++index) {
        const QString out = ScriptOutputPath(document.GetCataloguePath(index), kind);
        if (!out.isEmpty())
            ExportFolderFileScript(document, kind, index, out);
    }
}
