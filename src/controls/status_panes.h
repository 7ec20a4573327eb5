#pragma once
// Status bar panes of the editor: the live counts of the shown catalogue,
// the rows shown of its strings, the spelling dictionary, and the length of the translation being edited against its
// limit (red when over). Each carries its text in its accessible name, so a
// screen reader reads what is shown.

#include <QLabel>

// A pane showing one text, hidden while the text is empty.
class CTextPane : public QLabel {
    Q_OBJECT
public:
    CTextPane(const QString &objectName, const QString &description, QWidget *parent);
    // Empty hides the pane. A text too long for a narrow status bar is
    // shown briefly, its whole in the tooltip (and read by screen readers).
    void showText(const QString &text, const QString &whole = QString());
};

// The live counts; empty while nothing is shown in the grid.
class CCountsPane : public CTextPane {
    Q_OBJECT
public:
    explicit CCountsPane(QWidget *parent = nullptr);
};

// "showing R of N": the rows the grid shows of the shown file's strings.
class CRowsShownPane : public CTextPane {
    Q_OBJECT
public:
    explicit CRowsShownPane(QWidget *parent = nullptr);
};

// The spelling dictionary in use ("Spelling: de_DE"), or why spelling is
// off and where to get the dictionary; empty when no spelling is offered.
class CSpellingPane : public CTextPane {
    Q_OBJECT
public:
    explicit CSpellingPane(QWidget *parent = nullptr);
};

class CEditLengthPane : public QLabel {
    Q_OBJECT
public:
    explicit CEditLengthPane(QWidget *parent = nullptr);
    // "L of MAX characters", red when length exceeds maximum; a negative
    // length hides the pane (no translation is being edited). A maximum of
    // INT_MAX or more means no limit.
    void showLength(qsizetype length, qsizetype maximum);
    bool isOver() const { return m_over; }

private:
    bool m_over = false;
};
