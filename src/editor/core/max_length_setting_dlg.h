#pragma once
// The Settings dialog: how many times longer than its original a translation
// may be (1 to 10) and the placeholder style of the file (C++ or QT). OK
// takes the values only when the ratio is a number in range; otherwise it
// says so and the dialog stays open on the ratio. With spelling offered, it
// also chooses the file's spelling dictionary: the one its name gives, none,
// or any installed.

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class UserPrompts;

class CMaxLengthSettingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMaxLengthSettingDlg(UserPrompts &prompts, QWidget *parent = nullptr);

    float ratio = 2.0f;
    int codeLanguage = 0;  // 0 C++, 1 QT (the catalogue's codeType)
    // Spelling (shown when spellingOffered): the choice is empty for the
    // dictionary of the file's name (nameDictionary, empty when the name
    // gives none), kSpellingChoiceOff for none, else a dictionary.
    bool spellingOffered = false;
    QStringList dictionaries;
    QString nameDictionary;
    QString dictionaryChoice;

    // Puts the fields into the controls; call before showing the dialog.
    void loadFields();
    void accept() override;

    QLineEdit *ratioEdit() const { return m_ratioEdit; }
    QRadioButton *cppButton() const { return m_cppButton; }
    QRadioButton *qtButton() const { return m_qtButton; }
    QComboBox *dictionaryBox() const { return m_dictionaryBox; }

private:
    UserPrompts &m_prompts;
    QLineEdit *m_ratioEdit;
    QRadioButton *m_cppButton;
    QRadioButton *m_qtButton;
    QGroupBox *m_spellingBox;
    QComboBox *m_dictionaryBox;
};
