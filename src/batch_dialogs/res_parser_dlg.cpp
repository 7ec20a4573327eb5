#include "batch_dialogs/res_parser_dlg.h"

#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/safe_file.h"
#include "editor/core/rendaro_view.h"
#include "editor/core/user_prompts.h"
#include "resparse/res_extract.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CResParserDlg::CResParserDlg(UserPrompts &prompts, CRendaroView &view, QWidget *parent)
    : QDialog(parent),
      // A test program and its header in the user's home folder.
      executablePath(QDir::homePath() + QStringLiteral("/Rendaro/TestHubDesk/HubDesk.exe")),
      headerPath(QDir::homePath() + QStringLiteral("/Rendaro/TestHubDesk/resource.h")), m_prompts(prompts),
      m_view(view), m_executableEdit(new QLineEdit(this)), m_headerEdit(new QLineEdit(this))
{
    setWindowTitle(tr("ResParser"));
    auto *input = new QGroupBox(tr("Input"), this);
    auto *grid = new QGridLayout(input);
    const auto fileRow = [this, grid](int row, const QString &label, QLineEdit *edit, void (CResParserDlg::*choose)()) {
        auto *text = new QLabel(label, this);
        text->setBuddy(edit);
        edit->setMinimumWidth(330);
        auto *chooser = new QPushButton(tr("Choose File"), this);
        chooser->setAutoDefault(false);
        chooser->setAccessibleDescription(label);
        connect(chooser, &QPushButton::clicked, this, choose);
        grid->addWidget(text, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(chooser, row, 2);
        return chooser;
    };
    QPushButton *chooseExecutable =
        fileRow(0, tr("Open Excute File:"), m_executableEdit, &CResParserDlg::OnChooseExecutable);
    QPushButton *chooseHeader = fileRow(1, tr("Open Resource File:"), m_headerEdit, &CResParserDlg::OnChooseHeader);

    m_startButton = new QPushButton(tr("Start"), this);  // after the inputs, as Tab reaches them
    m_startButton->setDefault(true);
    connect(m_startButton, &QPushButton::clicked, this, &CResParserDlg::OnStart);
    auto *exit = new QPushButton(tr("Exit"), this);
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_startButton);
    buttons->addWidget(exit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(input);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_executableEdit, chooseExecutable);
    setTabOrder(chooseExecutable, m_headerEdit);
    setTabOrder(m_headerEdit, chooseHeader);
    setTabOrder(chooseHeader, m_startButton);
    setTabOrder(m_startButton, exit);
    writeEdits();
}

void CResParserDlg::readEdits()
{
    executablePath = m_executableEdit->text();
    headerPath = m_headerEdit->text();
}

void CResParserDlg::writeEdits()
{
    m_executableEdit->setText(executablePath);
    m_headerEdit->setText(headerPath);
}

void CResParserDlg::tell(const QString &text, bool isError)
{
    m_prompts.message(this, text, tr("Parser"), isError ? PromptIcon::Stop : PromptIcon::Information,
                      PromptButtons::Ok);
}

void CResParserDlg::chooseFile(const QString &filter, QString &member)
{
    FileDialogRequest request;
    request.startFolder = QDir::currentPath();
    request.filter = filter;
    const QString chosen = m_prompts.openFileName(this, request);
    if (chosen.isEmpty())
        return;
    readEdits();
    member = chosen;
    writeEdits();
}

void CResParserDlg::OnChooseExecutable() { chooseFile(tr("Exe Files (*.exe);;DLL Files (*.dll)"), executablePath); }

void CResParserDlg::OnChooseHeader() { chooseFile(tr("C++ Header Files (*.h)"), headerPath); }

void CResParserDlg::OnStart()
{
    readEdits();
    m_startButton->setEnabled(false);
    if (headerPath.isEmpty()) {
        tell(tr("Please choose C++ resource file."));
        m_startButton->setEnabled(true);
        return;
    }
    if (executablePath.isEmpty()) {
        tell(tr("Please choose a EXE to generate XML."));
        m_startButton->setEnabled(true);
        return;
    }
    QStringList texts;
    QString error;
    // A FIFO or device would keep the read waiting; only files are read.
    const QString executableProblem = nonRegularFileReason(executablePath);
    const QString headerProblem = nonRegularFileReason(headerPath);
    bool read = false;
    if (!executableProblem.isEmpty()) {
        error = tr("Can not open the executable %1 (%2)").arg(executablePath, executableProblem);
    } else if (!headerProblem.isEmpty()) {
        error = tr("Can not open the header %1 (%2)").arg(headerPath, headerProblem);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        read = ExtractResourceStrings(texts, executablePath, headerPath, &error);
        QApplication::restoreOverrideCursor();
    }
    if (!read) {
        // Nothing was read: say why and let the user mend the paths.
        tell(error, true);
        m_startButton->setEnabled(true);
        return;
    }
    // One undo step per run; a text found twice is added once, and one the
    // catalogue holds keeps its translation.
    std::vector<EntryTarget> strings;
    strings.reserve(size_t(texts.size()));
    for (const QString &text : std::as_const(texts))
        strings.push_back(ExtractedString(text));
    m_view.applyStep(tr("Add New Strings"), strings, StepKind::Add);
    tell(tr("Complete!"));
    m_startButton->setEnabled(true);
    accept();
}

EntryTarget CResParserDlg::ExtractedString(const QString &text)
{
    QString original = text, translation = text;
    CRendaroDoc::NormalizeStringPair(original, translation);
    return {original, translation, 1};
}
