#pragma once
// View > Preview: the dialog or menu showing the selected string, drawn as
// the program shows it with the current translations (PreviewFeature gives
// the pictures), a choice of where when several dialogs show the string,
// and a list of the controls as screen readers read them ("Löschen: fits",
// "Alle Einträge löschen: 8 px too wide"). Clicking a control, or
// activating its line, asks for its string to be selected.

#include <QDockWidget>
#include <QImage>
#include <QLabel>
#include <vector>

class QComboBox;
class QListWidget;
class QScrollArea;

// The picture at its pixel size (never scaled: a scaled picture would not
// show what fits); a label, so screen readers meet it as a picture named
// by the dialog.
class CPreviewCanvas : public QLabel {
    Q_OBJECT
public:
    explicit CPreviewCanvas(QWidget *parent = nullptr);
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

signals:
    void clicked(QPoint at);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
};

class CPreviewDock : public QDockWidget {
    Q_OBJECT
public:
    explicit CPreviewDock(QWidget *parent = nullptr);

    QComboBox *placeChoice() const { return m_choice; }
    CPreviewCanvas *canvas() const { return m_canvas; }
    QListWidget *controlList() const { return m_list; }
    QLabel *note() const { return m_note; }
    QLabel *summary() const { return m_summary; }

    // The places to choose from (the names of dialogs and menus), `chosen`
    // selected; no signal is sent.
    void setPlaces(const QStringList &names, int chosen);
    // A note in place of a picture: nothing linked, the string shown
    // nowhere, a program that cannot be read.
    void showNote(const QString &text);
    // The picture of `name`, with a line per control (misfits marked) and
    // `current` selected in the list.
    void showPicture(const QImage &picture, const QString &name, const QString &summary, const QStringList &lines,
                     const std::vector<bool> &misfits, int current);

signals:
    void placeChosen(int index);
    void controlClicked(QPoint at);
    void lineActivated(int index);
    void visibleNow();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QComboBox *m_choice;
    QLabel *m_summary;
    QLabel *m_note;
    QScrollArea *m_scroll;
    CPreviewCanvas *m_canvas;
    QListWidget *m_list;
};
