#include "controls/underlined_line_edit.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

namespace {
constexpr QRgb kUnderlineColour = qRgb(220, 0, 0);
} // namespace

CUnderlinedLineEdit::CUnderlinedLineEdit(QWidget *parent) : QLineEdit(parent) {}

void CUnderlinedLineEdit::setNote(const QString &source, const QString &note)
{
    if (note.isEmpty())
        m_notes.remove(source);
    else
        m_notes.insert(source, note);
    const QString all = QStringList(m_notes.values()).join(u'\n');
    setAccessibleDescription(all);
    setToolTip(all);
}

void CUnderlinedLineEdit::setUnderlines(const QList<Stretch> &stretches)
{
    if (stretches == m_underlines)
        return;
    m_underlines = stretches;
    update();
}

// The widget x of a text position: the cursor's place, which QLineEdit
// knows with its scrolling and alignment, moved by the distance between
// the two positions in a layout of the same text and font.
int CUnderlinedLineEdit::xOfPosition(int position) const
{
    QTextLayout layout(displayText(), font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return 0;
    const QRect cursor = cursorRect();
    const int cursorX = (cursor.left() + cursor.right() + 1) / 2;
    return cursorX + qRound(line.cursorToX(position) - line.cursorToX(cursorPosition()));
}

QRect CUnderlinedLineEdit::textArea() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const QMargins margins = textMargins();
    return area.marginsRemoved(margins);
}

QRect CUnderlinedLineEdit::underlineRect(const Stretch &stretch) const
{
    const QRect cursor = cursorRect();
    const int baseline = cursor.top() + fontMetrics().ascent();
    const int left = xOfPosition(stretch.start);
    const int right = xOfPosition(stretch.start + stretch.length);
    const QRect line(QPoint(std::min(left, right), baseline + 1), QPoint(std::max(left, right) - 1, baseline + 3));
    return line.intersected(textArea().adjusted(0, 0, 0, 2));
}

void CUnderlinedLineEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (m_underlines.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(kUnderlineColour), 1.0));
    for (const Stretch &stretch : m_underlines) {
        const QRect line = underlineRect(stretch);
        if (line.isEmpty())
            continue;
        // A wave of period 4 between the rect's top and bottom.
        QPainterPath wave(QPointF(line.left(), line.bottom()));
        for (int x = line.left(); x < line.right(); x += 2)
            wave.lineTo(x + 2, ((x - line.left()) / 2) % 2 ? line.bottom() : line.top());
        painter.drawPath(wave);
    }
}

QMenu *CUnderlinedLineEdit::createContextMenu(int position)
{
    QMenu *menu = createStandardContextMenu();
    QAction *first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
    emit aboutToShowContextMenu(menu, first, position);
    return menu;
}

void CUnderlinedLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    const int position =
        event->reason() == QContextMenuEvent::Mouse ? cursorPositionAt(event->pos()) : cursorPosition();
    QMenu *menu = createContextMenu(position);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
