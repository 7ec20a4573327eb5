#pragma once
// Status bar panes of the editor: the live counts of the shown catalogue,
// the rows shown of its strings, and the length of the translation being edited against its
// limit (red when over). Each carries its text in its accessible name, so a
// screen reader reads what is shown.

#include <QLabel>

class CCountsPane : public QLabel {
    Q_OBJECT
public:
    explicit CCountsPane(QWidget *parent = nullptr);
    // Empty hides the pane (nothing is shown in the grid).
    void setCounts(const QString &text);
};

// "showing R of N": the rows the grid shows of the shown file's strings.
class CRowsShownPane : public QLabel {
    Q_OBJECT
public:
    explicit CRowsShownPane(QWidget *parent = nullptr);
    // Empty hides the pane.
    void setRowsShown(const QString &text);
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
