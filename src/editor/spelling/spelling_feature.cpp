// Spelling in the editor: the session is started for each catalogue shown and
// told of every entry that changes; the grid marks the translations holding
// a misspelled word, the in-place editor underlines them as they are typed
// and offers suggestions, Add to Dictionary and Ignore in its context menu,
// and Next/Previous Misspelling (F7, Shift+F7) move between marked rows.

#include "editor/spelling/spelling_feature.h"

#include "catalogue/document.h"
#include "controls/underlined_line_edit.h"
#include "editor/core/command_actions.h"
#include "editor/core/found_row.h"
#include "editor/core/max_length_setting_dlg.h"
#include "spelling/dictionary_files.h"
#include "editor/spelling/spelling_session.h"

#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

SpellingFeature::SpellingFeature(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands), m_spelling(new SpellingSession(this)),
      m_spellEditor(qobject_cast<CUnderlinedLineEdit *>(view.grid()->editor()))
{
    CReportCtrl *grid = view.grid();
    // A dark red mark in the top right corner of the translation.
    m_markId = grid->AddCellMark(1, CellMarkStyle{qRgb(170, 0, 0), CellMarkCorner::TopRight},
                                 [this](int row) { return misspellingMark(row); });
    connect(m_spellEditor, &QLineEdit::textChanged, this, &SpellingFeature::underlineMisspellings);
    connect(grid, &CReportCtrl::editingChanged, this, &SpellingFeature::underlineMisspellings);
    connect(m_spellEditor, &CUnderlinedLineEdit::aboutToShowContextMenu, this, &SpellingFeature::addSpellingActions);
    connect(m_spelling, &SpellingSession::misspellingsChanged, this, [this] {
        m_view.grid()->MarksChanged();
        underlineMisspellings();
        emit misspellingsChanged();
    });
    connect(m_spelling, &SpellingSession::statusChanged, this, &SpellingFeature::spellingStatusChanged);
    // Every catalogue shown (or counted again as a whole) is checked anew;
    // a file saved under another name may be of another language.
    connect(&view, &CRendaroView::recounted, this, &SpellingFeature::restartSpelling);
    connect(&view, &CRendaroView::fileSavedAs, this, &SpellingFeature::restartSpelling);
    connect(&view, &CRendaroView::entriesChanged, this, &SpellingFeature::entriesChanged);
    // The dictionary is chosen in the Settings dialog. It belongs to the
    // user's settings, not to the file: it is no step of the undo history
    // and changes nothing to save.
    connect(&view, &CRendaroView::settingsDialogOpening, this, [this](CMaxLengthSettingDlg &dialog) {
        if (!m_spelling->isAvailable() || m_view.currentCatalogueId() < 0)
            return;
        dialog.spellingOffered = true;
        dialog.dictionaries = InstalledDictionaries();
        dialog.nameDictionary = SpellingSession::dictionaryFromNames(m_view.shownFiles());
        dialog.dictionaryChoice = m_spelling->choiceFor(m_view.currentPath());
    });
    connect(&view, &CRendaroView::settingsDialogAccepted, this, [this](const CMaxLengthSettingDlg &dialog) {
        if (dialog.spellingOffered && dialog.dictionaryChoice != m_spelling->choiceFor(m_view.currentPath())) {
            m_spelling->setChoiceFor(m_view.currentPath(), dialog.dictionaryChoice);
            restartSpelling();
        }
    });
    view.addKeyHandler(this, [this](QKeyEvent *event, bool isShortcutOverride) {
        return handleSpellingKey(event, isShortcutOverride);
    });
    if (commands) {
        commands->handle(Command::NextMisspelling, this, &SpellingFeature::OnNextMisspelling);
        commands->handle(Command::PreviousMisspelling, this, &SpellingFeature::OnPreviousMisspelling);
        connect(&view, &CRendaroView::commandStatesChanged, this, &SpellingFeature::updateCommandStates);
        updateCommandStates();
    }
}

SpellingFeature::~SpellingFeature()
{
    m_view.grid()->RemoveCellMark(m_markId);
    m_spellEditor->setUnderlines({});
}

void SpellingFeature::updateCommandStates()
{
    const bool hasRows = m_view.grid()->GetItemCount() > 0;
    m_commands->action(Command::NextMisspelling)->setEnabled(hasRows);
    m_commands->action(Command::PreviousMisspelling)->setEnabled(hasRows);
}

void SpellingFeature::setSpellingSettings(QSettings *settings)
{
    m_spelling->setSettings(settings);
    restartSpelling();
}

// A language folder's files name its language; a file names its own.
void SpellingFeature::restartSpelling()
{
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    m_spelling->start(catalogue ? catalogue->catalogueId : -1, m_view.currentPath(), m_view.shownFiles());
}

// Each entry changed (or added) is checked again at once.
void SpellingFeature::entriesChanged(const ShownEntryChanges &changes)
{
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    if (!catalogue)
        return;
    for (const ShownEntryChange &change : changes) {
        if (change.after.existed)
            if (const StringEntry *entry = catalogue->entries.lookup(change.original))
                m_spelling->entryChanged(*entry);
    }
}

bool SpellingFeature::isMisspelled(const StringEntry *entry) const { return m_spelling->isMisspelled(entry); }

QString SpellingFeature::spellingStatus() const { return m_spelling->statusText(); }

QString SpellingFeature::countsPart() const
{
    return m_spelling && m_spelling->isOn() ? tr(", %1 misspelled").arg(m_spelling->misspelledCount()) : QString();
}

QString SpellingFeature::misspellingMark(int row) const
{
    if (m_spelling->misspelledCount() == 0)
        return QString();
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    const StringEntry *entry = catalogue ? catalogue->entries.lookup(m_view.DisplayedToOriginal(row)) : nullptr;
    const QStringList words = m_spelling->misspelledWords(entry);
    return words.isEmpty() ? QString() : tr("Misspelled: %1").arg(words.join(QStringLiteral(", ")));
}

// The editor's text is checked as it changes; its misspelled words are
// underlined and named in its accessible description.
void SpellingFeature::underlineMisspellings()
{
    QList<CUnderlinedLineEdit::Stretch> stretches;
    QStringList words;
    if (m_view.grid()->isEditing() && m_view.grid()->editColumn() == 1) {
        for (const SpellWord &word : m_spelling->misspellingsIn(m_spellEditor->text())) {
            stretches.append({int(word.start), int(word.length)});
            words << word.word;
        }
    }
    m_spellEditor->setUnderlines(stretches);
    m_spellEditor->setAccessibleDescription(words.isEmpty() ? QString()
                                                            : tr("Misspelled: %1").arg(words.join(QStringLiteral(", "))));
}

// The context menu on a misspelled word: its suggestions (a click puts one
// in the word's place, its accelerator mark kept), Add to Dictionary and
// Ignore, above the standard actions.
void SpellingFeature::addSpellingActions(QMenu *menu, QAction *first, int position)
{
    if (!m_view.grid()->isEditing() || m_view.grid()->editColumn() != 1)
        return;
    const QString text = m_spellEditor->text();
    const std::vector<SpellWord> misspelled = m_spelling->misspellingsIn(text);
    const auto word = std::find_if(misspelled.begin(), misspelled.end(), [position](const SpellWord &w) {
        return position >= w.start && position <= w.start + w.length;
    });
    if (word == misspelled.end())
        return;
    const SpellWord clicked = *word;
    const QStringList suggestions = m_spelling->suggestions(clicked.word);
    for (const QString &suggestion : suggestions) {
        QAction *action = new QAction(suggestion, menu);
        connect(action, &QAction::triggered, this, [this, text, clicked, suggestion] {
            if (m_spellEditor->text() != text)
                return;  // the word is no longer where it was
            m_spellEditor->setSelection(int(clicked.start), int(clicked.length));
            m_spellEditor->insert(ReplaceWordKeepingMark(QStringView(text).mid(clicked.start, clicked.length), suggestion));
        });
        menu->insertAction(first, action);
    }
    if (suggestions.isEmpty()) {
        QAction *none = new QAction(tr("(No Suggestions)"), menu);
        none->setEnabled(false);
        menu->insertAction(first, none);
    }
    menu->insertSeparator(first);
    QAction *add = new QAction(tr("Add to Dictionary"), menu);
    connect(add, &QAction::triggered, this, [this, clicked] {
        QString error;
        if (!m_spelling->addToDictionary(clicked.word, &error))
            m_view.ask(tr("Can not add \"%1\" to the dictionary.\n\n%2").arg(clicked.word, error), PromptIcon::Exclamation,
                PromptButtons::Ok);
        underlineMisspellings();
    });
    menu->insertAction(first, add);
    QAction *ignore = new QAction(tr("Ignore"), menu);
    connect(ignore, &QAction::triggered, this, [this, clicked] {
        m_spelling->ignore(clicked.word);
        underlineMisspellings();
    });
    menu->insertAction(first, ignore);
    if (first)
        menu->insertSeparator(first);
}

void SpellingFeature::OnNextMisspelling() { navigateMisspelling(SearchDirection::Forward); }
void SpellingFeature::OnPreviousMisspelling() { navigateMisspelling(SearchDirection::Backward); }

// As Next Problem: an open edit is committed first (a refused one keeps its
// row), rows the filter hides are no candidates, and the search wraps. The
// rows spelling marks are translated ones, which Hide Translated Item hides:
// when it hides every marked row, it is switched off (as Select in Grid of
// the consistency report does) and the search goes on from the same entry.
void SpellingFeature::navigateMisspelling(SearchDirection direction)
{
    if (m_view.grid()->GetItemCount() == 0)
        return;
    if (!m_spelling->isOn()) {
        m_view.showStatus(m_spelling->statusText().isEmpty() ? tr("Spelling is off.") : m_spelling->statusText());
        return;
    }
    m_view.grid()->EndEdit(true);
    if (m_view.grid()->isEditing())
        return;
    auto misspelled = [this](const StringEntry &entry) { return m_spelling->isMisspelled(&entry); };
    EntrySearchResult found = FindEntry(m_view.rowEntries(), m_view.grid()->FirstSelectedRow(), direction, misspelled);
    bool filterOff = false;
    if (found.position < 0 && m_view.hideTranslated() && m_spelling->misspelledCount() > 0) {
        const int selected = m_view.grid()->FirstSelectedRow();
        const QString from = selected >= 0 ? m_view.DisplayedToOriginal(selected) : QString();
        m_view.setHideTranslated(false);
        filterOff = true;
        found = FindEntry(m_view.rowEntries(), from.isNull() ? -1 : m_view.rowOfOriginal(from), direction, misspelled);
    }
    if (found.position < 0) {
        m_view.showStatus(m_spelling->isChecking() ? tr("No misspelled word found so far; spelling is still being checked.")
                                                    : tr("No misspelled word."));
        return;
    }
    SelectFoundRow(m_view, found, direction,
                   filterOff ? tr("Hide Translated Item was switched off to show the misspelled translations.")
                             : QString());
}

// F7 and Shift+F7 reach the view before the in-place editor, so they move on
// from an open edit too.
bool SpellingFeature::handleSpellingKey(QKeyEvent *event, bool isShortcutOverride)
{
    if (event->key() != Qt::Key_F7 || m_view.grid()->GetItemCount() == 0)
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)
        return false;
    if (isShortcutOverride) {
        event->accept();
        return true;
    }
    navigateMisspelling(modifiers == Qt::ShiftModifier ? SearchDirection::Backward : SearchDirection::Forward);
    return true;
}
