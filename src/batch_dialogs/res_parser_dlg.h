#pragma once
// "ResParser": adds the English texts of a program (an executable or DLL,
// filtered by its C++ resource header) to the catalogue shown in the editor,
// or to a new catalogue when none is shown. Texts the catalogue holds keep
// their entries; new ones get a translation equal to the original.

#include "editor/core/rendaro_view.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class UserPrompts;

class CResParserDlg : public QDialog {
    Q_OBJECT
public:
    CResParserDlg(UserPrompts &prompts, CRendaroView &view, QWidget *parent = nullptr);

    QString executablePath;
    QString headerPath;

    QLineEdit *executableEdit() const { return m_executableEdit; }
    QLineEdit *headerEdit() const { return m_headerEdit; }
    QPushButton *startButton() const { return m_startButton; }

    void OnChooseExecutable();
    void OnChooseHeader();
    // Checks the two paths (the header first), reads the program and adds
    // its texts; closes the dialog with OK when the texts were read.
    void OnStart();
    // The new string a text of the program gives (cut at a tab, line
    // breaks in memory form).
    static EntryTarget ExtractedString(const QString &text);

private:
    void readEdits();
    void writeEdits();
    void chooseFile(const QString &filter, QString &member);
    void tell(const QString &text, bool isError = false);

    UserPrompts &m_prompts;
    CRendaroView &m_view;
    QLineEdit *m_executableEdit;
    QLineEdit *m_headerEdit;
    QPushButton *m_startButton;
};
