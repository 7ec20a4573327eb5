#pragma once
// Tool > Glossary...: the glossary files chosen for a language (Add...
// asks through the UserPrompts, Remove takes the selected one away), and
// the shared glossary.tbx or glossary.csv that is used without being
// chosen.

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class UserPrompts;

class CGlossaryDlg : public QDialog {
    Q_OBJECT
public:
    // `language` names the language ("German (DEU)"), `startFolder` is where
    // Add... starts.
    CGlossaryDlg(UserPrompts &prompts, const QString &language, const QString &startFolder,
                 QWidget *parent = nullptr);

    void setFiles(const QStringList &chosen, const QStringList &shared);
    QStringList files() const;

    QListWidget *fileList() const { return m_list; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
    QLabel *sharedLabel() const { return m_shared; }

private:
    void addFile();
    void updateButtons();

    UserPrompts &m_prompts;
    QString m_startFolder;
    QListWidget *m_list;
    QPushButton *m_add;
    QPushButton *m_remove;
    QLabel *m_shared;
};
