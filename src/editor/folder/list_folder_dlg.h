#pragma once
// The files of a language folder to open: every language file of the folder
// tree is listed (depth first, names starting with "." skipped) and
// selected; a click toggles a file. OK hands back the selected paths in list
// order.

#include <QDialog>
#include <QStringList>

class QListWidget;

class CListFolderDlg : public QDialog {
    Q_OBJECT
public:
    explicit CListFolderDlg(QWidget *parent = nullptr);

    // Lists the folder's language files, all selected.
    void setFolder(const QString &folder);

    QStringList selectedPaths;  // filled by OK
    QString folder;
    int itemCount = 0;

    QListWidget *list() const { return m_list; }
    void accept() override;

private:
    QListWidget *m_list;
};
