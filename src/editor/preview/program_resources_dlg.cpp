#include "editor/preview/program_resources_dlg.h"

#include "editor/core/user_prompts.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CProgramResourcesDlg::CProgramResourcesDlg(UserPrompts &prompts, const QString &shownPath, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_program(new QLineEdit), m_header(new QLineEdit),
      m_browseProgram(new QPushButton(tr("&Browse..."))), m_browseHeader(new QPushButton(tr("B&rowse..."))),
      m_clear(new QPushButton(tr("&Clear"))), m_fallback(new QLabel)
{
    setWindowTitle(tr("Program Resources"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("The program whose dialogs and menus %1 translates: its texts are checked against "
                                "the controls showing them, and the Preview draws them.")
                                 .arg(QFileInfo(shownPath).fileName()));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *grid = new QGridLayout;
    auto *programLabel = new QLabel(tr("&Program (EXE or DLL):"));
    programLabel->setBuddy(m_program);
    auto *headerLabel = new QLabel(tr("Resource &header (optional):"));
    headerLabel->setBuddy(m_header);
    m_program->setAccessibleName(tr("Program"));
    m_header->setAccessibleName(tr("Resource header"));
    m_browseProgram->setAccessibleName(tr("Browse for the program"));
    m_browseHeader->setAccessibleName(tr("Browse for the resource header"));
    grid->addWidget(programLabel, 0, 0);
    grid->addWidget(m_program, 0, 1);
    grid->addWidget(m_browseProgram, 0, 2);
    grid->addWidget(headerLabel, 1, 0);
    grid->addWidget(m_header, 1, 1);
    grid->addWidget(m_browseHeader, 1, 2);
    layout->addLayout(grid);
    m_fallback->setWordWrap(true);
    m_fallback->hide();
    layout->addWidget(m_fallback);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(m_clear, QDialogButtonBox::ResetRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_program->clear();
        m_header->clear();
    });
    connect(m_browseProgram, &QPushButton::clicked, this, [this] {
        browse(m_program, tr("The program the file translates"),
               tr("Programs and libraries (*.exe *.dll *.EXE *.DLL);;All files (*)"));
    });
    connect(m_browseHeader, &QPushButton::clicked, this, [this] {
        browse(m_header, tr("The program's resource header"), tr("C++ headers (*.h *.hpp *.H);;All files (*)"));
    });
    resize(560, sizeHint().height());
}

void CProgramResourcesDlg::setLink(const QString &program, const QString &header)
{
    m_program->setText(program);
    m_header->setText(header);
}

void CProgramResourcesDlg::setFallback(const QString &text)
{
    m_fallback->setText(text);
    m_fallback->setVisible(!text.isEmpty());
}

QString CProgramResourcesDlg::program() const { return m_program->text().trimmed(); }
QString CProgramResourcesDlg::header() const { return m_header->text().trimmed(); }

void CProgramResourcesDlg::browse(QLineEdit *edit, const QString &caption, const QString &filter)
{
    FileDialogRequest request;
    request.caption = caption;
    request.startFolder = edit->text().isEmpty() ? (m_program->text().isEmpty() ? QString() : m_program->text())
                                                 : edit->text();
    request.filter = filter;
    const QString chosen = m_prompts.openFileName(this, request);
    if (!chosen.isEmpty())
        edit->setText(chosen);
}
