#include "editor/search/find_replace_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CFindReplaceDlg::CFindReplaceDlg(QWidget *parent)
    : QDialog(parent), m_findEdit(new QLineEdit(this)), m_replaceEdit(new QLineEdit(this)),
      m_matchCaseBox(new QCheckBox(tr("Match &Case"), this)), m_replaceButton(new QPushButton(tr("&Replace"), this)),
      m_replaceAllButton(new QPushButton(tr("Replace &All"), this))
{
    setWindowTitle(tr("Find and Replace"));
    auto *findLabel = new QLabel(tr("Fi&nd what:"), this);
    findLabel->setBuddy(m_findEdit);
    auto *replaceLabel = new QLabel(tr("Re&place with:"), this);
    replaceLabel->setBuddy(m_replaceEdit);
    m_findEdit->setAccessibleName(tr("Find what"));
    m_replaceEdit->setAccessibleName(tr("Replace with"));
    m_findEdit->setMinimumWidth(260);

    m_replaceButton->setDefault(true);
    m_replaceAllButton->setAutoDefault(false);
    auto *close = new QPushButton(tr("Close"), this);
    close->setAutoDefault(false);
    connect(m_replaceButton, &QPushButton::clicked, this, &CFindReplaceDlg::replaceRequested);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &CFindReplaceDlg::replaceAllRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_findEdit, &QLineEdit::textChanged, this, &CFindReplaceDlg::updateButtons);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_replaceAllButton);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto *layout = new QGridLayout(this);
    layout->addWidget(findLabel, 0, 0);
    layout->addWidget(m_findEdit, 0, 1);
    layout->addWidget(replaceLabel, 1, 0);
    layout->addWidget(m_replaceEdit, 1, 1);
    layout->addWidget(m_matchCaseBox, 2, 1);
    layout->addLayout(buttons, 0, 2, 3, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_findEdit, m_replaceEdit);
    setTabOrder(m_replaceEdit, m_matchCaseBox);
    setTabOrder(m_matchCaseBox, m_replaceButton);
    setTabOrder(m_replaceButton, m_replaceAllButton);
    setTabOrder(m_replaceAllButton, close);
    updateButtons();
}

QString CFindReplaceDlg::findText() const { return m_findEdit->text(); }

QString CFindReplaceDlg::replacement() const { return m_replaceEdit->text(); }

Qt::CaseSensitivity CFindReplaceDlg::caseSensitivity() const
{
    return m_matchCaseBox->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

void CFindReplaceDlg::prepare()
{
    m_findEdit->selectAll();
    m_findEdit->setFocus();
}

void CFindReplaceDlg::updateButtons()
{
    const bool searchable = !m_findEdit->text().isEmpty();
    m_replaceButton->setEnabled(searchable);
    m_replaceAllButton->setEnabled(searchable);
}
