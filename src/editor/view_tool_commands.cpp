// The Tool menu: Add new string (the resource reader's texts into the shown
// catalogue) and Generate ZIV (the generate-and-pack dialog).

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "editor/generate_ziv_dlg.h"
#include "editor/pack_project_table.h"
#include "editor/res_parser_dlg.h"
#include "editor/same_file.h"

#include <QSettings>

void CRendaroView::OnAddNewString()
{
    m_grid->EndEdit(true);  // a text left in the editor is kept before the grid is rebuilt
    CResParserDlg dialog(m_prompts, *this, window());
    if (!m_prompts.runDialog(dialog))
        return;
    if (modified)
        RefreshGrid();
    recountShown();  // the strings added, and a catalogue made for them
    UpdateTitle(currentPath.isEmpty() ? QStringLiteral("New") : currentPath, modified);
    updateCommandStates();
}

// The pipeline has a document of its own, but it rewrites files on disk,
// the shown one among them perhaps. So unsaved changes are offered for
// saving first, and a shown file that a step wrote is read again afterwards.
void CRendaroView::OnGenerateZiv()
{
    const bool fileShown = !currentPath.isEmpty() || currentCatalogueId == 0;
    if (fileShown && !PromptSave())
        return;
    ProjectTable table;
    QString error;
    if (!LoadPackProjectTable(QSettings(), &table, &error)) {
        ask(error, PromptIcon::Stop, PromptButtons::Ok);
        return;
    }
    CGenerateZIVDlg dialog(m_prompts, std::move(table), window());
    m_prompts.runDialog(dialog);
    ReloadWrittenFiles(dialog.writtenFiles());
}

void CRendaroView::ReloadWrittenFiles(const QStringList &written)
{
    CRendaroDoc &document = *theDocument();
    bool stale = false;
    for (const CXMLStruct &catalogue : document.catalogues()) {
        for (const QString &path : written)
            stale = stale || (catalogue.catalogueId >= 1 && IsSameFile(path, catalogue.filePath));
    }
    if (!stale)
        return;
    if (currentCatalogueId >= 1 && !currentPath.isEmpty()) {
        const QString path = currentPath;
        if (showLoadedFile(document.LoadCatalogue(path, false), path))
            return;
    } else {
        ask(tr("The files shown were changed on disk and have been closed."), PromptIcon::Information,
            PromptButtons::Ok);
    }
    // What is shown no longer matches its files: nothing stale stays to be saved over them.
    ResetView();
    currentCatalogueId = -1;
    UpdateTitle(QStringLiteral("New"), false);
    updateCommandStates();
}
