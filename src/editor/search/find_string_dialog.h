#pragma once
// The Find dialog: a search text and "Match Case". One dialog serves every
// search, so both keep their last values; OK takes the controls' values,
// Cancel leaves them as they were.

#include <QDialog>

class QCheckBox;
class QLineEdit;

class CFindString : public QDialog {
    Q_OBJECT
public:
    explicit CFindString(QWidget *parent = nullptr);

    QString text;
    bool matchCase = false;

    QLineEdit *textEdit() const { return m_textEdit; }
    QCheckBox *matchCaseBox() const { return m_matchCaseBox; }

    // Puts the fields into the controls; call before showing the dialog.
    void loadFields();

    void accept() override;

private:
    QLineEdit *m_textEdit;
    QCheckBox *m_matchCaseBox;
};
