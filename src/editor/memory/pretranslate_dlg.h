#pragma once
// Tool > Pre-translate: asks the lowest score a suggestion needs to be put
// into an untranslated row (100: identical originals only).

#include <QDialog>

class QSpinBox;

class CPreTranslateDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPreTranslateDlg(QWidget *parent = nullptr);

    int minimumScore() const;
    QSpinBox *scoreBox() const { return m_score; }

private:
    QSpinBox *m_score;
};
