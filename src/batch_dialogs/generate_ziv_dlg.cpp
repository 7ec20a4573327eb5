#include "batch_dialogs/generate_ziv_dlg.h"

#include "catalogue/messages.h"
#include "batch_dialogs/browse_for_folder_dlg.h"
#include "editor/core/user_prompts.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Default folders: a branch and a folder for the combined files in the
// user's home folder.
QString defaultBranchPath() { return QDir::homePath() + QStringLiteral("/Main_6.0.0"); }
QString defaultTransPath() { return QDir::homePath() + QStringLiteral("/Trans"); }

QString toggleText(bool allSelected)
{
    return allSelected ? QCoreApplication::translate("CGenerateZIVDlg", "Select none")
                       : QCoreApplication::translate("CGenerateZIVDlg", "Select all");
}

// Steps 1 and 2 keep the dialog busy until they are done.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

constexpr int kProblemsShown = 20;

} // namespace

CGenerateZIVDlg::CGenerateZIVDlg(UserPrompts &prompts, ProjectTable table, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_branchPath(defaultBranchPath()), m_generatedXmlPath(defaultTransPath()),
      m_translatedXmlPath(defaultTransPath()), m_handler(m_document, std::move(table))
{
    setWindowTitle(tr("Generate new string And Pack"));

    // Step 1: the branch folders, the lists and the step's button.
    auto *step1 = new QGroupBox(tr("Step 1: Add new strings in XML"), this);
    auto *paths = new QGridLayout;
    const auto pathRow = [this, paths](int row, const QString &label, QLineEdit *edit, QPushButton *chooser) {
        auto *text = new QLabel(label, this);
        text->setBuddy(edit);
        paths->addWidget(text, row, 0);
        paths->addWidget(edit, row, 1);
        paths->addWidget(chooser, row, 2);
    };
    // Controls are made one statement each, in the order Tab reaches them.
    QLineEdit *branchEdit = addEdit(BranchEditId, m_branchPath);
    pathRow(0, tr("Path of Ardel26:"), branchEdit, addButton(ChooseBranchId, tr("Choose File")));
    QLineEdit *devicePackEdit = addEdit(DevicePackEditId, m_devicePackPath);
    pathRow(1, tr("Path of Device Pack:"), devicePackEdit, addButton(ChooseDevicePackId, tr("Choose File")));
    auto *browseRow = new QHBoxLayout;
    browseRow->addWidget(addButton(BrowseId, tr("Browse")));
    browseRow->addStretch(1);

    auto *lists = new QGridLayout;
    const auto listColumn = [this, lists](int column, const QString &label, QListWidget *list, QPushButton *toggle,
                                          const QString &name) {
        auto *text = new QLabel(label, this);
        text->setBuddy(list);
        list->setAccessibleName(name);
        toggle->setAccessibleDescription(name);
        auto *heading = new QHBoxLayout;
        heading->addWidget(text);
        heading->addStretch(1);
        heading->addWidget(toggle);
        lists->addLayout(heading, 0, column);
        lists->addWidget(list, 1, column);
    };
    QPushButton *toggleProjects = addButton(ToggleProjectsId, toggleText(true));
    m_projectList = addList(ProjectListId);
    listColumn(0, tr("Select project to update XML:"), m_projectList, toggleProjects, tr("Projects"));
    QPushButton *toggleLanguages = addButton(ToggleLanguagesId, toggleText(true));
    m_languageList = addList(LanguageListId);
    listColumn(1, tr("Select language to update:"), m_languageList, toggleLanguages, tr("Languages"));

    auto *step1Layout = new QVBoxLayout(step1);
    step1Layout->addLayout(paths);
    step1Layout->addLayout(browseRow);
    step1Layout->addLayout(lists, 1);
    step1Layout->addWidget(
        addButton(AddNewStringsId, tr("Parse new string to ENG and Apply new string to selected language")));

    // Steps 2 and 3: a folder and the step's button each.
    const auto stepBox = [this](const QString &title, const QString &label, QLineEdit *edit, QPushButton *chooser,
                                QPushButton *run) {
        auto *box = new QGroupBox(title, this);
        auto *layout = new QGridLayout(box);
        auto *text = new QLabel(label, this);
        text->setBuddy(edit);
        layout->addWidget(text, 0, 0);
        layout->addWidget(edit, 0, 1);
        layout->addWidget(chooser, 0, 2);
        layout->addWidget(run, 1, 0, 1, 2, Qt::AlignLeft);
        return box;
    };
    QLineEdit *generatedEdit = addEdit(GeneratedEditId, m_generatedXmlPath);
    QPushButton *chooseGenerated = addButton(ChooseGeneratedId, tr("Choose Folder"));
    QGroupBox *step2 = stepBox(tr("Step 2: Generate a XML including all strings in choosed project"),
                               tr("Path of generated XML:"), generatedEdit, chooseGenerated,
                               addButton(SaveAllStringsId, tr("Save all string")));
    QLineEdit *translatedEdit = addEdit(TranslatedEditId, m_translatedXmlPath);
    QPushButton *chooseTranslated = addButton(ChooseTranslatedId, tr("Choose Folder"));
    QGroupBox *step3 = stepBox(tr("Step 3: Import translated strings"), tr("Path of translated XML:"),
                               translatedEdit, chooseTranslated, addButton(ImportId, tr("Import")));

    // The import's log and progress: hidden, but their room is kept, so the
    // dialog does not change size when they appear.
    m_logEdit = new QPlainTextEdit(this);
    m_logEdit->setReadOnly(true);
    m_logEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_logEdit->setAccessibleName(tr("Import log"));
    m_logEdit->setFixedHeight(m_logEdit->fontMetrics().lineSpacing() * 4 + 12);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setAccessibleName(tr("Languages imported"));
    m_progressBar->setFormat(tr("%v of %m languages"));
    m_controls.insert(LogEditId, m_logEdit);
    m_controls.insert(ProgressBarId, m_progressBar);
    for (QWidget *widget : {static_cast<QWidget *>(m_logEdit), static_cast<QWidget *>(m_progressBar)}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        widget->hide();
    }

    QPushButton *exit = addButton(ExitId, tr("Exit"));
    exit->setDefault(true);
    auto *exitRow = new QHBoxLayout;
    exitRow->addStretch(1);
    exitRow->addWidget(exit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(step1, 1);
    layout->addWidget(step2);
    layout->addWidget(step3);
    layout->addWidget(m_logEdit);
    layout->addWidget(m_progressBar);
    layout->addLayout(exitRow);

    const auto connectButton = [this](int id, void (CGenerateZIVDlg::*handler)()) {
        connect(static_cast<QPushButton *>(control(id)), &QPushButton::clicked, this, handler);
    };
    connectButton(BrowseId, &CGenerateZIVDlg::OnBrowse);
    connectButton(ToggleProjectsId, &CGenerateZIVDlg::OnToggleProjects);
    connectButton(ToggleLanguagesId, &CGenerateZIVDlg::OnToggleLanguages);
    connectButton(AddNewStringsId, &CGenerateZIVDlg::OnAddNewStrings);
    connectButton(SaveAllStringsId, &CGenerateZIVDlg::OnSaveAllStrings);
    connectButton(ImportId, &CGenerateZIVDlg::StartImport);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    const struct {
        int id;
        QString prompt;
        QString *member;
    } choosers[] = {
        {ChooseBranchId, tr("Please select Ardel26 branch directory"), &m_branchPath},
        {ChooseDevicePackId, tr("Please select Device pack branch directory"), &m_devicePackPath},
        {ChooseGeneratedId, tr("Please select new lang folder"), &m_generatedXmlPath},
        {ChooseTranslatedId, tr("Please select new lang folder"), &m_translatedXmlPath},
    };
    for (const auto &chooser : choosers) {
        control(chooser.id)->setAccessibleDescription(chooser.prompt);
        connect(static_cast<QPushButton *>(control(chooser.id)), &QPushButton::clicked, this,
                [this, prompt = chooser.prompt, member = chooser.member] { chooseFolder(prompt, *member); });
    }
    connect(m_projectList, &QListWidget::itemSelectionChanged, this,
            [this] { followSelection(m_projectList, m_allProjectsSelected, ToggleProjectsId); });
    connect(m_languageList, &QListWidget::itemSelectionChanged, this,
            [this] { followSelection(m_languageList, m_allLanguagesSelected, ToggleLanguagesId); });

    connect(&m_timer, &QTimer::timeout, this, &CGenerateZIVDlg::OnTimer);
    m_timer.start(333);
    UpdateControlStates(false);
}

CGenerateZIVDlg::~CGenerateZIVDlg() { m_timer.stop(); }

QPushButton *CGenerateZIVDlg::addButton(int id, const QString &text)
{
    auto *button = new QPushButton(text, this);
    button->setAutoDefault(false);
    m_controls.insert(id, button);
    return button;
}

QLineEdit *CGenerateZIVDlg::addEdit(int id, const QString &path)
{
    auto *edit = new QLineEdit(path, this);
    edit->setMinimumWidth(380);
    m_controls.insert(id, edit);
    return edit;
}

QListWidget *CGenerateZIVDlg::addList(int id)
{
    auto *list = new QListWidget(this);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setMinimumHeight(180);
    m_controls.insert(id, list);
    return list;
}

void CGenerateZIVDlg::readEdits()
{
    m_branchPath = static_cast<QLineEdit *>(control(BranchEditId))->text();
    m_devicePackPath = static_cast<QLineEdit *>(control(DevicePackEditId))->text();
    m_generatedXmlPath = static_cast<QLineEdit *>(control(GeneratedEditId))->text();
    m_translatedXmlPath = static_cast<QLineEdit *>(control(TranslatedEditId))->text();
}

void CGenerateZIVDlg::writeEdits()
{
    static_cast<QLineEdit *>(control(BranchEditId))->setText(m_branchPath);
    static_cast<QLineEdit *>(control(DevicePackEditId))->setText(m_devicePackPath);
    static_cast<QLineEdit *>(control(GeneratedEditId))->setText(m_generatedXmlPath);
    static_cast<QLineEdit *>(control(TranslatedEditId))->setText(m_translatedXmlPath);
}

void CGenerateZIVDlg::UpdateControlStates(bool busy)
{
    readEdits();
    const auto enable = [this](std::initializer_list<int> ids, bool enabled) {
        for (const int id : ids)
            control(id)->setEnabled(enabled);
    };
    const std::initializer_list<int> kProjectControls = {AddNewStringsId, ChooseGeneratedId, GeneratedEditId,
                                                             SaveAllStringsId, ToggleProjectsId, ToggleLanguagesId};
    const std::initializer_list<int> kImportControls = {TranslatedEditId, ChooseTranslatedId, ImportId};
    if (busy || (m_branchPath.isEmpty() && m_devicePackPath.isEmpty())) {
        enable({BrowseId, ProjectListId, LanguageListId}, false);
        enable(kProjectControls, false);
        enable(kImportControls, false);
        return;
    }
    enable({BrowseId}, true);
    if (m_projectList->count() > 0) {
        enable({ProjectListId, LanguageListId}, true);
        enable(kProjectControls, true);
        enable({SaveAllStringsId}, !m_generatedXmlPath.isEmpty());
    } else {
        enable(kProjectControls, false);
    }
    enable(kImportControls, true);
}

void CGenerateZIVDlg::OnTimer()
{
    UpdateControlStates(m_running);
    if (!m_running)
        return;
    if (!m_handler.IsActive()) {
        finishImport();
        return;
    }
    m_progressBar->setValue(m_handler.Progress());
    QString log = m_handler.Log();
    log.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (log != m_logEdit->toPlainText()) {
        m_logEdit->setPlainText(log);
        m_logEdit->moveCursor(QTextCursor::End);
    }
}

void CGenerateZIVDlg::chooseFolder(const QString &prompt, QString &member)
{
    readEdits();  // what was typed since the last tick stays
    CBrowseForFolderDlg browser(m_prompts, this, BrowseNoNewFolderButton, prompt, QDir::currentPath());
    if (browser.DoModal() == CBrowseForFolderDlg::IDOK)
        member = browser.GetFolderPath();
    writeEdits();
}

void CGenerateZIVDlg::OnBrowse()
{
    readEdits();
    m_handler.SetBranchPath(m_branchPath);
    m_handler.SetDevicePackPath(m_devicePackPath);

    m_projectList->clear();
    for (const auto &[index, name] : m_handler.ListAvailableProjects()) {
        auto *item = new QListWidgetItem(name);
        item->setData(Qt::UserRole, index);
        m_projectList->insertItem(m_projectList->count(), item);
        item->setSelected(true);
    }
    m_languageList->clear();
    m_languages = m_handler.ListLanguages();
    for (int i = 0; i < m_languages.size(); ++i) {
        auto *item = new QListWidgetItem(m_languages[i]);
        item->setData(Qt::UserRole, i);
        m_languageList->insertItem(i, item);
        item->setSelected(true);
    }
    // Every item is selected now; the toggles say so.
    followSelection(m_projectList, m_allProjectsSelected, ToggleProjectsId);
    followSelection(m_languageList, m_allLanguagesSelected, ToggleLanguagesId);
    UpdateControlStates(false);
}

void CGenerateZIVDlg::followSelection(QListWidget *list, bool &allSelected, int toggleId)
{
    allSelected = list->selectedItems().size() == list->count();
    static_cast<QPushButton *>(control(toggleId))->setText(toggleText(allSelected));
}

void CGenerateZIVDlg::toggleSelection(QListWidget *list, bool &allSelected, int toggleId)
{
    allSelected = !allSelected;
    if (allSelected)
        list->selectAll();
    else
        list->clearSelection();
    static_cast<QPushButton *>(control(toggleId))->setText(toggleText(allSelected));
}

void CGenerateZIVDlg::OnToggleProjects() { toggleSelection(m_projectList, m_allProjectsSelected, ToggleProjectsId); }

void CGenerateZIVDlg::OnToggleLanguages()
{
    toggleSelection(m_languageList, m_allLanguagesSelected, ToggleLanguagesId);
}

QStringList CGenerateZIVDlg::selectedLanguages() const
{
    QStringList languages;
    for (int row = 0; row < m_languageList->count(); ++row) {
        const QListWidgetItem *item = m_languageList->item(row);
        if (item->isSelected())
            languages.append(m_languages.value(item->data(Qt::UserRole).toInt()));
    }
    return languages;
}

std::vector<int> CGenerateZIVDlg::selectedProjects() const
{
    std::vector<int> projects;
    for (int row = 0; row < m_projectList->count(); ++row) {
        const QListWidgetItem *item = m_projectList->item(row);
        if (item->isSelected())
            projects.push_back(item->data(Qt::UserRole).toInt());
    }
    return projects;
}

void CGenerateZIVDlg::takeStepResult(QStringList &problems)
{
    const PackStepResult result = m_handler.LastResult();
    m_writtenFiles += result.written;
    problems += result.problems;
}

// The steps skip what they cannot read or write and go on; what they
// skipped is listed once the step is over.
void CGenerateZIVDlg::reportProblems(const QStringList &problems)
{
    if (problems.isEmpty())
        return;
    QString text = tr("Some files could not be processed:") + QStringLiteral("\n\n")
                   + problems.mid(0, kProblemsShown).join(u'\n');
    if (problems.size() > kProblemsShown)
        text += QStringLiteral("\n") + tr("... and %1 more").arg(problems.size() - kProblemsShown);
    m_prompts.message(this, text, messageText(MsgAppName), PromptIcon::Exclamation, PromptButtons::Ok);
}

void CGenerateZIVDlg::OnAddNewStrings()
{
    // The projects and languages listed are those of the last Browse, and
    // so are the handler's folders.
    m_handler.SetSelectedLanguages(selectedLanguages());
    QStringList problems;
    {
        WaitCursor busy;
        for (const int index : selectedProjects()) {
            m_handler.AddNewStrings(index);
            takeStepResult(problems);
        }
    }
    reportProblems(problems);
}

void CGenerateZIVDlg::OnSaveAllStrings()
{
    readEdits();
    QStringList problems;
    {
        WaitCursor busy;
        m_handler.SaveAllStrings(selectedLanguages(), selectedProjects(), m_generatedXmlPath);
        takeStepResult(problems);
    }
    reportProblems(problems);
}

void CGenerateZIVDlg::StartImport()
{
    readEdits();
    const QStringList languages = selectedLanguages();
    m_handler.SetBranchPath(m_branchPath);
    m_handler.SetDevicePackPath(m_devicePackPath);
    m_handler.SetSelectedProjects(selectedProjects());
    m_handler.SetSelectedLanguages(languages);
    m_handler.SetTranslatedXmlPath(m_translatedXmlPath);
    if (!m_handler.StartImport())
        return;
    m_running = true;
    m_logEdit->clear();
    m_progressBar->setRange(0, int(languages.size()));
    m_progressBar->setValue(0);
    m_logEdit->show();
    m_progressBar->show();
    UpdateControlStates(true);
}

void CGenerateZIVDlg::finishImport()
{
    m_running = false;  // first: a message shown below lets the timer tick again
    m_handler.Wait();
    m_logEdit->hide();
    m_progressBar->hide();
    UpdateControlStates(false);
    QStringList problems;
    takeStepResult(problems);
    reportProblems(problems);
}

void CGenerateZIVDlg::done(int result)
{
    if (m_running && m_handler.IsActive()) {
        if (m_prompts.message(this, tr("The import is still running. Stop it and close the dialog?"),
                              messageText(MsgAppName), PromptIcon::Exclamation, PromptButtons::YesNo)
            != PromptAnswer::Yes)
            return;
        // The worker stops before its next file; the files it uses belong to
        // the handler, which must outlive it.
        m_handler.Cancel();
        m_handler.Wait();
    }
    if (m_running)
        finishImport();
    m_timer.stop();
    QDialog::done(result);
}
