#include "controls/column_share.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace {
constexpr int kMinimumColumn = 40;  // pixels either column keeps
} // namespace

ColumnShare::ColumnShare(QTableView &table) : QObject(&table), m_table(table)
{
    QHeaderView *header = table.horizontalHeader();
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(kMinimumColumn);
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        const int total = m_table.viewport()->width();
        if (column == 0 && !m_fitting && total > 0)
            m_firstShare = std::clamp(double(width) / total, 0.05, 0.95);
    });
    table.viewport()->installEventFilter(this);
}

bool ColumnShare::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_table.viewport())
        fit();
    return QObject::eventFilter(watched, event);
}

void ColumnShare::fit()
{
    const int total = m_table.viewport()->width();
    if (total <= 0)
        return;
    m_fitting = true;
    const int first = std::clamp(int(total * m_firstShare), std::min(kMinimumColumn, total / 2),
                                 std::max(total - kMinimumColumn, total / 2));
    m_table.setColumnWidth(0, first);
    m_fitting = false;
}

QList<int> ColumnShare::widths() const { return {m_table.columnWidth(0), m_table.columnWidth(1)}; }

void ColumnShare::setWidths(const QList<int> &widths)
{
    if (widths.size() < 2 || widths[0] <= 0 || widths[1] <= 0)
        return;
    m_firstShare = std::clamp(double(widths[0]) / (widths[0] + widths[1]), 0.05, 0.95);
    fit();
}
