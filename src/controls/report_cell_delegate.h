#pragma once
// Paints the grid's cells the standard way but never changes them: the grid
// decides itself when a click toggles a check box, and it edits cells with
// its own in-place editor.

#include <QStyledItemDelegate>

class ReportCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Where the check box of the cell is drawn (empty when it has none).
    QRect checkBoxRect(const QStyleOptionViewItem &viewOption, const QModelIndex &index) const;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};
