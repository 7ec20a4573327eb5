#include "editor/core/found_row.h"

#include "editor/core/rendaro_view.h"

void SelectFoundRow(CRendaroView &view, const EntrySearchResult &found, SearchDirection direction,
                    const QString &note)
{
    CReportCtrl *grid = view.grid();
    const int row = int(found.position);
    grid->EnsureVisible(row);
    grid->SelectOnly(row);
    grid->setFocus(Qt::OtherFocusReason);
    if (!note.isEmpty())
        view.showStatus(note);
    else if (!found.wrapped)
        view.showStatus(QString());
    else if (direction == SearchDirection::Forward)
        view.showStatus(CRendaroView::tr("Search wrapped to the first row."));
    else
        view.showStatus(CRendaroView::tr("Search wrapped to the last row."));
}
