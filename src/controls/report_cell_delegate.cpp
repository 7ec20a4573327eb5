#include "controls/report_cell_delegate.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <QWidget>

QRect ReportCellDelegate::checkBoxRect(const QStyleOptionViewItem &viewOption, const QModelIndex &index) const
{
    QStyleOptionViewItem option = viewOption;
    initStyleOption(&option, index);
    if (!(option.features & QStyleOptionViewItem::HasCheckIndicator))
        return QRect();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, widget);
}

bool ReportCellDelegate::editorEvent(QEvent *, QAbstractItemModel *, const QStyleOptionViewItem &,
                                     const QModelIndex &)
{
    return false;
}

int ReportCellDelegate::addCellMark(int column, CellMarkStyle style, std::function<QString(int row)> mark)
{
    m_marks.push_back({m_nextMark, column, style, std::move(mark)});
    return m_nextMark++;
}

void ReportCellDelegate::removeCellMark(int id)
{
    m_marks.erase(std::remove_if(m_marks.begin(), m_marks.end(), [id](const Mark &mark) { return mark.id == id; }),
                  m_marks.end());
}

QString ReportCellDelegate::cellMark(const QModelIndex &index) const
{
    QStringList texts;
    for (const Mark &mark : m_marks) {
        if (index.isValid() && index.column() == mark.column) {
            const QString text = mark.text(index.row());
            if (!text.isEmpty())
                texts.append(text);
        }
    }
    return texts.join(u'\n');
}

void ReportCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    // Small triangles in the cell's right corners, edged in the base colour
    // so that they show on any background.
    const int size = std::max(8, option.fontMetrics.height() * 2 / 3);
    const QRect cell = option.rect;
    for (const Mark &mark : m_marks) {
        if (index.column() != mark.column || mark.text(index.row()).isEmpty())
            continue;
        QPolygon triangle;
        if (mark.style.corner == CellMarkCorner::TopRight) {
            const QPoint corner(cell.right(), cell.top());
            triangle = QPolygon({corner - QPoint(size, 0), corner, corner + QPoint(0, size)});
        } else {
            const QPoint corner(cell.right(), cell.bottom());
            triangle = QPolygon({corner - QPoint(size, 0), corner, corner - QPoint(0, size)});
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(option.palette.color(QPalette::Base), 1.0));
        painter->setBrush(QColor(mark.style.colour));
        painter->drawPolygon(triangle);
        painter->restore();
    }
}

bool ReportCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    const QString mark = event->type() == QEvent::ToolTip ? cellMark(index) : QString();
    if (mark.isEmpty())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), mark, view);
    return true;
}
