#include "editor/conflicts/resolve_conflicts_dlg.h"

#include "editor/conflicts/conflict_session.h"
#include "editor/core/user_prompts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPlainTextEdit *versionBox(const QString &accessibleName, QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    box->setAccessibleName(accessibleName);
    box->setMaximumHeight(box->fontMetrics().lineSpacing() * 4 + 12);
    return box;
}

} // namespace

QString CResolveConflictsDlg::describe(const MergeConflict &conflict)
{
    if (conflict.kind == MergeConflict::Kind::Setting)
        return tr("The file's setting %1").arg(conflict.attribute);
    QString string = QStringLiteral("\"%1\"").arg(conflict.location.original);
    if (!conflict.location.key.isEmpty())
        string += QStringLiteral(" (%1)").arg(conflict.location.key);
    if (conflict.kind == MergeConflict::Kind::Removal)
        return tr("%1: removed on one side, changed on the other").arg(string);
    if (conflict.attribute == u"to")
        return tr("%1: the translation").arg(string);
    if (conflict.attribute == u"IsTrans")
        return tr("%1: not to be translated (IsTrans)").arg(string);
    if (conflict.attribute == u"key")
        return tr("%1: the key").arg(string);
    if (conflict.attribute == u"from")
        return tr("%1: the original").arg(string);
    return tr("%1: %2").arg(string, conflict.attribute);
}

CResolveConflictsDlg::CResolveConflictsDlg(ConflictSession &session, UserPrompts &prompts, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompts(prompts), m_list(new QListWidget(this)),
      m_where(new QLabel(this)), m_base(versionBox(tr("Base version"), this)),
      m_ours(versionBox(tr("Our version"), this)), m_theirs(versionBox(tr("Their version"), this)),
      m_edit(new QLineEdit(this)), m_takeBase(new QPushButton(tr("Take &Base"), this)),
      m_takeOurs(new QPushButton(tr("Take &Ours"), this)), m_takeTheirs(new QPushButton(tr("Take &Theirs"), this)),
      m_useEdited(new QPushButton(tr("&Use Edited Text"), this)), m_undo(new QPushButton(tr("U&ndo"), this)),
      m_state(new QLabel(this))
{
    setWindowTitle(tr("Resolve Conflicts"));
    auto *listLabel = new QLabel(tr("&Conflicts in %1:").arg(session.languageFile()), this);
    listLabel->setWordWrap(true);
    listLabel->setBuddy(m_list);
    m_list->setAccessibleName(tr("Conflicts"));
    m_list->setMinimumWidth(340);
    m_where->setWordWrap(true);
    m_where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_edit->setAccessibleName(tr("Resolved text"));
    m_edit->setMinimumWidth(360);
    m_state->setWordWrap(true);

    auto *baseLabel = new QLabel(tr("B&ase (the common version):"), this);
    baseLabel->setBuddy(m_base);
    auto *oursLabel = new QLabel(tr("Our&s (in the file now):"), this);
    oursLabel->setBuddy(m_ours);
    auto *theirsLabel = new QLabel(tr("T&heirs (the merged branch):"), this);
    theirsLabel->setBuddy(m_theirs);
    auto *editLabel = new QLabel(tr("&Resolution:"), this);
    editLabel->setBuddy(m_edit);

    for (QPushButton *button : {m_takeBase, m_takeOurs, m_takeTheirs, m_useEdited, m_undo})
        button->setAutoDefault(false);
    m_takeBase->setAccessibleDescription(tr("Resolve the conflict with the base version"));
    m_takeOurs->setAccessibleDescription(tr("Resolve the conflict with our version"));
    m_takeTheirs->setAccessibleDescription(tr("Resolve the conflict with their version"));
    m_useEdited->setAccessibleDescription(tr("Resolve the conflict with the text in Resolution"));
    m_undo->setAccessibleDescription(tr("Take the last change back"));
    connect(m_takeBase, &QPushButton::clicked, this, [this] { choose(ConflictChoice::Base); });
    connect(m_takeOurs, &QPushButton::clicked, this, [this] { choose(ConflictChoice::Ours); });
    connect(m_takeTheirs, &QPushButton::clicked, this, [this] { choose(ConflictChoice::Theirs); });
    connect(m_useEdited, &QPushButton::clicked, this, [this] { choose(ConflictChoice::Edited); });
    connect(m_edit, &QLineEdit::returnPressed, this, [this] { choose(ConflictChoice::Edited); });
    connect(m_undo, &QPushButton::clicked, this, [this] {
        m_list->setFocus();
        if (QUndoStack *stack = m_session.undoStack())
            stack->undo();
    });
    connect(m_list, &QListWidget::currentRowChanged, this, &CResolveConflictsDlg::showConflict);
    connect(&m_session, &ConflictSession::changed, this, [this] {
        fillList();
        showConflict();
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // Enter belongs to the edited text (Use Edited Text), never to Close; Esc closes.
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QGridLayout;
    form->addWidget(m_where, 0, 0, 1, 2);
    form->addWidget(baseLabel, 1, 0, 1, 2);
    form->addWidget(m_base, 2, 0);
    form->addWidget(m_takeBase, 2, 1, Qt::AlignTop);
    form->addWidget(oursLabel, 3, 0, 1, 2);
    form->addWidget(m_ours, 4, 0);
    form->addWidget(m_takeOurs, 4, 1, Qt::AlignTop);
    form->addWidget(theirsLabel, 5, 0, 1, 2);
    form->addWidget(m_theirs, 6, 0);
    form->addWidget(m_takeTheirs, 6, 1, Qt::AlignTop);
    form->addWidget(editLabel, 7, 0, 1, 2);
    form->addWidget(m_edit, 8, 0);
    form->addWidget(m_useEdited, 8, 1);
    form->setRowStretch(9, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(m_list);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(form, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_state, 1);
    bottom->addWidget(m_undo);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(bottom);
    layout->addWidget(buttons);

    fillList();
    selectNextOpen();
    m_list->setFocus();
}

QPlainTextEdit *CResolveConflictsDlg::versionView(ConflictChoice version) const
{
    switch (version) {
    case ConflictChoice::Base: return m_base;
    case ConflictChoice::Theirs: return m_theirs;
    default: return m_ours;
    }
}

QPushButton *CResolveConflictsDlg::choiceButton(ConflictChoice choice) const
{
    switch (choice) {
    case ConflictChoice::Base: return m_takeBase;
    case ConflictChoice::Ours: return m_takeOurs;
    case ConflictChoice::Theirs: return m_takeTheirs;
    case ConflictChoice::Edited: return m_useEdited;
    }
    return m_useEdited;
}

void CResolveConflictsDlg::fillList()
{
    const int current = m_list->currentRow();
    const QSignalBlocker blocker(m_list);
    if (m_list->count() != m_session.count()) {
        m_list->clear();
        for (int index = 0; index < m_session.count(); ++index)
            m_list->addItem(QString());
    }
    for (int index = 0; index < m_session.count(); ++index) {
        QString text = QStringLiteral("%1. %2").arg(index + 1).arg(describe(m_session.conflict(index)));
        if (m_session.isResolved(index))
            text += tr(" (resolved)");
        m_list->item(index)->setText(text);
    }
    if (current >= 0 && current < m_list->count())
        m_list->setCurrentRow(current);
    const int resolved = m_session.resolvedCount();
    m_state->setText(tr("%1 of %2 conflicts resolved.").arg(resolved).arg(m_session.count()));
    m_undo->setEnabled(m_session.undoStack() && m_session.undoStack()->canUndo());
}

void CResolveConflictsDlg::showConflict()
{
    const int index = m_list->currentRow();
    const bool shown = index >= 0 && index < m_session.count();
    const bool open = shown && !m_session.isResolved(index);
    const MergeConflict *conflict = shown ? &m_session.conflict(index) : nullptr;
    const bool removal = conflict && conflict->kind == MergeConflict::Kind::Removal;
    for (ConflictChoice version : {ConflictChoice::Base, ConflictChoice::Ours, ConflictChoice::Theirs}) {
        const std::optional<QString> value = shown ? m_session.shownValue(index, version) : std::nullopt;
        QPlainTextEdit *box = versionView(version);
        box->setPlainText(value.value_or(QString()));
        box->setPlaceholderText(removal ? tr("(removed)") : tr("(none)"));
    }
    const std::optional<QString> ours = shown ? m_session.shownValue(index, ConflictChoice::Ours) : std::nullopt;
    m_edit->setText(ours.value_or(QString()));
    QString where = conflict ? describe(*conflict) : QString();
    if (conflict && RouteOfConflict(*conflict) == ConflictRoute::File)
        where += tr("\nThis choice is written into the file at once (saved first) and cannot be undone.");
    if (shown && !open)
        where += tr("\nResolved.");
    m_where->setText(where);
    for (ConflictChoice choice :
         {ConflictChoice::Base, ConflictChoice::Ours, ConflictChoice::Theirs, ConflictChoice::Edited})
        choiceButton(choice)->setEnabled(open);
    m_edit->setEnabled(open);
}

void CResolveConflictsDlg::selectNextOpen()
{
    const int count = m_session.count();
    const int start = std::max(m_list->currentRow(), 0);
    for (int step = 0; step < count; ++step) {
        const int index = (start + step) % count;
        if (!m_session.isResolved(index)) {
            m_list->setCurrentRow(index);
            return;
        }
    }
    if (m_list->currentRow() < 0 && count > 0)
        m_list->setCurrentRow(0);
}

void CResolveConflictsDlg::choose(ConflictChoice choice)
{
    const int index = m_list->currentRow();
    if (index < 0 || index >= m_session.count() || m_session.isResolved(index))
        return;
    QString error;
    if (!m_session.resolve(index, choice, m_edit->text(), &error)) {
        m_prompts.message(this, error, windowTitle(), PromptIcon::Stop, PromptButtons::Ok);
        return;
    }
    if (m_session.allResolved()) {
        emit allResolved();
        return;
    }
    selectNextOpen();
    m_list->setFocus();
}
