#include "app/about_dlg.h"

#include "app/app_icon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

// Shown as the numbers of the version separated by ", " ("1, 7, 0, 0").
QString rendaroVersion() { return QStringLiteral(RENDARO_VERSION).replace(u'.', QStringLiteral(", ")); }

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent), m_version(new QLabel(this))
{
    setWindowTitle(tr("About Rendaro"));
    auto *icon = new QLabel(this);
    icon->setPixmap(rendaroIcon().pixmap(48, 48));
    icon->setAccessibleName(tr("Rendaro icon"));
    m_version->setObjectName(QStringLiteral("versionText"));
    // The control's own text is the format the version is put into.
    m_version->setText(tr("Rendaro Version %s"));
    m_version->setText(m_version->text().replace(QStringLiteral("%s"), rendaroVersion()));
    auto *notice = new QLabel(tr("A translation editor for XML language files."), this);
    auto *rights = new QLabel(tr("Copyright (C) The Rendaro developers"), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(m_version, 0, 1);
    layout->addWidget(notice, 1, 1);
    layout->addWidget(rights, 2, 1);
    layout->addWidget(buttons, 0, 2, 3, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
