// View > Consistency Report: in language-folder mode, the originals that
// the loaded files translate differently; the one chosen there is selected
// in the grid.

#include "editor/rendaro_view.h"

#include "batch/consistency_report.h"
#include "catalogue/document.h"
#include "editor/consistency_report_dlg.h"

void CRendaroView::OnConsistencyReport()
{
    if (currentCatalogueId != 0)
        return;
    m_grid->EndEdit(true);
    // The report compares the files as loaded or last saved; edits live in
    // the master catalogue until Save writes them into every file.
    const ConsistencyReport report = BuildConsistencyReport(*theDocument());
    QString folder = currentPath;
    if (folder.endsWith(QStringLiteral("/*")))
        folder.chop(2);
    CConsistencyReportDlg dialog(report, folder, modified, window());
    if (!m_prompts.runDialog(dialog) || dialog.chosenOriginal.isEmpty())
        return;
    if (!SelectOriginal(dialog.chosenOriginal))
        emit statusMessage(tr("The string is not shown: %1").arg(dialog.chosenOriginal));
}
