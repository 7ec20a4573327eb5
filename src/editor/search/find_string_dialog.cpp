#include "editor/search/find_string_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CFindString::CFindString(QWidget *parent)
    : QDialog(parent), m_textEdit(new QLineEdit(this)), m_matchCaseBox(new QCheckBox(tr("Match Case"), this))
{
    setWindowTitle(tr("Find"));
    auto *label = new QLabel(tr("Find:"), this);
    label->setBuddy(m_textEdit);
    m_textEdit->setMinimumWidth(260);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_textEdit, 0, 1);
    layout->addWidget(m_matchCaseBox, 1, 1);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CFindString::loadFields()
{
    m_textEdit->setText(text);
    m_matchCaseBox->setChecked(matchCase);
    m_textEdit->selectAll();
    m_textEdit->setFocus();
}

void CFindString::accept()
{
    text = m_textEdit->text();
    matchCase = m_matchCaseBox->isChecked();
    QDialog::accept();
}
