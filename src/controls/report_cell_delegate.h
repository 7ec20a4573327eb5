#pragma once
// Paints the grid's cells the standard way but never changes them: the grid
// decides itself when a click toggles a check box, and it edits cells with
// its own in-place editor. Cells may carry small marks, each of its own
// colour in a corner of its own (a misspelling, a warning, ...), with a
// tooltip saying what they mean.

#include <QStyledItemDelegate>
#include <functional>
#include <vector>

enum class CellMarkCorner { TopRight, BottomRight };

// How one kind of mark looks.
struct CellMarkStyle {
    QRgb colour = qRgb(170, 0, 0);
    CellMarkCorner corner = CellMarkCorner::TopRight;
};

class ReportCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Where the check box of the cell is drawn (empty when it has none).
    QRect checkBoxRect(const QStyleOptionViewItem &viewOption, const QModelIndex &index) const;

    // A kind of mark for the cells of `column`: `mark` gives a row's text,
    // empty for no mark. Returns its id for removeCellMark.
    int addCellMark(int column, CellMarkStyle style, std::function<QString(int row)> mark);
    void removeCellMark(int id);
    // The texts of every mark a cell carries, one a line; empty: none.
    QString cellMark(const QModelIndex &index) const;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    struct Mark {
        int id;
        int column;
        CellMarkStyle style;
        std::function<QString(int row)> text;
    };
    std::vector<Mark> m_marks;
    int m_nextMark = 1;
};
