// The widths of the grid's two columns: the original column keeps its share
// of the width (half at first, then what the user drags it to), and the
// translation column fills the rest, so the grid never needs a horizontal
// scroll bar of its own making.

#include "editor/rendaro_view.h"

#include <QHeaderView>

namespace {
constexpr int kMinimumColumn = 40;  // pixels either column keeps
} // namespace

void CRendaroView::setupColumns()
{
    QHeaderView *header = m_grid->horizontalHeader();
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(kMinimumColumn);
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        const int total = m_grid->viewport()->width();
        if (column == 0 && !m_fittingColumns && total > 0)
            m_firstColumnShare = std::clamp(double(width) / total, 0.05, 0.95);
    });
}

void CRendaroView::fitColumns()
{
    const int total = m_grid->viewport()->width();
    if (total <= 0)
        return;
    m_fittingColumns = true;
    const int first = std::clamp(int(total * m_firstColumnShare), std::min(kMinimumColumn, total / 2),
                                 std::max(total - kMinimumColumn, total / 2));
    m_grid->setColumnWidth(0, first);
    m_fittingColumns = false;
}

QList<int> CRendaroView::columnWidths() const { return {m_grid->columnWidth(0), m_grid->columnWidth(1)}; }

void CRendaroView::setColumnWidths(const QList<int> &widths)
{
    if (widths.size() < 2 || widths[0] <= 0 || widths[1] <= 0)
        return;
    m_firstColumnShare = std::clamp(double(widths[0]) / (widths[0] + widths[1]), 0.05, 0.95);
    fitColumns();
}
