#include "editor/glossary/add_term_dlg.h"

#include "editor/core/user_prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace {

constexpr TermStatus kStatuses[] = {TermStatus::Preferred, TermStatus::Forbidden, TermStatus::DoNotTranslate};

QLineEdit *shownText(const QString &text, const QString &name)
{
    auto *edit = new QLineEdit(text);
    edit->setReadOnly(true);
    edit->setAccessibleName(name);
    edit->setCursorPosition(0);
    return edit;
}

} // namespace

CAddTermDlg::CAddTermDlg(UserPrompts &prompts, const QString &original, const QString &translation, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_original(shownText(original, tr("Original"))),
      m_translation(shownText(translation, tr("Translation"))), m_source(new QLineEdit), m_target(new QLineEdit),
      m_note(new QLineEdit), m_status(new QComboBox), m_file(new QComboBox), m_browse(new QPushButton(tr("&Browse...")))
{
    setWindowTitle(tr("Add Term"));
    auto *form = new QFormLayout(this);
    form->addRow(tr("Original:"), m_original);
    form->addRow(tr("Translation:"), m_translation);
    form->addRow(tr("&Source term:"), m_source);
    m_target->setToolTip(tr("Several target terms are parted by |"));
    form->addRow(tr("&Target terms:"), m_target);
    form->addRow(tr("&Note:"), m_note);
    m_status->addItems({tr("preferred"), tr("forbidden"), tr("do not translate")});
    form->addRow(tr("St&atus:"), m_status);
    auto *fileRow = new QHBoxLayout;
    m_file->setAccessibleName(tr("Glossary file"));
    m_file->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    form->addRow(tr("Add &to:"), fileRow);
    for (QLineEdit *edit : {m_source, m_target, m_note})
        edit->setMinimumWidth(360);
    m_source->setAccessibleName(tr("Source term"));
    m_target->setAccessibleName(tr("Target terms"));
    m_note->setAccessibleName(tr("Note"));
    m_status->setAccessibleName(tr("Status"));
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = box->button(QDialogButtonBox::Ok);
    form->addRow(box);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_browse, &QPushButton::clicked, this, &CAddTermDlg::browse);
    // Words selected in the original or the translation become the terms.
    connect(m_original, &QLineEdit::selectionChanged, this, [this] {
        if (m_original->hasSelectedText())
            m_source->setText(m_original->selectedText().trimmed());
    });
    connect(m_translation, &QLineEdit::selectionChanged, this, [this] {
        if (m_translation->hasSelectedText())
            m_target->setText(m_translation->selectedText().trimmed());
    });
    for (QLineEdit *edit : {m_source, m_target})
        connect(edit, &QLineEdit::textChanged, this, &CAddTermDlg::updateOk);
    connect(m_status, &QComboBox::currentIndexChanged, this, &CAddTermDlg::updateOk);
    connect(m_file, &QComboBox::currentIndexChanged, this, &CAddTermDlg::updateOk);
    updateOk();
}

void CAddTermDlg::setEntry(const GlossaryEntry &entry)
{
    m_source->setText(entry.source);
    m_target->setText(entry.targets.join(QStringLiteral(" | ")));
    m_note->setText(entry.note);
    for (int i = 0; i < int(std::size(kStatuses)); ++i) {
        if (kStatuses[i] == entry.status)
            m_status->setCurrentIndex(i);
    }
}

GlossaryEntry CAddTermDlg::entry() const
{
    GlossaryEntry entry;
    entry.source = m_source->text().simplified();
    for (const QString &part : m_target->text().split(u'|')) {
        if (!part.simplified().isEmpty())
            entry.targets.append(part.simplified());
    }
    entry.note = m_note->text().simplified();
    entry.status = kStatuses[std::max(0, m_status->currentIndex())];
    return entry;
}

void CAddTermDlg::setFiles(const QStringList &files, const QString &chosen)
{
    m_file->clear();
    for (const QString &file : files)
        m_file->addItem(QDir::toNativeSeparators(file), file);
    m_file->setCurrentIndex(std::max(0, int(files.indexOf(chosen))));
    updateOk();
}

QString CAddTermDlg::file() const { return m_file->currentData().toString(); }

void CAddTermDlg::browse()
{
    FileDialogRequest request;
    request.caption = tr("Add the Term to");
    request.startFolder = file().isEmpty() ? QString() : QFileInfo(file()).absolutePath();
    request.filter = tr("CSV Glossaries (*.csv);;TBX Glossaries (*.tbx);;TSV Glossaries (*.tsv)");
    request.defaultSuffix = QStringLiteral("csv");
    const QString path = m_prompts.saveFileName(this, request);
    if (path.isEmpty())
        return;
    int index = m_file->findData(path);
    if (index < 0) {
        m_file->addItem(QDir::toNativeSeparators(path), path);
        index = m_file->count() - 1;
    }
    m_file->setCurrentIndex(index);
}

// An entry needs a source term, except a forbidden word, and a target term,
// except a name kept as it is.
void CAddTermDlg::updateOk()
{
    const GlossaryEntry e = entry();
    const bool complete = (!e.source.isEmpty() || e.status == TermStatus::Forbidden)
                          && (!e.targets.isEmpty() || e.status == TermStatus::DoNotTranslate);
    m_ok->setEnabled(complete && !file().isEmpty());
}
