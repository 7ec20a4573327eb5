#pragma once
// The "File" dialog: a path to type or to pick with "Browse File" (an open
// dialog for XML files starting next to the program). OK returns the typed
// text as it stands, without checking that the file exists.

#include <QDialog>

class QLineEdit;
class QPushButton;
class UserPrompts;

class CFileChooseDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFileChooseDlg(UserPrompts &prompts, QWidget *parent = nullptr);

    // The path the edit shows when the dialog opens.
    void SetFilePath(const QString &path);
    // The path after the dialog closed with OK.
    QString GetFilePath() const { return m_filePath; }

    QLineEdit *pathEdit() const { return m_pathEdit; }
    QPushButton *browseButton() const { return m_browseButton; }

    void OnBrowseFile();
    void accept() override;

private:
    UserPrompts &m_prompts;
    QString m_filePath;
    QLineEdit *m_pathEdit;
    QPushButton *m_browseButton;
};
