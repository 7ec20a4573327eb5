#include "controls/report_cell_delegate.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
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

int ReportCellDelegate::addCellUnderlines(int column, QRgb colour,
                                          std::function<QList<CellUnderline>(int row)> underlines)
{
    m_underlines.push_back({m_nextMark, column, colour, std::move(underlines)});
    return m_nextMark++;
}

void ReportCellDelegate::removeCellUnderlines(int id)
{
    std::erase_if(m_underlines, [id](const Underlines &underlines) { return underlines.id == id; });
}

QList<CellUnderline> ReportCellDelegate::cellUnderlines(const QModelIndex &index) const
{
    QList<CellUnderline> all;
    for (const Underlines &underlines : m_underlines) {
        if (index.isValid() && index.column() == underlines.column)
            all.append(underlines.stretches(index.row()));
    }
    return all;
}

// As QCommonStyle lays out an item's text: one line in the text rectangle
// less the focus frame's margin, centred vertically, elided at the right.
QRect ReportCellDelegate::underlineRect(const QStyleOptionViewItem &viewOption, const QModelIndex &index,
                                        const CellUnderline &underline) const
{
    QStyleOptionViewItem option = viewOption;
    initStyleOption(&option, index);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    text.adjust(margin, 0, -margin, 0);
    QString shown = option.text;
    shown.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(shown, option.font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return QRect();
    const QFontMetrics metrics(option.font);
    int right = text.right();
    if (line.naturalTextWidth() > text.width())
        right -= metrics.horizontalAdvance(QChar(0x2026));  // the ellipsis stands there
    const int from = text.left() + qRound(line.cursorToX(underline.start));
    const int to = text.left() + qRound(line.cursorToX(underline.start + underline.length)) - 1;
    const int top = text.top() + (text.height() - metrics.height()) / 2;
    const int baseline = top + metrics.ascent();
    const QRect under(QPoint(std::max(from, text.left()), baseline + 1), QPoint(std::min(to, right), baseline + 2));
    return under.width() > 0 ? under : QRect();
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
    for (const CellUnderline &underline : cellUnderlines(index)) {
        if (!underline.toolTip.isEmpty() && !texts.contains(underline.toolTip))
            texts.append(underline.toolTip);
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
    for (const Underlines &underlines : m_underlines) {
        if (index.column() != underlines.column)
            continue;
        const QList<CellUnderline> stretches = underlines.stretches(index.row());
        const QColor colour = option.state & QStyle::State_Selected
                                  ? option.palette.color(QPalette::HighlightedText)
                                  : QColor(underlines.colour);
        for (const CellUnderline &underline : stretches) {
            const QRect line = underlineRect(option, index, underline);
            if (!line.isEmpty())
                painter->fillRect(line, colour);
        }
    }
}

bool ReportCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip) {
        // Over an underlined stretch: what it means.
        for (const CellUnderline &underline : cellUnderlines(index)) {
            const QRect line = underlineRect(option, index, underline);
            if (!line.isEmpty() && !underline.toolTip.isEmpty() && event->pos().x() >= line.left()
                && event->pos().x() <= line.right()) {
                QToolTip::showText(event->globalPos(), underline.toolTip, view);
                return true;
            }
        }
    }
    QStringList marks;
    for (const Mark &mark : m_marks) {
        if (event->type() == QEvent::ToolTip && index.column() == mark.column && !mark.text(index.row()).isEmpty())
            marks.append(mark.text(index.row()));
    }
    const QString mark = marks.join(u'\n');
    if (mark.isEmpty())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), mark, view);
    return true;
}
