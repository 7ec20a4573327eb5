#pragma once
// The about box: the program's icon, name and version.

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
    QLabel *versionLabel() const { return m_version; }

private:
    QLabel *m_version;
};

// The version the about box and `rendaro --version` show.
QString rendaroVersion();
