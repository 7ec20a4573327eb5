#pragma once
// Paints the grid's cells the standard way but never changes them: the grid
// decides itself when a click toggles a check box, and it edits cells with
// its own in-place editor. Cells of one column may carry a small mark in
// their top right corner, with a tooltip saying what it means.

#include <QStyledItemDelegate>
#include <functional>

class ReportCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Where the check box of the cell is drawn (empty when it has none).
    QRect checkBoxRect(const QStyleOptionViewItem &viewOption, const QModelIndex &index) const;

    // The mark's text for a row of `column`; empty: no mark.
    void setCellMark(int column, std::function<QString(int row)> mark);
    QString cellMark(const QModelIndex &index) const;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    int m_markColumn = -1;
    std::function<QString(int row)> m_mark;
};
