#include "batch_dialogs/apply_to_dlg.h"

#include "batch/xml_file_scan.h"
#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "catalogue/safe_file.h"
#include "batch_dialogs/browse_for_folder_dlg.h"
#include "batch_dialogs/file_choose_dlg.h"
#include "editor/core/rendaro_view.h"
#include "batch_dialogs/same_file.h"
#include "editor/core/user_prompts.h"

#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

namespace {

enum ButtonId { AddId = 1001, DeleteId = 1002, DeleteAllId = 1003, EditId = 1004, AddFilesId = 1005 };

} // namespace

CApplyToDlg::CApplyToDlg(UserPrompts &prompts, CRendaroView &view, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_view(view), m_fileList(new QTreeWidget(this))
{
    setWindowTitle(tr("Apply to..."));
    m_fileList->setColumnCount(1);
    m_fileList->setHeaderLabels({tr("XML File")});
    m_fileList->header()->setStretchLastSection(false);
    m_fileList->setColumnWidth(0, 500);
    m_fileList->setRootIsDecorated(false);
    m_fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fileList->setAccessibleName(tr("Files to apply to"));
    m_fileList->setMinimumSize(440, 360);
    connect(m_fileList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_changingRows && current.isValid())
                    m_selectedRow = current.row();
            });
    // A click on a row that is already current moves no current row.
    connect(m_fileList, &QAbstractItemView::pressed, this,
            [this](const QModelIndex &index) { m_selectedRow = index.row(); });

    const struct {
        int id;
        QString text;
        void (CApplyToDlg::*handler)();
    } buttons[] = {
        {AddId, tr("Add"), &CApplyToDlg::OnAdd},
        {AddFilesId, tr("Add Files..."), &CApplyToDlg::OnAddFiles},
        {EditId, tr("Edit"), &CApplyToDlg::OnEdit},
        {DeleteId, tr("Delete"), &CApplyToDlg::OnDelete},
        {DeleteAllId, tr("Delete All"), &CApplyToDlg::OnDeleteAll},
    };
    auto *layout = new QGridLayout(this);
    layout->addWidget(m_fileList, 0, 0, 8, 1);
    int row = 0;
    for (const auto &entry : buttons) {
        auto *button = new QPushButton(entry.text, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, entry.handler);
        m_buttons.insert(entry.id, button);
        layout->addWidget(button, row++, 1);
    }
    layout->setRowStretch(row++, 1);
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CApplyToDlg::accept);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CApplyToDlg::reject);
    m_buttons.insert(1, ok);
    m_buttons.insert(2, cancel);
    layout->addWidget(ok, row++, 1);
    layout->addWidget(cancel, row, 1);
}

QPushButton *CApplyToDlg::button(int id) const { return m_buttons.value(id); }

QStringList CApplyToDlg::rows() const
{
    QStringList texts;
    for (int row = 0; row < m_fileList->topLevelItemCount(); ++row)
        texts.append(m_fileList->topLevelItem(row)->text(0));
    return texts;
}

void CApplyToDlg::appendRow(const QString &path)
{
    m_changingRows = true;
    m_fileList->addTopLevelItem(new QTreeWidgetItem(QStringList{path}));
    m_changingRows = false;
}

void CApplyToDlg::OnAdd()
{
    CFileChooseDlg chooser(m_prompts, this);
    chooser.SetFilePath(QString());
    if (!m_prompts.runDialog(chooser))
        return;
    const QString path = chooser.GetFilePath();
    // The open file (or a name built on its path) is never a target.
    if (!m_view.currentPath().isEmpty() && path.contains(m_view.currentPath()))
        return;
    appendRow(path);
}

void CApplyToDlg::OnEdit()
{
    QTreeWidgetItem *item = m_selectedRow >= 0 ? m_fileList->topLevelItem(m_selectedRow) : nullptr;
    if (!item)
        return;
    CFileChooseDlg chooser(m_prompts, this);
    chooser.SetFilePath(item->text(0));
    if (m_prompts.runDialog(chooser))
        item->setText(0, chooser.GetFilePath());
}

// The row that Delete and Edit would work on is shown selected.
void CApplyToDlg::showSelectedRow()
{
    QTreeWidgetItem *item = m_selectedRow >= 0 ? m_fileList->topLevelItem(m_selectedRow) : nullptr;
    m_changingRows = true;
    if (item)
        m_fileList->setCurrentItem(item);
    else
        m_fileList->clearSelection();
    m_changingRows = false;
}

void CApplyToDlg::OnDelete()
{
    if (m_selectedRow < 0 || m_selectedRow >= m_fileList->topLevelItemCount())
        return;
    m_changingRows = true;
    delete m_fileList->takeTopLevelItem(m_selectedRow);
    m_changingRows = false;
    showSelectedRow();
}

void CApplyToDlg::OnDeleteAll()
{
    m_changingRows = true;
    m_fileList->clear();
    m_changingRows = false;
}

void CApplyToDlg::OnAddFiles()
{
    CBrowseForFolderDlg browser(m_prompts, this, BrowseNewDialogStyle, tr("Please select directory to find XML files."),
                                QDir::currentPath());
    if (browser.DoModal() != CBrowseForFolderDlg::IDOK)
        return;
    QStringList paths = rows();
    const qsizetype known = paths.size();
    ScanFolderForXmlFiles(browser.GetFolderPath(), paths);
    for (qsizetype i = known; i < paths.size(); ++i)
        appendRow(paths[i]);
}

void CApplyToDlg::failed(const QString &path, const QString &reason)
{
    QString text = QStringLiteral("Can't apply to %1").arg(path);
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason;
    m_prompts.message(this, text, messageText(MsgAppName), PromptIcon::Exclamation, PromptButtons::Ok);
}

void CApplyToDlg::accept()
{
    CRendaroDoc &document = *theDocument();
    const int sourceId = m_view.currentCatalogueId();
    const CXMLStruct *source = document.findCatalogue(sourceId);
    const QString sourcePath = source ? source->filePath : QString();
    // Rows may change while a message is shown, so the count is read each time.
    for (int row = 0; row < m_fileList->topLevelItemCount(); ++row) {
        const QString path = m_fileList->topLevelItem(row)->text(0);
        // The open file itself, however its path is written, stays as it is.
        if (IsSameFile(path, sourcePath))
            continue;
        // A FIFO or device would block the read or be replaced; it is refused.
        const QString notRegular = nonRegularFileReason(path);
        if (!notRegular.isEmpty()) {
            failed(path, notRegular);
            continue;
        }
        if (!document.ApplyTranslationsToFile(path, sourceId)) {
            QString reason = document.lastErrorText();
            if (reason.startsWith(path + QStringLiteral(": ")))
                reason = reason.mid(path.size() + 2);
            failed(path, reason);
        }
    }
    m_prompts.message(this, tr("Complete!"), messageText(MsgAppName), PromptIcon::Exclamation, PromptButtons::Ok);
    QDialog::accept();
}
