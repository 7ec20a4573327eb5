#include "editor/folder/list_folder_dlg.h"

#include "catalogue/folder_listing.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CListFolderDlg::CListFolderDlg(QWidget *parent) : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(tr("Dialog"));
    auto *label = new QLabel(tr("&Files to open:"), this);
    label->setBuddy(m_list);
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setAccessibleName(tr("Files to open"));
    m_list->setMinimumSize(520, 300);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

void CListFolderDlg::setFolder(const QString &path)
{
    folder = path;
    m_list->clear();
    itemCount = 0;
    for (const QString &file : ListLanguageFiles(folder)) {
        auto *item = new QListWidgetItem(file);
        m_list->insertItem(itemCount++, item);
        item->setSelected(true);
    }
    if (itemCount > 0)
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void CListFolderDlg::accept()
{
    selectedPaths.clear();
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->isSelected())
            selectedPaths.append(m_list->item(row)->text());
    }
    QDialog::accept();
}
