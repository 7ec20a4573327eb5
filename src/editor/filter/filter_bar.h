#pragma once
// The quick filter bar over the grid: a text field, the state to show (All,
// Untranslated, Problems, Misspelled, Changed, Not to be translated) and the
// Match Case and Keys toggles. Typing is applied once it pauses, so that a
// keystroke never waits for the rows; the other fields apply at once. Esc
// clears a filter that is set, and closes the bar when nothing is set.

#include "catalogue/entry_filter.h"

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

class CFilterBar : public QWidget {
    Q_OBJECT
public:
    // How long typing must pause before the rows follow.
    static constexpr int kTypingPauseMs = 150;

    explicit CFilterBar(QWidget *parent = nullptr);

    QLineEdit *textField() const { return m_text; }
    QComboBox *stateChoice() const { return m_state; }
    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QCheckBox *keysBox() const { return m_keys; }

    QString text() const;
    EntryFilterState state() const;
    bool matchCase() const;
    bool matchKeys() const;
    // No text and the state All: the bar lets every row through.
    bool isClear() const;
    // Empties the text and sets the state to All (one filterChanged).
    void clear();
    void setState(EntryFilterState state);
    // The Misspelled choice is offered only while spelling is on.
    void setMisspelledAvailable(bool available);
    bool isMisspelledAvailable() const;
    // Focuses the text field with its text selected.
    void focusText();
    // A change of the text still waiting for typing to pause is applied now.
    void flush();
    bool isPending() const { return m_typingPause.isActive(); }

signals:
    // The filter changed: apply it.
    void filterChanged();
    // The bar was closed (Esc on a clear bar, or its close button): the
    // filter is clear, and focus belongs to the grid.
    void closed();

private:
    void escape();
    void close();

    QLineEdit *m_text;
    QComboBox *m_state;
    QCheckBox *m_matchCase;
    QCheckBox *m_keys;
    QToolButton *m_close;
    QTimer m_typingPause;
    bool m_clearing = false;
};
