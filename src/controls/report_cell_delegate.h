#pragma once
// Paints the grid's cells the standard way but never changes them: the grid
// decides itself when a click toggles a check box, and it edits cells with
// its own in-place editor. Cells may carry small marks, each of its own
// colour in a corner of its own (a misspelling, a warning, ...), with a
// tooltip saying what they mean, and lines under stretches of their text,
// each with its own tooltip (what the stretches mean is the owner's).

#include <QStyledItemDelegate>
#include <functional>
#include <vector>

enum class CellMarkCorner { TopRight, BottomRight };

// How one kind of mark looks.
struct CellMarkStyle {
    QRgb colour = qRgb(170, 0, 0);
    CellMarkCorner corner = CellMarkCorner::TopRight;
};

// A stretch of a cell's text to underline (text positions), and the tooltip
// shown over it.
struct CellUnderline {
    int start = 0;
    int length = 0;
    QString toolTip;
    bool operator==(const CellUnderline &other) const = default;
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
    // Lines under stretches of the text of the cells of `column`:
    // `underlines` gives a row's (none: an empty list), drawn in `colour`
    // (in the selection's text colour on a selected row). Returns its id for
    // removeCellUnderlines.
    int addCellUnderlines(int column, QRgb colour, std::function<QList<CellUnderline>(int row)> underlines);
    void removeCellUnderlines(int id);
    QList<CellUnderline> cellUnderlines(const QModelIndex &index) const;
    // Where the line under a stretch of the cell's text is drawn (empty
    // when the stretch is elided away).
    QRect underlineRect(const QStyleOptionViewItem &viewOption, const QModelIndex &index,
                        const CellUnderline &underline) const;
    // The texts of every mark a cell carries, then the tooltips of its
    // underlines, one a line; empty: none.
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
    struct Underlines {
        int id;
        int column;
        QRgb colour;
        std::function<QList<CellUnderline>(int row)> stretches;
    };
    std::vector<Mark> m_marks;
    std::vector<Underlines> m_underlines;
    int m_nextMark = 1;
};
