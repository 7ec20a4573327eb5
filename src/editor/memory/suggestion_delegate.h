#pragma once
// Paints one suggestion of the Suggestions pane on two lines: the score and
// the translation, with the file's name at the right; below, the shortcut
// that uses it and the memory's original, the words that differ from the
// row's original on a marked, underlined background, and, in red at the
// right, why the checks would refuse it for the row.

#include <QStyledItemDelegate>

class CSuggestionDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
