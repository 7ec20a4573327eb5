#include "editor/counts/live_counts.h"

#include "checks/entry_checks.h"
#include "editor/core/rendaro_view.h"

#include <QLineEdit>

LiveCounts::LiveCounts(CRendaroView &view) : m_view(view)
{
    connect(&view, &CRendaroView::recounted, this, &LiveCounts::refresh);
    connect(&view, &CRendaroView::countsUpdated, this, &LiveCounts::refresh);
    connect(view.grid(), &CReportCtrl::editingChanged, this, &LiveCounts::updateEditLength);
    connect(view.grid()->editor(), &QLineEdit::textChanged, this, &LiveCounts::updateEditLength);
}

QString LiveCounts::countsText() const
{
    if (!m_view.shownCatalogue())
        return QString();
    QString text = m_view.counts().statusText();
    for (const auto &part : m_parts)
        text += part();
    return text;
}

void LiveCounts::refresh() { emit countsChanged(countsText()); }

void LiveCounts::updateEditLength()
{
    CReportCtrl *grid = m_view.grid();
    if (!grid->isEditing() || grid->editColumn() != 1) {
        emit editLengthChanged(-1, 0);
        return;
    }
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    const QString original = m_view.DisplayedToOriginal(grid->editRow());
    emit editLengthChanged(grid->editor()->text().size(),
                           MaxTranslationLength(original, catalogue ? catalogue->lengthRatio : 2.0f));
}
