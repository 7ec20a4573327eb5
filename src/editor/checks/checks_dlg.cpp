#include "editor/checks/checks_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CChecksDlg::CChecksDlg(QWidget *parent) : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(tr("Checks"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("&Warnings checked in the translations:"), this);
    label->setBuddy(m_list);
    layout->addWidget(label);
    m_list->setAccessibleName(tr("Warnings checked"));
    layout->addWidget(m_list);
    auto *all = new QPushButton(tr("&All On"), this);
    connect(all, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < m_list->count(); ++i)
            m_list->item(i)->setCheckState(Qt::Checked);
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(all, QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(440, 420);
}

void CChecksDlg::setChecks(const QString &languageCode, const std::vector<CheckInfo> &warnings,
                           const CheckSwitches &switches)
{
    setWindowTitle(languageCode.isEmpty() ? tr("Checks") : tr("Checks for %1").arg(languageCode));
    m_list->clear();
    for (const CheckInfo &info : warnings) {
        auto *item = new QListWidgetItem(QStringLiteral("%1 (%2)").arg(info.name, info.id), m_list);
        item->setData(Qt::UserRole, info.id);
        item->setToolTip(info.rule);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(switches.isOn(languageCode, info.id) ? Qt::Checked : Qt::Unchecked);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

bool CChecksDlg::isOn(const QString &checkId) const
{
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem *item = m_list->item(i);
        if (item->data(Qt::UserRole).toString() == checkId)
            return item->checkState() == Qt::Checked;
    }
    return true;
}
