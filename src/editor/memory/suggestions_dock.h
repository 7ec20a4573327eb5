#pragma once
// The Suggestions pane: a dock under the grid listing the translation
// memory's suggestions for the selected row, best first. Each item shows
// the score, the translation, the memory's original (the words differing
// from the row's original marked), the file, and why the checks would
// refuse it for the row when they would; its accessible name is
// "92%: <translation>". A double-click or Enter on an item asks for it to
// be used (the view does that, as Ctrl+1 ... Ctrl+5 do).

#include "memory/text_diff.h"

#include <QDockWidget>
#include <vector>

class QLabel;
class QListWidget;

// One suggestion as the pane shows it.
struct SuggestionItem {
    int score = 0;
    QString translation;
    QString original;                 // the memory's original
    std::vector<TextRange> differences;  // of `original` from the row's original
    QString file;                     // the file's name
    QString details;                  // tool tip: the files' paths and the keys
    QString problem;                  // why the checks would refuse it for the row; empty: they pass
};

class CSuggestionsDock : public QDockWidget {
    Q_OBJECT
public:
    // Item data beyond the display text (the translation).
    enum Role { ScoreRole = Qt::UserRole + 1, OriginalRole, DifferencesRole, FileRole, ProblemRole };

    explicit CSuggestionsDock(QWidget *parent = nullptr);

    // The suggestions for the selected row; `note` is shown above them
    // ("No suggestions." and the like when there are none).
    void showSuggestions(const std::vector<SuggestionItem> &items, const QString &note);
    QListWidget *list() const { return m_list; }
    QLabel *noteLabel() const { return m_note; }

signals:
    // The item at `index` (0 is the best) was chosen.
    void suggestionChosen(int index);

private:
    QListWidget *m_list;
    QLabel *m_note;
};
