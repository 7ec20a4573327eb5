#pragma once
// File > Resolve Conflicts...: the conflicts a merge left in the shown file,
// one at a time. The list names each conflict and whether it is resolved;
// beside it the three versions (base, ours, theirs) and an editable text
// that starts as ours. A button takes a version or the edited text, Undo
// takes the last step back; messages go through UserPrompts.

#include "merge/merge_conflicts.h"

#include <QDialog>

class ConflictSession;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class UserPrompts;

class CResolveConflictsDlg : public QDialog {
    Q_OBJECT
public:
    CResolveConflictsDlg(ConflictSession &session, UserPrompts &prompts, QWidget *parent = nullptr);

    // What the list says of a conflict: the string (or the file's setting)
    // and what differs.
    static QString describe(const MergeConflict &conflict);

    QListWidget *conflictList() const { return m_list; }
    QPlainTextEdit *versionView(ConflictChoice version) const;
    QLineEdit *editor() const { return m_edit; }
    // The button of a choice (Edited: Use Edited Text).
    QPushButton *choiceButton(ConflictChoice choice) const;
    QPushButton *undoButton() const { return m_undo; }
    QLabel *stateLabel() const { return m_state; }

signals:
    // The last open conflict was just resolved.
    void allResolved();

private:
    void fillList();
    void showConflict();
    void choose(ConflictChoice choice);
    void selectNextOpen();

    ConflictSession &m_session;
    UserPrompts &m_prompts;
    QListWidget *m_list;
    QLabel *m_where;
    QPlainTextEdit *m_base;
    QPlainTextEdit *m_ours;
    QPlainTextEdit *m_theirs;
    QLineEdit *m_edit;
    QPushButton *m_takeBase;
    QPushButton *m_takeOurs;
    QPushButton *m_takeTheirs;
    QPushButton *m_useEdited;
    QPushButton *m_undo;
    QLabel *m_state;
};
