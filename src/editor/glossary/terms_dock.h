#pragma once
// View > Terms: the glossary terms of the selected string, a line each:
// the source term, its target terms (those Alt+1 ... Alt+9 insert carry
// their key), the note and the status. A note above the list says when
// there is no glossary, no term, or a glossary could not be read. Each
// line's accessible text reads it as a sentence.

#include <QDockWidget>
#include <vector>

class QLabel;
class QTreeWidget;

class CTermsDock : public QDockWidget {
    Q_OBJECT
public:
    struct Line {
        QString source;
        QStringList targets;
        QList<int> keys;  // the Alt+N of each target, 0: none (a forbidden word)
        QString note;
        QString status;
    };

    explicit CTermsDock(QWidget *parent = nullptr);

    void showTerms(const std::vector<Line> &lines, const QString &note);
    QTreeWidget *termList() const { return m_list; }
    QLabel *note() const { return m_note; }
    // The text of a line's cell, as shown.
    QString cellText(int line, int column) const;

private:
    QLabel *m_note;
    QTreeWidget *m_list;
};
