#include "editor/memory/suggestion_delegate.h"

#include "editor/memory/suggestions_dock.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace {

constexpr int kMargin = 4;
constexpr int kLineGap = 2;
constexpr int kColumnGap = 8;
// Items that a shortcut (Ctrl+1 ...) uses.
constexpr int kShortcutItems = 5;
const QColor kMarkColour(255, 214, 102);
const QColor kProblemColour(190, 0, 0);
// Added to a measured width, so that rounding never elides a text that fits.
constexpr int kTextSlack = 4;

// `text` from `left` on the line, the ranges marked; cut off (with an
// ellipsis) at `right`.
void drawMarked(QPainter &painter, const QFontMetrics &metrics, const QRect &line, const QString &text,
                const QVariantList &marked, const QColor &colour)
{
    struct Piece {
        QString text;
        bool marked;
    };
    std::vector<Piece> pieces;
    qsizetype at = 0;
    for (const QVariant &range : marked) {
        const QPoint r = range.toPoint();
        if (r.x() > at)
            pieces.push_back({text.mid(at, r.x() - at), false});
        pieces.push_back({text.mid(r.x(), r.y()), true});
        at = r.x() + r.y();
    }
    if (at < text.size())
        pieces.push_back({text.mid(at), false});

    QFont markedFont = painter.font();
    markedFont.setUnderline(true);
    const QFont plainFont = painter.font();
    int x = line.left();
    for (const Piece &piece : pieces) {
        const int room = line.right() - x;
        if (room <= 0)
            break;
        QString shown = piece.text;
        int width = metrics.horizontalAdvance(shown);
        if (width > room) {
            shown = metrics.elidedText(shown, Qt::ElideRight, room);
            width = metrics.horizontalAdvance(shown);
        }
        const QRect box(x, line.top(), width, line.height());
        if (piece.marked) {
            painter.fillRect(box, kMarkColour);
            painter.setPen(Qt::black);
            painter.setFont(markedFont);
        } else {
            painter.setPen(colour);
            painter.setFont(plainFont);
        }
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        x += width;
    }
    painter.setFont(plainFont);
}

} // namespace

void CSuggestionDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                            : QPalette::Inactive;
    const QColor text = opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    QColor dim = text;
    dim.setAlphaF(0.7f);

    painter->save();
    const QFontMetrics metrics(opt.font);
    const QRect area = opt.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QRect first(area.left(), area.top(), area.width(), metrics.height());
    const QRect second = first.translated(0, metrics.height() + kLineGap);
    const int scoreWidth = metrics.horizontalAdvance(QStringLiteral("Ctrl+9")) + kColumnGap;

    QFont bold = opt.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(text);
    painter->drawText(first.adjusted(0, 0, scoreWidth - first.width(), 0), Qt::AlignLeft | Qt::AlignVCenter,
                      QStringLiteral("%1%").arg(index.data(CSuggestionsDock::ScoreRole).toInt()));
    painter->setFont(opt.font);
    if (index.row() < kShortcutItems) {
        painter->setPen(dim);
        painter->drawText(second.adjusted(0, 0, scoreWidth - second.width(), 0), Qt::AlignLeft | Qt::AlignVCenter,
                          QStringLiteral("Ctrl+%1").arg(index.row() + 1));
    }

    const QString file = index.data(CSuggestionsDock::FileRole).toString();
    const int fileWidth = std::min(metrics.horizontalAdvance(file) + kTextSlack, area.width() / 3);
    painter->setPen(dim);
    painter->drawText(QRect(first.right() - fileWidth, first.top(), fileWidth, first.height()),
                      Qt::AlignRight | Qt::AlignVCenter, metrics.elidedText(file, Qt::ElideMiddle, fileWidth));

    const QRect translation(first.left() + scoreWidth, first.top(),
                            first.width() - scoreWidth - fileWidth - kColumnGap, first.height());
    painter->setPen(text);
    painter->drawText(translation, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, translation.width()));

    // Why the checks would refuse it, at the right of the second line.
    const QString problem = index.data(CSuggestionsDock::ProblemRole).toString();
    int problemWidth = 0;
    if (!problem.isEmpty()) {
        const QString shown = QStringLiteral("\u26A0 ") + problem;
        problemWidth = std::min(metrics.horizontalAdvance(shown) + kTextSlack, area.width() / 2);
        painter->setPen(selected ? text : kProblemColour);
        painter->drawText(QRect(second.right() - problemWidth, second.top(), problemWidth, second.height()),
                          Qt::AlignRight | Qt::AlignVCenter, metrics.elidedText(shown, Qt::ElideRight, problemWidth));
    }
    drawMarked(*painter, metrics, second.adjusted(scoreWidth, 0, -(problemWidth ? problemWidth + kColumnGap : 0), 0),
               index.data(CSuggestionsDock::OriginalRole).toString(),
               index.data(CSuggestionsDock::DifferencesRole).toList(), dim);
    painter->restore();
}

// As wide as the list shows (the texts are elided, never scrolled).
QSize CSuggestionDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const QFontMetrics metrics(option.font);
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const int width = view ? view->viewport()->width() : option.rect.width();
    return {std::max(width, 100), 2 * metrics.height() + kLineGap + 2 * kMargin};
}
