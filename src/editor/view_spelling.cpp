// Spelling in the view: the session is started for each catalogue shown and
// told of every entry that changes; the grid marks the translations holding
// a misspelled word, the in-place editor underlines them as they are typed
// and offers suggestions, Add to Dictionary and Ignore in its context menu,
// and Next/Previous Misspelling (F7, Shift+F7) move between marked rows.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "controls/underlined_line_edit.h"
#include "editor/spelling_session.h"

#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

void CRendaroView::setupSpelling()
{
    m_spelling = new SpellingSession(this);
    m_spellEditor = new CUnderlinedLineEdit;
    m_grid->SetEditor(m_spellEditor);
    m_grid->SetCellMark(1, [this](int row) { return misspellingMark(row); });
    connect(m_spellEditor, &QLineEdit::textChanged, this, &CRendaroView::underlineMisspellings);
    connect(m_grid, &CReportCtrl::editingChanged, this, &CRendaroView::underlineMisspellings);
    connect(m_spellEditor, &CUnderlinedLineEdit::aboutToShowContextMenu, this, &CRendaroView::addSpellingActions);
    connect(m_spelling, &SpellingSession::misspellingsChanged, this, [this] {
        m_grid->MarksChanged();
        underlineMisspellings();
        emit countsChanged(countsText());
        emit misspellingsChanged();
        // Findings of the background check fill the Misspelled rows as they
        // come; a row an edit changed stays until the filter is applied
        // again, as with the other states.
        if (m_spelling->isChecking())
            followMisspellingsInFilter();
        else
            m_misspelledStale = true;
    });
    connect(m_spelling, &SpellingSession::checkFinished, this, &CRendaroView::followMisspellingsInFilter);
    connect(m_spelling, &SpellingSession::statusChanged, this, [this](const QString &text) {
        SetSpellingAvailable(m_spelling->isOn());
        followMisspellingsInFilter();
        emit spellingStatusChanged(text);
        emit countsChanged(countsText());  // "S misspelled" comes and goes with spelling
    });
    // A file saved under another name may be of another language.
    connect(this, &CRendaroView::fileSavedAs, this, &CRendaroView::restartSpelling);
}

void CRendaroView::setSpellingSettings(QSettings *settings)
{
    m_spelling->setSettings(settings);
    restartSpelling();
}

// A language folder's files name its language; a file names its own.
void CRendaroView::restartSpelling()
{
    if (m_spelling)  // null while the view is being built
        m_spelling->start(m_countedCatalogueId, currentPath, shownFiles());
}

void CRendaroView::spellingEntryChanged(const StringEntry &entry) { m_spelling->entryChanged(entry); }

bool CRendaroView::isMisspelled(const StringEntry *entry) const { return m_spelling->isMisspelled(entry); }

// The filter bar's Misspelled state shows the spelling check's findings. The
// set is copied only while that state is chosen (and not under an open
// in-place editor, which a new filter pass would close); otherwise it is
// brought up to date when the filter is next applied.
void CRendaroView::followMisspellingsInFilter()
{
    m_misspelledStale = true;
    if (m_filterBar->state() == EntryFilterState::Misspelled && !m_grid->isEditing())
        refreshMisspelledEntries();
}

void CRendaroView::refreshMisspelledEntries()
{
    m_misspelledStale = false;
    SetMisspelledEntries(m_spelling ? m_spelling->misspelledEntries() : EntrySet());
}

QString CRendaroView::spellingStatus() const { return m_spelling->statusText(); }

QString CRendaroView::spellingCountsText() const
{
    return m_spelling && m_spelling->isOn() ? tr(", %1 misspelled").arg(m_spelling->misspelledCount()) : QString();
}

QString CRendaroView::misspellingMark(int row) const
{
    if (m_spelling->misspelledCount() == 0)
        return QString();
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    const StringEntry *entry = catalogue ? catalogue->entries.lookup(DisplayedToOriginal(row)) : nullptr;
    const QStringList words = m_spelling->misspelledWords(entry);
    return words.isEmpty() ? QString() : tr("Misspelled: %1").arg(words.join(QStringLiteral(", ")));
}

// The editor's text is checked as it changes; its misspelled words are
// underlined and named in its accessible description.
void CRendaroView::underlineMisspellings()
{
    QList<CUnderlinedLineEdit::Stretch> stretches;
    QStringList words;
    if (m_grid->isEditing() && m_grid->editColumn() == 1) {
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
void CRendaroView::addSpellingActions(QMenu *menu, QAction *first, int position)
{
    if (!m_grid->isEditing() || m_grid->editColumn() != 1)
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
            ask(tr("Can not add \"%1\" to the dictionary.\n\n%2").arg(clicked.word, error), PromptIcon::Exclamation,
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

void CRendaroView::OnNextMisspelling() { navigateMisspelling(SearchDirection::Forward); }
void CRendaroView::OnPreviousMisspelling() { navigateMisspelling(SearchDirection::Backward); }

// As Next Problem: an open edit is committed first (a refused one keeps its
// row), rows the filter hides are no candidates, and the search wraps. The
// rows spelling marks are translated ones, which Hide Translated Item hides:
// when it hides every marked row, it is switched off (as Select in Grid of
// the consistency report does) and the search goes on from the same entry.
void CRendaroView::navigateMisspelling(SearchDirection direction)
{
    if (m_grid->GetItemCount() == 0)
        return;
    if (!m_spelling->isOn()) {
        emit statusMessage(m_spelling->statusText().isEmpty() ? tr("Spelling is off.") : m_spelling->statusText());
        return;
    }
    m_grid->EndEdit(true);
    if (m_grid->isEditing())
        return;
    auto misspelled = [this](const StringEntry &entry) { return m_spelling->isMisspelled(&entry); };
    EntrySearchResult found = FindEntry(shownEntries(), m_grid->FirstSelectedRow(), direction, misspelled);
    bool filterOff = false;
    if (found.position < 0 && hideTranslated && m_spelling->misspelledCount() > 0) {
        const int selected = m_grid->FirstSelectedRow();
        const QString from = selected >= 0 ? DisplayedToOriginal(selected) : QString();
        hideTranslated = false;
        RefreshGrid();
        updateCommandStates();
        filterOff = true;
        found = FindEntry(shownEntries(), from.isNull() ? -1 : rowOfOriginal(from), direction, misspelled);
    }
    if (found.position < 0) {
        emit statusMessage(m_spelling->isChecking() ? tr("No misspelled word found so far; spelling is still being checked.")
                                                    : tr("No misspelled word."));
        return;
    }
    const int row = int(found.position);
    m_grid->EnsureVisible(row);
    m_grid->SelectOnly(row);
    m_grid->setFocus(Qt::OtherFocusReason);
    if (filterOff)
        emit statusMessage(tr("Hide Translated Item was switched off to show the misspelled translations."));
    else if (!found.wrapped)
        emit statusMessage(QString());
    else if (direction == SearchDirection::Forward)
        emit statusMessage(tr("Search wrapped to the first row."));
    else
        emit statusMessage(tr("Search wrapped to the last row."));
}

// F7 and Shift+F7 reach the view before the in-place editor, so they move on
// from an open edit too.
bool CRendaroView::handleSpellingKey(QKeyEvent *event, bool isShortcutOverride)
{
    if (event->key() != Qt::Key_F7 || m_grid->GetItemCount() == 0)
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
