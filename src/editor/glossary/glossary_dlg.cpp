#include "editor/glossary/glossary_dlg.h"

#include "editor/core/user_prompts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CGlossaryDlg::CGlossaryDlg(UserPrompts &prompts, const QString &language, const QString &startFolder,
                           QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_startFolder(startFolder), m_list(new QListWidget),
      m_add(new QPushButton(tr("&Add..."))), m_remove(new QPushButton(tr("&Remove"))), m_shared(new QLabel)
{
    setWindowTitle(tr("Glossary"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("&Glossary files for %1:").arg(language));
    label->setBuddy(m_list);
    layout->addWidget(label);
    auto *row = new QHBoxLayout;
    m_list->setAccessibleName(tr("Glossary files for %1").arg(language));
    m_list->setMinimumWidth(420);
    row->addWidget(m_list, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    row->addLayout(buttons);
    layout->addLayout(row);
    m_shared->setWordWrap(true);
    m_shared->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_shared);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &CGlossaryDlg::addFile);
    connect(m_remove, &QPushButton::clicked, this, [this] {
        delete m_list->currentItem();
        updateButtons();
    });
    connect(m_list, &QListWidget::currentRowChanged, this, &CGlossaryDlg::updateButtons);
    updateButtons();
}

void CGlossaryDlg::setFiles(const QStringList &chosen, const QStringList &shared)
{
    m_list->clear();
    for (const QString &file : chosen)
        m_list->addItem(QDir::toNativeSeparators(file));
    m_shared->setText(shared.isEmpty()
                          ? tr("No shared glossary: a glossary.tbx or glossary.csv in the language folder or a "
                               "folder above it is used without being chosen.")
                          : tr("Used without being chosen: %1")
                                .arg(QDir::toNativeSeparators(shared.join(QStringLiteral(", ")))));
    updateButtons();
}

QStringList CGlossaryDlg::files() const
{
    QStringList files;
    for (int i = 0; i < m_list->count(); ++i)
        files.append(QDir::fromNativeSeparators(m_list->item(i)->text()));
    return files;
}

void CGlossaryDlg::addFile()
{
    FileDialogRequest request;
    request.caption = tr("Add a Glossary");
    request.startFolder = m_startFolder;
    request.filter = tr("Glossaries (*.tbx *.csv *.tsv *.qph);;All Files (*)");
    const QString path = m_prompts.openFileName(this, request);
    if (path.isEmpty() || files().contains(path))
        return;
    m_list->addItem(QDir::toNativeSeparators(path));
    m_list->setCurrentRow(m_list->count() - 1);
    updateButtons();
}

void CGlossaryDlg::updateButtons() { m_remove->setEnabled(m_list->currentItem() != nullptr); }
