#include "editor/memory/pretranslate_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

CPreTranslateDlg::CPreTranslateDlg(QWidget *parent) : QDialog(parent), m_score(new QSpinBox(this))
{
    setWindowTitle(tr("Pre-translate"));
    auto *intro = new QLabel(tr("Fills every untranslated string of the file from the translation memory. "
                                "A suggestion that fails a check against the string's original "
                                "(placeholders, line breaks) is left out."),
                             this);
    intro->setWordWrap(true);
    auto *label = new QLabel(tr("&Minimum score:"), this);
    label->setBuddy(m_score);
    m_score->setRange(50, 100);
    m_score->setValue(100);
    m_score->setSuffix(QStringLiteral("%"));
    m_score->setAccessibleName(tr("Minimum score"));
    m_score->setAccessibleDescription(tr("100: identical originals only"));
    auto *hint = new QLabel(tr("100% takes identical originals only."), this);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_score);
    row->addWidget(hint);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    m_score->setFocus();
}

int CPreTranslateDlg::minimumScore() const { return m_score->value(); }
