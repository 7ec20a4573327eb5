#include "app/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace {

// Draws the icon on a 64 x 64 grid scaled to `size`.
QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(Qt::NoPen);
    auto rounded = [&painter](QRectF rect, qreal radius, QColor colour) {
        painter.setBrush(colour);
        painter.drawRoundedRect(rect, radius, radius);
    };
    rounded({2, 2, 60, 60}, 12, QColor(0x2f, 0x6d, 0xb5));
    const QColor cards[2] = {QColor(0xff, 0xff, 0xff), QColor(0xff, 0xf1, 0xcc)};
    const QColor lines[2] = {QColor(0x8d, 0x9c, 0xb0), QColor(0xe0, 0x74, 0x1c)};
    const qreal lineWidths[4] = {13, 10, 13, 7};
    for (int card = 0; card < 2; ++card) {
        const qreal x = card == 0 ? 8 : 36;
        rounded({x, 13, 21, 38}, 3, cards[card]);
        for (int line = 0; line < 4; ++line)
            rounded({x + 4, 19.0 + 7 * line, lineWidths[line], 3}, 1.5, lines[card]);
    }
    painter.setBrush(Qt::white);
    const QPointF arrow[3] = {{30, 27}, {35, 32}, {30, 37}};
    painter.drawPolygon(arrow, 3);
    return pixmap;
}

} // namespace

QIcon rendaroIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawIcon(size));
    return icon;
}
