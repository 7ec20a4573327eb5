// New, Open, a dropped file, Save, Save As and Save Only Non-translated
// String As, with the prompts that guard unsaved changes and the check of
// every row before a save.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "catalogue/shown_file.h"

#include <QCoreApplication>

FileDialogRequest CRendaroView::fileRequest() const
{
    FileDialogRequest request;
    // With no file shown the dialogs start next to the program. That path is
    // only a start folder: it never becomes the file a Save writes to.
    request.startFolder = currentPath.isEmpty() ? QCoreApplication::applicationFilePath() : currentPath;
    request.filter = tr("XML Files (*.xml)");
    return request;
}

bool CRendaroView::PromptSave()
{
    // Text typed into an open editor counts as a change too.
    m_grid->EndEdit(true);
    if (!modified)
        return true;
    switch (ask(messageText(MsgSaveCurrent), PromptIcon::Exclamation, PromptButtons::YesNoCancel)) {
    case PromptAnswer::Cancel: return false;
    case PromptAnswer::No: return true;
    default: break;
    }
    OnFileSave();
    return !modified;
}

// The questions asked before the shown file is closed. Unsaved changes are
// asked about even when they belong to no file yet (rows pasted after New).
bool CRendaroView::confirmCloseQuestions()
{
    if (!PromptSave())
        return false;
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    if (catalogue && catalogue->tree)
        return ask(messageText(MsgConfirmClose), PromptIcon::Exclamation, PromptButtons::YesNo) == PromptAnswer::Yes;
    return true;
}

bool CRendaroView::ConfirmClose()
{
    if (!confirmCloseQuestions())
        return false;
    theDocument()->CloseCatalogue(-1);
    ResetView();
    return true;
}

void CRendaroView::ResetView()
{
    m_grid->DeleteAllRows();
    modified = false;
    clearUndoHistory();
    currentPath.clear();
    UpdateTitle(QString(), false);
    theDocument()->CloseCatalogue(-1);
    recountShown();
    discardJournal();
    watchShownFiles();
}

void CRendaroView::OnFileNew()
{
    if (!ConfirmClose())
        return;
    currentCatalogueId = -1;
    UpdateTitle(QStringLiteral("New"), false);
    updateCommandStates();
}

void CRendaroView::OnFileOpen()
{
    if (!confirmCloseQuestions())
        return;
    const QString path = m_prompts.openFileName(this, fileRequest());
    if (path.isEmpty())
        return;
    const int id = theDocument()->LoadCatalogue(path, false);
    if (showLoadedFile(id, path))
        OfferRecovery();
}

// The file is loaded before anything shown is closed, so a file that cannot
// be read leaves the shown one as it was.
bool CRendaroView::showLoadedFile(int catalogueId, const QString &path)
{
    CRendaroDoc &document = *theDocument();
    if (catalogueId < 0) {
        QString text = messageText(MsgCannotOpen);
        if (!document.lastErrorText().isEmpty())
            text += QStringLiteral("\n\n") + document.lastErrorText();
        ask(text, PromptIcon::Stop, PromptButtons::Ok);
        return false;
    }
    CloseAllCataloguesExcept(document, catalogueId);
    m_grid->DeleteAllRows();
    modified = false;
    clearUndoHistory();
    discardJournal();  // the changes shown before were saved or let go
    lastEditValid = true;
    currentPath = path;
    currentCatalogueId = catalogueId;
    document.SelectCatalogue(catalogueId);
    UpdateTitle(currentPath, false);
    RefreshGrid();
    recountShown();
    watchShownFiles();
    updateCommandStates();
    emit fileOpened(path);
    return true;
}

CRendaroView::OpenResult CRendaroView::OpenPath(const QString &path)
{
    if (!confirmCloseQuestions())
        return OpenResult::Cancelled;
    const int id = theDocument()->LoadCatalogue(path, false);
    if (!showLoadedFile(id, path))
        return OpenResult::Failed;
    OfferRecovery();
    return OpenResult::Opened;
}

void CRendaroView::OnDropFiles(const QStringList &paths)
{
    if (paths.size() != 1) {
        ask(messageText(MsgDragOneFile), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    OpenPath(paths.first());
}

void CRendaroView::OnFileSave()
{
    if (currentCatalogueId == 0) {
        SaveAllWithProgress();
        return;
    }
    if (currentPath.isEmpty()) {
        OnFileSaveAs();
        return;
    }
    if (!modified && m_grid->GetItemCount() == 0)
        return;
    m_grid->EndEdit(true);
    if (!ValidateAllRows() || !confirmOverwrite({currentPath}))
        return;
    if (!writeShownCatalogue(currentPath, true))
        return;
    watchShownFiles();
    RefreshGrid();
    modified = false;
    markSaved();
    ask(messageText(MsgSaveOk), PromptIcon::Information, PromptButtons::Ok);
    UpdateTitle(currentPath, false);
}

bool CRendaroView::writeShownCatalogue(const QString &path, bool keepTree)
{
    CRendaroDoc &document = *theDocument();
    const bool saved = keepTree ? document.SaveCatalogue(currentCatalogueId, path, true)
                                : SaveUntranslatedCopy(document, currentCatalogueId, path);
    if (!saved) {
        const QString reason = document.lastErrorText();
        ask(messageText(MsgCannotSave) + QStringLiteral("\n\n") + (reason.isEmpty() ? path : reason),
            PromptIcon::Stop, PromptButtons::Ok);
    }
    return saved;
}

void CRendaroView::OnFileSaveAs()
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    if ((!catalogue || !catalogue->tree) && m_grid->GetItemCount() == 0)
        return;
    if (!SaveWithDialog(true))
        return;
    watchShownFiles();
    modified = false;
    markSaved();
    UpdateTitle(currentPath, false);
    emit fileSavedAs(currentPath);
}

// Writes the untranslated strings to another file; the shown file, its
// unsaved changes and the title stay as they are.
void CRendaroView::OnSaveNonTranslated()
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    if ((!catalogue || !catalogue->tree) && m_grid->GetItemCount() == 0)
        return;
    SaveWithDialog(false);
}

bool CRendaroView::SaveWithDialog(bool keepTree)
{
    FileDialogRequest request = fileRequest();
    request.defaultSuffix = QStringLiteral("xml");
    const QString path = m_prompts.saveFileName(this, request);
    if (path.isEmpty())
        return false;
    if (keepTree)
        currentPath = path;
    m_grid->EndEdit(true);
    if (!ValidateAllRows() || !confirmOverwrite({path}))
        return false;
    if (!writeShownCatalogue(path, keepTree))
        return false;
    ask(messageText(MsgSaveOk), PromptIcon::Information, PromptButtons::Ok);
    return true;
}

void CRendaroView::stopAtRow(int row) { m_grid->StartEdit(1, row); }

bool CRendaroView::ValidateAllRows()
{
    bool allLengthsOk = true;
    int firstLong = -1;
    for (int row = 0; row < m_grid->GetItemCount(); ++row) {
        const QString original = DisplayedToOriginal(row);
        const QString translation = m_grid->GetItemText(row, 1);
        if (!CheckPlaceholders(original, translation)) {
            stopAtRow(row);
            return false;
        }
        const bool escapeOk = CheckEscapeSequences(original, translation);
        if (allLengthsOk && !CheckLength(original, translation, false)) {
            allLengthsOk = false;
            firstLong = row;
        }
        if (translation.isEmpty())
            ask(messageText(MsgEnterString), PromptIcon::Stop, PromptButtons::Ok);
        if (!escapeOk || translation.isEmpty()) {
            m_grid->EnsureVisible(row);
            stopAtRow(row);
            return false;
        }
    }
    if (!allLengthsOk
        && ask(messageText(MsgTooLongSave), PromptIcon::Exclamation, PromptButtons::YesNo) != PromptAnswer::Yes) {
        m_grid->EnsureVisible(firstLong);
        return false;
    }
    return true;
}
