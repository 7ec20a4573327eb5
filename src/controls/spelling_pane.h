#pragma once
// The status bar pane of spelling: the dictionary in use ("Spelling:
// de_DE"), or why spelling is off and where to get the dictionary. Its
// accessible name is its text.

#include <QLabel>

class CSpellingPane : public QLabel {
    Q_OBJECT
public:
    explicit CSpellingPane(QWidget *parent = nullptr);
    // Empty hides the pane (nothing shown, or no spelling offered).
    void setStatus(const QString &text);
};
