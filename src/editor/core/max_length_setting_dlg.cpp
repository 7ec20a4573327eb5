#include "editor/core/max_length_setting_dlg.h"

#include "catalogue/messages.h"
#include "spelling/spelling_languages.h"
#include "editor/core/user_prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr float kMinimumRatio = 1.0f;
constexpr float kMaximumRatio = 10.0f;

// The number typed, in the user's notation or the C notation; false when the
// text is not a number.
bool parseRatio(const QString &text, float *value)
{
    bool ok = false;
    *value = QLocale().toFloat(text.trimmed(), &ok);
    if (!ok)
        *value = QLocale::c().toFloat(text.trimmed(), &ok);
    return ok;
}

} // namespace

CMaxLengthSettingDlg::CMaxLengthSettingDlg(UserPrompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_ratioEdit(new QLineEdit(this)),
      m_cppButton(new QRadioButton(tr("C++"), this)), m_qtButton(new QRadioButton(tr("QT"), this)),
      m_spellingBox(new QGroupBox(tr("Spelling"), this)), m_dictionaryBox(new QComboBox(m_spellingBox))
{
    setWindowTitle(tr("Settings"));

    auto *lengthBox = new QGroupBox(tr("String Length Limitation"), this);
    auto *before = new QLabel(tr("All translated strings must be no longer than"), lengthBox);
    auto *after = new QLabel(tr("times the original length."), lengthBox);
    before->setBuddy(m_ratioEdit);
    m_ratioEdit->setMaximumWidth(70);
    m_ratioEdit->setAccessibleName(tr("Length ratio"));
    m_ratioEdit->setAccessibleDescription(tr("A number from 1 to 10"));
    auto *lengthLayout = new QHBoxLayout(lengthBox);
    lengthLayout->addWidget(before);
    lengthLayout->addWidget(m_ratioEdit);
    lengthLayout->addWidget(after);
    lengthLayout->addStretch();

    auto *codeBox = new QGroupBox(tr("Code Language"), this);
    auto *codeLayout = new QHBoxLayout(codeBox);
    codeLayout->addWidget(m_cppButton);
    codeLayout->addWidget(m_qtButton);
    codeLayout->addStretch();

    auto *dictionaryLabel = new QLabel(tr("&Dictionary:"), m_spellingBox);
    dictionaryLabel->setBuddy(m_dictionaryBox);
    m_dictionaryBox->setAccessibleName(tr("Spelling dictionary"));
    auto *spellingLayout = new QHBoxLayout(m_spellingBox);
    spellingLayout->addWidget(dictionaryLabel);
    spellingLayout->addWidget(m_dictionaryBox, 1);
    m_spellingBox->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lengthBox);
    layout->addWidget(codeBox);
    layout->addWidget(m_spellingBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CMaxLengthSettingDlg::loadFields()
{
    m_ratioEdit->setText(QLocale().toString(ratio, 'g', 6));
    (codeLanguage == 1 ? m_qtButton : m_cppButton)->setChecked(true);
    m_spellingBox->setVisible(spellingOffered);
    m_dictionaryBox->clear();
    m_dictionaryBox->addItem(nameDictionary.isEmpty() ? tr("From the file name (it names no language)")
                                                      : tr("From the file name (%1)").arg(nameDictionary),
                             QString());
    m_dictionaryBox->addItem(tr("Off"), kSpellingChoiceOff);
    QStringList names = dictionaries;
    if (!dictionaryChoice.isEmpty() && dictionaryChoice != kSpellingChoiceOff && !names.contains(dictionaryChoice))
        names.prepend(dictionaryChoice);  // chosen once, not installed now: still shown
    for (const QString &name : names)
        m_dictionaryBox->addItem(name, name);
    m_dictionaryBox->setCurrentIndex(std::max(0, m_dictionaryBox->findData(dictionaryChoice)));
    m_ratioEdit->selectAll();
    m_ratioEdit->setFocus();
}

void CMaxLengthSettingDlg::accept()
{
    float value = 0;
    const bool isNumber = parseRatio(m_ratioEdit->text(), &value);
    if (!isNumber || !(value >= kMinimumRatio && value <= kMaximumRatio)) {
        const QString text = isNumber ? tr("Please enter a number between %1 and %2.")
                                            .arg(QLocale().toString(kMinimumRatio), QLocale().toString(kMaximumRatio))
                                      : tr("Please enter a number.");
        m_prompts.message(this, text, messageText(MsgAppName), PromptIcon::Exclamation, PromptButtons::Ok);
        m_ratioEdit->selectAll();
        m_ratioEdit->setFocus();
        return;
    }
    ratio = value;
    codeLanguage = m_qtButton->isChecked() ? 1 : 0;
    dictionaryChoice = m_dictionaryBox->currentData().toString();
    QDialog::accept();
}
