#pragma once
// The Find and Replace dialog: a search text, its replacement, Match Case,
// and the buttons Replace (the next matching translation), Replace All and
// Close. The dialog only collects the values; the view does the replacing
// when a button asks for it, while the dialog stays open. It keeps its
// values from one use to the next.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class CFindReplaceDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFindReplaceDlg(QWidget *parent = nullptr);

    QString findText() const;
    QString replacement() const;
    Qt::CaseSensitivity caseSensitivity() const;

    QLineEdit *findEdit() const { return m_findEdit; }
    QLineEdit *replaceEdit() const { return m_replaceEdit; }
    QCheckBox *matchCaseBox() const { return m_matchCaseBox; }
    QPushButton *replaceButton() const { return m_replaceButton; }
    QPushButton *replaceAllButton() const { return m_replaceAllButton; }

    // Selects the search text and gives it the focus; call before showing.
    void prepare();

signals:
    void replaceRequested();
    void replaceAllRequested();

private:
    void updateButtons();

    QLineEdit *m_findEdit;
    QLineEdit *m_replaceEdit;
    QCheckBox *m_matchCaseBox;
    QPushButton *m_replaceButton;
    QPushButton *m_replaceAllButton;
};
