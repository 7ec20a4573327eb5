#pragma once
// "Apply to...": the catalogue shown in the editor is pushed into a list of
// other language files (their missing strings, the not-to-be-translated
// marks and the file-wide settings; their translations stay). The list is
// built by hand (Add, Edit, Delete, Delete All) or by scanning a folder
// tree (Add Files...); OK applies to every row in order and reports each
// file that failed.
//
// Delete and Edit work on the row last clicked (or reached with the
// keyboard); deleting does not move that mark, so a second Delete removes
// the row that moved into its place.

#include <QDialog>
#include <QHash>

class CRendaroView;
class QPushButton;
class QTreeWidget;
class UserPrompts;

class CApplyToDlg : public QDialog {
    Q_OBJECT
public:
    // The source catalogue and the open file's path are read from `view`
    // when they are needed.
    CApplyToDlg(UserPrompts &prompts, CRendaroView &view, QWidget *parent = nullptr);

    QTreeWidget *fileList() const { return m_fileList; }
    QPushButton *button(int id) const;  // by control number: 1001 Add ... 1005 Add Files...
    QStringList rows() const;
    int selectedRow() const { return m_selectedRow; }

    void OnAdd();
    void OnAddFiles();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    // OK: applies to every row, then shows "Complete!" and closes.
    void accept() override;

private:
    void appendRow(const QString &path);
    void showSelectedRow();
    void failed(const QString &path, const QString &reason);

    UserPrompts &m_prompts;
    CRendaroView &m_view;
    QTreeWidget *m_fileList;
    int m_selectedRow = -1;
    bool m_changingRows = false;  // row changes made by the buttons move no mark
    QHash<int, QPushButton *> m_buttons;
};
