#pragma once
// Tool > Program Resources...: the program (EXE or DLL) and resource header
// the shown language file or folder translates. Browse asks through the
// UserPrompts; Clear empties both (the link is taken away on OK). What the
// project table gives, when it gives something, is said.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class UserPrompts;

class CProgramResourcesDlg : public QDialog {
    Q_OBJECT
public:
    CProgramResourcesDlg(UserPrompts &prompts, const QString &shownPath, QWidget *parent = nullptr);

    void setLink(const QString &program, const QString &header);
    // What applies when nothing is set here (the project table's link).
    void setFallback(const QString &text);
    QString program() const;
    QString header() const;

    QLineEdit *programEdit() const { return m_program; }
    QLineEdit *headerEdit() const { return m_header; }
    QPushButton *browseProgramButton() const { return m_browseProgram; }
    QPushButton *browseHeaderButton() const { return m_browseHeader; }
    QPushButton *clearButton() const { return m_clear; }
    QLabel *fallbackLabel() const { return m_fallback; }

private:
    void browse(QLineEdit *edit, const QString &caption, const QString &filter);

    UserPrompts &m_prompts;
    QLineEdit *m_program;
    QLineEdit *m_header;
    QPushButton *m_browseProgram;
    QPushButton *m_browseHeader;
    QPushButton *m_clear;
    QLabel *m_fallback;
};
