#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace {

// A 16 x 16 picture drawn by `draw` on a transparent background.
template <typename Draw>
QIcon drawn(Draw draw)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void page(QPainter &painter, QRectF rect)
{
    painter.setPen(QPen(QColor(0x44, 0x4c, 0x58), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(rect);
}

QIcon cutIcon()
{
    return drawn([](QPainter &painter) {
        painter.setPen(QPen(QColor(0x44, 0x4c, 0x58), 1.3));
        painter.drawLine(QPointF(4, 1), QPointF(10.5, 10));
        painter.drawLine(QPointF(12, 1), QPointF(5.5, 10));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 1.5));
        painter.drawEllipse(QPointF(4.5, 12.5), 2.3, 2.3);
        painter.drawEllipse(QPointF(11.5, 12.5), 2.3, 2.3);
    });
}

QIcon copyIcon()
{
    return drawn([](QPainter &painter) {
        page(painter, {1.5, 1.5, 8, 10});
        page(painter, {6.5, 4.5, 8, 10});
    });
}

QIcon pasteIcon()
{
    return drawn([](QPainter &painter) {
        painter.setPen(QPen(QColor(0x6b, 0x4a, 0x2b), 1));
        painter.setBrush(QColor(0xc8, 0x93, 0x5a));
        painter.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        painter.setBrush(QColor(0x9a, 0xa3, 0xad));
        painter.drawRect(QRectF(4, 1, 5, 3));
        page(painter, {7.5, 6.5, 7, 8});
    });
}

} // namespace

QIcon toolbarIcon(Command command, const QStyle &style)
{
    switch (command) {
    case Command::FileNew: return QIcon::fromTheme(QStringLiteral("document-new"), style.standardIcon(QStyle::SP_FileIcon));
    case Command::FileOpen:
        return QIcon::fromTheme(QStringLiteral("document-open"), style.standardIcon(QStyle::SP_DialogOpenButton));
    case Command::FileSave:
        return QIcon::fromTheme(QStringLiteral("document-save"), style.standardIcon(QStyle::SP_DialogSaveButton));
    case Command::EditCut: return QIcon::fromTheme(QStringLiteral("edit-cut"), cutIcon());
    case Command::EditCopy: return QIcon::fromTheme(QStringLiteral("edit-copy"), copyIcon());
    case Command::EditPaste: return QIcon::fromTheme(QStringLiteral("edit-paste"), pasteIcon());
    case Command::AppAbout:
        return QIcon::fromTheme(QStringLiteral("help-about"), style.standardIcon(QStyle::SP_MessageBoxInformation));
    default: return QIcon();
    }
}
