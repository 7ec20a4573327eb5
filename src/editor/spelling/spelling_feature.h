#pragma once
// Spelling in the editor: the session is started for each catalogue shown
// and told of every entry that changes; the grid marks the translations
// holding a misspelled word, the in-place editor underlines them as they
// are typed and offers suggestions, Add to Dictionary and Ignore in its
// context menu, and Next/Previous Misspelling (F7, Shift+F7) move between
// marked rows. The dictionary of a file is chosen in Tool > Settings.

#include "catalogue/entry_navigation.h"
#include "editor/core/rendaro_view.h"

#include <QObject>

class CommandActions;
class CUnderlinedLineEdit;
class QAction;
class QMenu;
class QSettings;
class SpellingSession;
struct StringEntry;

class SpellingFeature : public QObject {
    Q_OBJECT
public:
    SpellingFeature(CRendaroView &view, CommandActions *commands);
    ~SpellingFeature() override;

    // Turns spelling on, each file's dictionary choice kept in `settings`
    // (the main window's); without settings no spelling is checked.
    void setSpellingSettings(QSettings *settings);
    SpellingSession *spelling() const { return m_spelling; }
    // Whether the entry's translation holds a misspelled word, as far as
    // the check has come; misspellingsChanged() says when that changes.
    bool isMisspelled(const StringEntry *entry) const;
    void OnNextMisspelling();
    void OnPreviousMisspelling();
    // The dictionary in use or why spelling is off (the status bar's text).
    QString spellingStatus() const;
    // ", S misspelled" for the counts while spelling is on.
    QString countsPart() const;

signals:
    // Entries became misspelled or correct (isMisspelled).
    void misspellingsChanged();
    void spellingStatusChanged(const QString &text);

private:
    void restartSpelling();
    void entriesChanged(const ShownEntryChanges &changes);
    void underlineMisspellings();
    void addSpellingActions(QMenu *menu, QAction *first, int position);
    bool handleSpellingKey(QKeyEvent *event, bool isShortcutOverride);
    QString misspellingMark(int row) const;
    void navigateMisspelling(SearchDirection direction);
    void updateCommandStates();

    CRendaroView &m_view;
    CommandActions *m_commands;
    SpellingSession *m_spelling;
    CUnderlinedLineEdit *m_spellEditor;
    int m_markId = 0;  // the grid's mark of misspelled translations
};
