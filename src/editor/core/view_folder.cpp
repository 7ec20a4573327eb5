// A language folder shown: every chosen language file loaded and merged
// into the master catalogue, which the grid shows; Save writes every file
// back with the master's translations. Reading what is shown again.

#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"

void CRendaroView::ShowLanguageFolder(const QString &folder, const QStringList &paths)
{
    CRendaroDoc &document = *theDocument();
    m_grid->DeleteAllRows();
    document.CloseCatalogue(-1);
    clearUndoHistory();  // its steps belong to the files just closed
    m_lastEditValid = true;
    setShown(0, folder.endsWith(u'/') ? folder + u'*' : folder + QStringLiteral("/*"));

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
    m_modified = false;
    UpdateTitle(m_path, false);
    emit shownChanged();
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
    const QStringList files = shownFiles();
    if (!guardSave(files))
        return;
    CRendaroDoc &document = *theDocument();
    bool saved;
    {
        std::unique_ptr<ProgressReporter> progress = m_prompts.progress(this, tr("Saving Progress"));
        saved = document.SaveAllCatalogues(progress.get());
        if (progress)
            progress->step(tr("Updating UI..."));
        RefreshGrid();
    }
    emit filesWritten(files);
    if (!saved) {
        ask(messageText(MsgCannotSave) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
            PromptButtons::Ok);
        return;
    }
    m_modified = false;
    markSaved();
    UpdateTitle(m_path, false);
}

bool CRendaroView::reloadShown()
{
    if (m_catalogueId == 0) {
        ShowLanguageFolder(m_path.chopped(2), shownFiles());
        return true;
    }
    const QString path = m_path;
    return ShowLoadedFile(theDocument()->LoadCatalogueForEditing(path), path);
}
