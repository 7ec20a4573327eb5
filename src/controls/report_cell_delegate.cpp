#include "controls/report_cell_delegate.h"

#include <QApplication>
#include <QStyle>
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
