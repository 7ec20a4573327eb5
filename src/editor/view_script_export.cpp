// Save As *.js and Save As *.php: the shown catalogue written as a script
// string table to a file the user picks, or, in a language folder, every
// file's table written beside it under its script name without a word.
// An export never changes the shown path, which Save writes to.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "export/folder_script_export.h"
#include "export/script_output_path.h"
#include "export/script_table.h"

#include <QCoreApplication>
#include <QFileInfo>

void CRendaroView::OnExportScript(int kind)
{
    CRendaroDoc &document = *theDocument();
    const CXMLStruct *catalogue = document.findCatalogue(currentCatalogueId);
    if ((!catalogue || !catalogue->tree) && m_grid->GetItemCount() == 0)
        return;
    m_grid->EndEdit(true);
    if (currentCatalogueId == 0) {
        exportFolderScripts(kind);
        return;
    }
    const QString path = exportFileName(kind);
    if (path.isEmpty())
        return;
    m_lastExportPath = path;
    if (document.ExportCatalogueScript(kind, currentCatalogueId, path)) {
        ask(messageText(MsgSaveOk), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    ask(messageText(MsgCannotSave) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
        PromptButtons::Ok);
}

// The save dialog starts where the last table was written, else beside the
// shown file (next to the program when none is shown).
QString CRendaroView::exportFileName(int kind)
{
    FileDialogRequest request;
    if (!m_lastExportPath.isEmpty())
        request.startFolder = QFileInfo(m_lastExportPath).absolutePath();
    else
        request.startFolder = currentPath.isEmpty() ? QCoreApplication::applicationFilePath() : currentPath;
    if (kind == ScriptJavaScript) {
        request.filter = tr("Javascript Files (*.js)");
        request.defaultSuffix = QStringLiteral("js");
    } else {
        request.filter = tr("PHP Files (*.php)");
        request.defaultSuffix = QStringLiteral("php");
    }
    return m_prompts.saveFileName(this, request);
}

// Files without a script name are left out; like those that cannot be
// written, they are not reported.
void CRendaroView::exportFolderScripts(int kind)
{
    const CRendaroDoc &document = *theDocument();
    const int count = int(document.catalogues().size());
    for (int index = 1; index < count; ++index) {
        const QString out = ScriptOutputPath(document.GetCataloguePath(index), kind);
        if (!out.isEmpty())
            ExportFolderFileScript(document, kind, index, out);
    }
}
