#pragma once
// A single-line editor that draws a wavy red line under given stretches of
// its text (misspelled words, say), after the standard painting, and lets
// its owner put actions of its own at the top of the standard context menu.
// Notes about the text (its misspelled words, its warnings), each kept under
// the name of who gave it, are read out as its accessible description and
// shown as its tooltip, one a line. It knows nothing of what they mean.

#include <QLineEdit>
#include <QList>
#include <QMap>

class QMenu;

class CUnderlinedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    struct Stretch {
        int start = 0;  // text positions
        int length = 0;
        bool operator==(const Stretch &other) const = default;
    };

    explicit CUnderlinedLineEdit(QWidget *parent = nullptr);

    void setUnderlines(const QList<Stretch> &stretches);
    // The note of one source (empty: none); the others stay.
    void setNote(const QString &source, const QString &note);
    QString note(const QString &source) const { return m_notes.value(source); }
    const QList<Stretch> &underlines() const { return m_underlines; }
    // Where the line under a stretch is drawn, in the editor's coordinates
    // (clipped to the text area; empty when scrolled out of sight), as of
    // the last paint: QLineEdit settles its scrolling when it paints.
    QRect underlineRect(const Stretch &stretch) const;

    // The standard context menu, with aboutToShowContextMenu's additions,
    // for the text position `position` (the word clicked on, or the cursor
    // when the menu is asked for by keyboard). The caller owns it.
    QMenu *createContextMenu(int position);

signals:
    // Emitted (directly) while a context menu is made: actions inserted
    // before `first` come above the standard ones.
    void aboutToShowContextMenu(QMenu *menu, QAction *first, int position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    int xOfPosition(int position) const;
    QRect textArea() const;

    QList<Stretch> m_underlines;
    QMap<QString, QString> m_notes;  // by source, in the order of their names
};
