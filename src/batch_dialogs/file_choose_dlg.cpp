#include "batch_dialogs/file_choose_dlg.h"

#include "editor/core/user_prompts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CFileChooseDlg::CFileChooseDlg(UserPrompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_pathEdit(new QLineEdit(this)),
      m_browseButton(new QPushButton(tr("Browse File"), this))
{
    setWindowTitle(tr("File"));
    auto *label = new QLabel(tr("File Path:"), this);
    label->setBuddy(m_pathEdit);
    m_pathEdit->setMinimumWidth(360);
    m_browseButton->setAutoDefault(false);
    connect(m_browseButton, &QPushButton::clicked, this, &CFileChooseDlg::OnBrowseFile);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_browseButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(buttons);

    auto *layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_pathEdit, 0, 1);
    layout->addLayout(buttonRow, 1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CFileChooseDlg::SetFilePath(const QString &path)
{
    m_filePath = path;
    m_pathEdit->setText(path);
}

void CFileChooseDlg::OnBrowseFile()
{
    FileDialogRequest request;
    request.startFolder = QCoreApplication::applicationFilePath();
    request.filter = tr("XML Files (*.xml)");
    const QString chosen = m_prompts.openFileName(this, request);
    if (!chosen.isEmpty())
        m_filePath = chosen;
    // A typed path not taken with OK gives way to the member's value.
    m_pathEdit->setText(m_filePath);
}

void CFileChooseDlg::accept()
{
    m_filePath = m_pathEdit->text();
    QDialog::accept();
}
