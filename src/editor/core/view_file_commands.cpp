// New, Open, a dropped file, Save, Save As and Save Only Non-translated
// String As, with the prompts that guard unsaved changes and the check of
// every row before a save.

#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "catalogue/shown_file.h"

#include <QCoreApplication>

FileDialogRequest CRendaroView::fileRequest() const
{
    FileDialogRequest request;
    // With no file shown the dialogs start next to the program. That path is
    // only a start folder: it never becomes the file a Save writes to.
    request.startFolder = m_path.isEmpty() ? QCoreApplication::applicationFilePath() : m_path;
    request.filter = tr("XML Files (*.xml)");
    return request;
}

bool CRendaroView::PromptSave()
{
    // Text typed into an open editor counts as a change too.
    m_grid->EndEdit(true);
    if (!m_modified)
        return true;
    switch (ask(messageText(MsgSaveCurrent), PromptIcon::Exclamation, PromptButtons::YesNoCancel)) {
    case PromptAnswer::Cancel: return false;
    case PromptAnswer::No: return true;
    default: break;
    }
    OnFileSave();
    return !m_modified;
}

// The questions asked before the shown file is closed. Unsaved changes are
// asked about even when they belong to no file yet (rows pasted after New).
bool CRendaroView::confirmCloseQuestions()
{
    if (!PromptSave())
        return false;
    const CXMLStruct *catalogue = theDocument()->findCatalogue(m_catalogueId);
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
    m_modified = false;
    clearUndoHistory();
    theDocument()->CloseCatalogue(-1);
    setShown(-1, QString());
    UpdateTitle(QString(), false);
    recountShown();
    emit closed();
    emit shownChanged();
}

void CRendaroView::OnFileNew()
{
    if (!ConfirmClose())
        return;
    m_catalogueId = -1;
    UpdateTitle(QStringLiteral("New"), false);
    updateCommandStates();
}

void CRendaroView::setShown(int catalogueId, const QString &path)
{
    m_catalogueId = catalogueId;
    m_path = path;
}

void CRendaroView::OnFileOpen()
{
    if (!confirmCloseQuestions())
        return;
    const QString path = m_prompts.openFileName(this, fileRequest());
    if (path.isEmpty())
        return;
    const int id = theDocument()->LoadCatalogueForEditing(path);
    if (ShowLoadedFile(id, path))
        emit opened();
}

// The file is loaded before anything shown is closed, so a file that cannot
// be read leaves the shown one as it was.
bool CRendaroView::ShowLoadedFile(int catalogueId, const QString &path)
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
    m_modified = false;
    clearUndoHistory();
    m_lastEditValid = true;
    setShown(catalogueId, path);
    document.SelectCatalogue(catalogueId);
    UpdateTitle(m_path, false);
    RefreshGrid();
    recountShown();
    // The changes shown before were saved or let go.
    emit shownChanged();
    updateCommandStates();
    emit fileOpened(path);
    return true;
}

CRendaroView::OpenResult CRendaroView::OpenPath(const QString &path)
{
    if (!confirmCloseQuestions())
        return OpenResult::Cancelled;
    const int id = theDocument()->LoadCatalogueForEditing(path);
    if (!ShowLoadedFile(id, path))
        return OpenResult::Failed;
    emit opened();
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
    if (m_catalogueId == 0) {
        SaveAllWithProgress();
        return;
    }
    if (m_path.isEmpty()) {
        OnFileSaveAs();
        return;
    }
    if (!m_modified && m_grid->GetItemCount() == 0)
        return;
    m_grid->EndEdit(true);
    if (!ValidateAllRows() || !guardSave({m_path}))
        return;
    if (!writeShownCatalogue(m_path, true))
        return;
    emit filesWritten({m_path});
    RefreshGrid();
    m_modified = false;
    markSaved();
    ask(messageText(MsgSaveOk), PromptIcon::Information, PromptButtons::Ok);
    UpdateTitle(m_path, false);
}

bool CRendaroView::writeShownCatalogue(const QString &path, bool keepTree)
{
    CRendaroDoc &document = *theDocument();
    const bool saved = keepTree ? document.SaveCatalogue(m_catalogueId, path, true)
                                : SaveUntranslatedCopy(document, m_catalogueId, path);
    if (!saved) {
        const QString reason = document.lastErrorText();
        ask(messageText(MsgCannotSave) + QStringLiteral("\n\n") + (reason.isEmpty() ? path : reason),
            PromptIcon::Stop, PromptButtons::Ok);
    }
    return saved;
}

void CRendaroView::OnFileSaveAs()
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(m_catalogueId);
    if ((!catalogue || !catalogue->tree) && m_grid->GetItemCount() == 0)
        return;
    if (!SaveWithDialog(true))
        return;
    emit filesWritten({m_path});
    m_modified = false;
    markSaved();
    UpdateTitle(m_path, false);
    emit fileSavedAs(m_path);
}

// Writes the untranslated strings to another file; the shown file, its
// unsaved changes and the title stay as they are.
void CRendaroView::OnSaveNonTranslated()
{
    const CXMLStruct *catalogue = theDocument()->findCatalogue(m_catalogueId);
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
        m_path = path;
    m_grid->EndEdit(true);
    if (!ValidateAllRows() || !guardSave({path}))
        return false;
    if (!writeShownCatalogue(path, keepTree))
        return false;
    ask(messageText(MsgSaveOk), PromptIcon::Information, PromptButtons::Ok);
    return true;
}

void CRendaroView::stopAtRow(int row) { m_grid->StartEdit(1, row); }

void CRendaroView::addSaveGuard(QObject *owner, SaveGuard guard) { m_saveGuards.emplace_back(owner, std::move(guard)); }

bool CRendaroView::guardSave(const QStringList &files)
{
    for (const auto &[owner, guard] : m_saveGuards) {
        if (owner && !guard(files))
            return false;
    }
    return true;
}

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
