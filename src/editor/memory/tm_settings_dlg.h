#pragma once
// Tool > Translation Memory: the language files, TMX files and folders the
// memory is built from (a folder gives every language file below it, as
// Open Language Folder lists them), and the lowest score the Suggestions
// pane shows. The choosers go through UserPrompts.

#include <QDialog>

class QListWidget;
class QPushButton;
class QSpinBox;
class UserPrompts;

class CTmSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTmSettingsDlg(UserPrompts &prompts, QWidget *parent = nullptr);

    QStringList paths;
    int minimumScore = 60;

    // Puts the fields into the controls; call before showing the dialog.
    void loadFields();
    void accept() override;

    QListWidget *pathList() const { return m_list; }
    QSpinBox *scoreBox() const { return m_score; }
    QPushButton *addFileButton() const { return m_addFile; }
    QPushButton *addFolderButton() const { return m_addFolder; }
    QPushButton *removeButton() const { return m_remove; }

private:
    void addPath(const QString &path);
    void onAddFile();
    void onAddFolder();
    void onRemove();
    QString startFolder() const;

    UserPrompts &m_prompts;
    QListWidget *m_list;
    QSpinBox *m_score;
    QPushButton *m_addFile;
    QPushButton *m_addFolder;
    QPushButton *m_remove;
};
