// Language-folder mode: every language file of one folder tree loaded and
// merged into the master catalogue, which the grid shows; Save writes every
// file back.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "editor/list_folder_dlg.h"

#include <QDir>

// The shown file is closed only after the folder and its files are chosen
// and the save question is answered: cancelling any step keeps it.
void CRendaroView::OnOpenLanguageFolder()
{
    if (ask(messageText(MsgLanguageFolder), PromptIcon::Information, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    const QString folder = m_prompts.folderName(this, tr("Please select language directory"), QDir::currentPath());
    if (folder.isEmpty())
        return;
    CListFolderDlg list(this);
    list.setFolder(folder);
    if (!m_prompts.runDialog(list))
        return;
    if (!PromptSave())
        return;
    ShowLanguageFolder(folder, list.selectedPaths);
    OfferRecovery();
}

void CRendaroView::ShowLanguageFolder(const QString &folder, const QStringList &paths)
{
    CRendaroDoc &document = *theDocument();
    m_grid->DeleteAllRows();
    document.CloseCatalogue(-1);
    clearUndoHistory();  // its steps belong to the files just closed
    discardJournal();
    lastEditValid = true;
    currentCatalogueId = 0;
    currentPath = folder.endsWith(u'/') ? folder + u'*' : folder + QStringLiteral("/*");

    QStringList failures;
    {
        std::unique_ptr<ProgressReporter> progress = m_prompts.progress(this, tr("Loading Progress"));
        if (progress) {
            progress->setTotal(int(paths.size()));
            progress->show();
        }
        for (qsizetype i = 0; i < paths.size(); ++i) {
            if (progress)
                progress->step(tr("Loading %1 of %2: %3...").arg(i + 1).arg(paths.size()).arg(paths[i]));
            if (document.LoadCatalogue(paths[i], true) < 0)
                failures.append(QStringLiteral("%1: %2").arg(paths[i], document.lastErrorText()));
        }
    }
    if (document.catalogueAt(0)->tree)
        document.SelectCatalogue(0);
    RefreshGrid();
    recountShown();
    modified = false;
    UpdateTitle(currentPath, false);
    watchShownFiles();
    updateCommandStates();
    // The files left out are named: Save would not write them.
    if (!failures.isEmpty())
        ask(messageText(MsgCannotOpen) + QStringLiteral("\n\n") + failures.join(u'\n'), PromptIcon::Stop,
            PromptButtons::Ok);
}

// Every file of the folder is written, each with the master's translations
// of its strings. A file that cannot be written does not stop the others;
// the failures are named and the folder stays marked as changed.
void CRendaroView::SaveAllWithProgress()
{
    m_grid->EndEdit(true);
    if (m_grid->isEditing())
        return;  // the open edit was refused and says why
    if (!confirmOverwrite(shownFiles()))
        return;
    const QHash<QString, FileFingerprint> beforeSave = shownFilesNow();
    CRendaroDoc &document = *theDocument();
    bool saved;
    {
        std::unique_ptr<ProgressReporter> progress = m_prompts.progress(this, tr("Saving Progress"));
        saved = document.SaveAllCatalogues(progress.get());
        if (progress)
            progress->step(tr("Updating UI..."));
        RefreshGrid();
    }
    rememberSavedFiles(beforeSave);
    if (!saved) {
        ask(messageText(MsgCannotSave) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
            PromptButtons::Ok);
        return;
    }
    modified = false;
    markSaved();
    UpdateTitle(currentPath, false);
}
