#include "editor/filter/filter_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>

namespace {

struct StateChoice {
    EntryFilterState state;
    const char *text;
};

constexpr StateChoice kStates[] = {
    {EntryFilterState::All, "All"},
    {EntryFilterState::Untranslated, "Untranslated"},
    {EntryFilterState::Problems, "Problems"},
    {EntryFilterState::Misspelled, "Misspelled"},
    {EntryFilterState::Changed, "Changed"},
    {EntryFilterState::NotTranslatable, "Not to be translated"},
};

int indexOf(EntryFilterState state)
{
    for (int i = 0; i < int(std::size(kStates)); ++i) {
        if (kStates[i].state == state)
            return i;
    }
    return 0;
}

} // namespace

CFilterBar::CFilterBar(QWidget *parent)
    : QWidget(parent), m_text(new QLineEdit(this)), m_state(new QComboBox(this)), m_matchCase(new QCheckBox(this)),
      m_keys(new QCheckBox(this)), m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("FilterBar"));
    setAccessibleName(tr("Filter bar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);

    auto *label = new QLabel(tr("F&ilter:"), this);
    label->setBuddy(m_text);
    m_text->setObjectName(QStringLiteral("filterText"));
    m_text->setAccessibleName(tr("Filter text"));
    m_text->setPlaceholderText(tr("Original, translation or key"));
    m_text->setClearButtonEnabled(true);

    auto *stateLabel = new QLabel(tr("Sho&w:"), this);
    stateLabel->setBuddy(m_state);
    m_state->setObjectName(QStringLiteral("filterState"));
    m_state->setAccessibleName(tr("Show"));
    for (const StateChoice &choice : kStates)
        m_state->addItem(tr(choice.text), int(choice.state));
    setMisspelledAvailable(false);

    m_matchCase->setText(tr("Match &Case"));
    m_matchCase->setObjectName(QStringLiteral("filterMatchCase"));
    m_keys->setText(tr("&Keys"));
    m_keys->setObjectName(QStringLiteral("filterKeys"));
    m_keys->setToolTip(tr("Look for the text in the strings' keys too"));

    m_close->setObjectName(QStringLiteral("filterClose"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    m_close->setAccessibleName(tr("Close filter bar"));
    m_close->setToolTip(tr("Close the filter bar (Esc)"));

    layout->addWidget(label);
    layout->addWidget(m_text, 1);
    layout->addWidget(stateLabel);
    layout->addWidget(m_state);
    layout->addWidget(m_matchCase);
    layout->addWidget(m_keys);
    layout->addWidget(m_close);

    m_typingPause.setSingleShot(true);
    m_typingPause.setInterval(kTypingPauseMs);
    connect(&m_typingPause, &QTimer::timeout, this, &CFilterBar::filterChanged);
    connect(m_text, &QLineEdit::textChanged, this, [this] {
        if (!m_clearing)
            m_typingPause.start();
    });
    connect(m_text, &QLineEdit::returnPressed, this, &CFilterBar::flush);
    auto applyNow = [this] {
        if (m_clearing)
            return;
        m_typingPause.stop();
        emit filterChanged();
    };
    connect(m_state, &QComboBox::currentIndexChanged, this, applyNow);
    connect(m_matchCase, &QCheckBox::toggled, this, applyNow);
    connect(m_keys, &QCheckBox::toggled, this, applyNow);
    connect(m_close, &QToolButton::clicked, this, &CFilterBar::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &CFilterBar::escape);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
}

QString CFilterBar::text() const { return m_text->text(); }

EntryFilterState CFilterBar::state() const { return EntryFilterState(m_state->currentData().toInt()); }

bool CFilterBar::matchCase() const { return m_matchCase->isChecked(); }

bool CFilterBar::matchKeys() const { return m_keys->isChecked(); }

bool CFilterBar::isClear() const { return m_text->text().isEmpty() && state() == EntryFilterState::All; }

void CFilterBar::clear()
{
    m_clearing = true;
    m_text->clear();
    m_state->setCurrentIndex(indexOf(EntryFilterState::All));
    m_clearing = false;
    m_typingPause.stop();
    emit filterChanged();
}

void CFilterBar::setState(EntryFilterState state) { m_state->setCurrentIndex(indexOf(state)); }

void CFilterBar::setMisspelledAvailable(bool available)
{
    auto *model = qobject_cast<QStandardItemModel *>(m_state->model());
    QStandardItem *item = model ? model->item(indexOf(EntryFilterState::Misspelled)) : nullptr;
    if (!item)
        return;
    item->setEnabled(available);
    item->setToolTip(available ? QString() : tr("Available when spelling is checked"));
    if (!available && state() == EntryFilterState::Misspelled)
        setState(EntryFilterState::All);
}

bool CFilterBar::isMisspelledAvailable() const
{
    const auto *model = qobject_cast<const QStandardItemModel *>(m_state->model());
    const QStandardItem *item = model ? model->item(indexOf(EntryFilterState::Misspelled)) : nullptr;
    return item && item->isEnabled();
}

void CFilterBar::focusText()
{
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void CFilterBar::flush()
{
    if (!m_typingPause.isActive())
        return;
    m_typingPause.stop();
    emit filterChanged();
}

void CFilterBar::escape()
{
    if (isClear() && !m_typingPause.isActive())
        close();
    else
        clear();
}

void CFilterBar::close()
{
    if (!isClear() || m_typingPause.isActive())
        clear();
    hide();
    emit closed();
}
