#include "editor/memory/tm_settings_dlg.h"

#include "editor/core/user_prompts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

CTmSettingsDlg::CTmSettingsDlg(UserPrompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_list(new QListWidget(this)), m_score(new QSpinBox(this)),
      m_addFile(new QPushButton(tr("Add &File..."), this)), m_addFolder(new QPushButton(tr("Add F&older..."), this)),
      m_remove(new QPushButton(tr("&Remove"), this))
{
    setWindowTitle(tr("Translation Memory"));
    auto *intro = new QLabel(tr("Language files, TMX files and folders of the same language the memory is built "
                                "from (a folder gives every language file below it; a TMX file its units in the "
                                "shown file's language):"),
                             this);
    intro->setWordWrap(true);
    intro->setBuddy(m_list);
    m_list->setAccessibleName(tr("Memory files and folders"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setMinimumSize(420, 180);
    auto *folderNote = new QLabel(tr("In a language folder, its loaded files are always part of the memory."), this);
    folderNote->setWordWrap(true);

    auto *scoreLabel = new QLabel(tr("&Show suggestions scoring at least:"), this);
    scoreLabel->setBuddy(m_score);
    m_score->setRange(30, 100);
    m_score->setSuffix(QStringLiteral("%"));
    m_score->setAccessibleName(tr("Lowest score shown"));

    for (QPushButton *button : {m_addFile, m_addFolder, m_remove})
        button->setAutoDefault(false);
    connect(m_addFile, &QPushButton::clicked, this, &CTmSettingsDlg::onAddFile);
    connect(m_addFolder, &QPushButton::clicked, this, &CTmSettingsDlg::onAddFolder);
    connect(m_remove, &QPushButton::clicked, this, &CTmSettingsDlg::onRemove);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_remove->setEnabled(!m_list->selectedItems().isEmpty()); });
    m_remove->setEnabled(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QGridLayout(this);
    layout->addWidget(intro, 0, 0, 1, 2);
    layout->addWidget(m_list, 1, 0, 4, 1);
    layout->addWidget(m_addFile, 1, 1);
    layout->addWidget(m_addFolder, 2, 1);
    layout->addWidget(m_remove, 3, 1);
    layout->setRowStretch(4, 1);
    layout->addWidget(folderNote, 5, 0, 1, 2);
    auto *scoreRow = new QHBoxLayout;
    scoreRow->addWidget(scoreLabel);
    scoreRow->addWidget(m_score);
    scoreRow->addStretch();
    layout->addLayout(scoreRow, 6, 0, 1, 2);
    layout->addWidget(buttons, 7, 0, 1, 2);
}

void CTmSettingsDlg::loadFields()
{
    m_list->clear();
    for (const QString &path : std::as_const(paths))
        addPath(path);
    m_score->setValue(minimumScore);
    m_list->setFocus();
}

void CTmSettingsDlg::accept()
{
    paths.clear();
    for (int row = 0; row < m_list->count(); ++row)
        paths.append(m_list->item(row)->text());
    minimumScore = m_score->value();
    QDialog::accept();
}

void CTmSettingsDlg::addPath(const QString &path)
{
    if (path.isEmpty() || !m_list->findItems(path, Qt::MatchExactly).isEmpty())
        return;
    auto *item = new QListWidgetItem(path, m_list);
    item->setToolTip(QFileInfo(path).isDir() ? tr("Folder") : tr("File"));
    m_list->setCurrentItem(item);
}

QString CTmSettingsDlg::startFolder() const
{
    const QListWidgetItem *current = m_list->currentItem();
    return current ? current->text() : QDir::homePath();
}

void CTmSettingsDlg::onAddFile()
{
    addPath(m_prompts.openFileName(this, {tr("Add Language or TMX File"), startFolder(),
                                          tr("Language and TMX Files (*.xml *.tmx);;XML Files (*.xml);;"
                                             "TMX 1.4b (*.tmx)"),
                                          {}}));
}

void CTmSettingsDlg::onAddFolder()
{
    addPath(m_prompts.folderName(this, tr("Add Language Folder"), startFolder()));
}

void CTmSettingsDlg::onRemove()
{
    qDeleteAll(m_list->selectedItems());
}
