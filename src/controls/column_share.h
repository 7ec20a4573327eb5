#pragma once
// Keeps the first column of a two-column table at its share of the
// viewport's width (half at first, then what the user drags it to) while
// the last column stretches over the rest, so the table never needs a
// horizontal scroll bar of its own making.

#include <QList>
#include <QObject>

class QTableView;

class ColumnShare : public QObject {
    Q_OBJECT
public:
    explicit ColumnShare(QTableView &table);

    // Both columns' widths; setting them sets the share and fits the columns.
    QList<int> widths() const;
    void setWidths(const QList<int> &widths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();

    QTableView &m_table;
    double m_firstShare = 0.5;
    bool m_fitting = false;
};
