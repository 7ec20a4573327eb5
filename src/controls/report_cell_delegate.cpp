#include "controls/report_cell_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <QWidget>

namespace {
constexpr QRgb kCellMarkColour = qRgb(170, 0, 0);
} // namespace

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

void ReportCellDelegate::setCellMark(int column, std::function<QString(int row)> mark)
{
    m_markColumn = column;
    m_mark = std::move(mark);
}

QString ReportCellDelegate::cellMark(const QModelIndex &index) const
{
    return m_mark && index.isValid() && index.column() == m_markColumn ? m_mark(index.row()) : QString();
}

void ReportCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (cellMark(index).isEmpty())
        return;
    // A small triangle in the top right corner, edged in the base colour
    // so that it shows on any background.
    const int size = std::max(8, option.fontMetrics.height() * 2 / 3);
    const QRect cell = option.rect;
    const QPoint corner(cell.right(), cell.top());
    const QPolygon triangle({corner - QPoint(size, 0), corner, corner + QPoint(0, size)});
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(option.palette.color(QPalette::Base), 1.0));
    painter->setBrush(QColor(kCellMarkColour));
    painter->drawPolygon(triangle);
    painter->restore();
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
