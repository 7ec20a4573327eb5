#pragma once
// Tool > Add Term...: a new glossary entry (source term, target terms
// parted by "|", note, status) and the glossary file it is added to. The
// original and the translation are shown read-only: words selected in them
// become the source and target terms. Browse asks for a new or another
// file through the UserPrompts.

#include "glossary/glossary.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class UserPrompts;

class CAddTermDlg : public QDialog {
    Q_OBJECT
public:
    CAddTermDlg(UserPrompts &prompts, const QString &original, const QString &translation, QWidget *parent = nullptr);

    void setEntry(const GlossaryEntry &entry);
    GlossaryEntry entry() const;
    // The files offered (`chosen` selected); Browse adds to them.
    void setFiles(const QStringList &files, const QString &chosen);
    QString file() const;

    QLineEdit *originalEdit() const { return m_original; }
    QLineEdit *translationEdit() const { return m_translation; }
    QLineEdit *sourceEdit() const { return m_source; }
    QLineEdit *targetEdit() const { return m_target; }
    QLineEdit *noteEdit() const { return m_note; }
    QComboBox *statusChoice() const { return m_status; }
    QComboBox *fileChoice() const { return m_file; }
    QPushButton *browseButton() const { return m_browse; }
    QPushButton *okButton() const { return m_ok; }

private:
    void browse();
    void updateOk();

    UserPrompts &m_prompts;
    QLineEdit *m_original;
    QLineEdit *m_translation;
    QLineEdit *m_source;
    QLineEdit *m_target;
    QLineEdit *m_note;
    QComboBox *m_status;
    QComboBox *m_file;
    QPushButton *m_browse;
    QPushButton *m_ok;
};
