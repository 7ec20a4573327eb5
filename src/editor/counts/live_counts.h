#pragma once
// The live counts for the status bar: "N strings, M untranslated, K
// problems" for the shown catalogue (the merged strings of a language
// folder), brought up to date after every change from the core's check
// state, with parts other features add (", S misspelled"); and, while a
// translation is edited in place, its length against the length limit.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class CRendaroView;

class LiveCounts : public QObject {
    Q_OBJECT
public:
    explicit LiveCounts(CRendaroView &view);

    // "N strings, M untranslated, K problems" and the added parts; empty
    // with no catalogue shown.
    QString countsText() const;
    // A part appended to the text while something is shown; refresh() when
    // it changes.
    void addPart(std::function<QString()> part) { m_parts.push_back(std::move(part)); }
    void refresh();

signals:
    void countsChanged(const QString &text);
    // The translation being edited in place is `length` characters long and
    // may be `maximum` long; a negative length: no translation is edited.
    void editLengthChanged(qsizetype length, qsizetype maximum);

private:
    void updateEditLength();

    CRendaroView &m_view;
    std::vector<std::function<QString()>> m_parts;
};
