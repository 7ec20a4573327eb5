// Cut, Copy and Paste, and the Hide Translated Item switch.

#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "editor/core/view_private.h"
#include "catalogue/entry_edits.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>

void CRendaroView::OnEditCut()
{
    if (m_grid->isEditing())
        m_grid->editor()->cut();
}

void CRendaroView::OnEditCopy()
{
    if (m_grid->isEditing())
        m_grid->editor()->copy();
}

void CRendaroView::OnEditPaste()
{
    if (m_grid->isEditing()) {
        m_grid->editor()->paste();
        return;
    }
    PasteText(QApplication::clipboard()->text());
}

// Each line is "original TAB translation" (the part after the last TAB is
// the translation) or a text without TAB standing for both. Originals the
// grid or the catalogue already has are left alone; the others are added,
// the whole paste as one undo step.
void CRendaroView::PasteText(const QString &text)
{
    if (text.isEmpty())
        return;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    std::vector<EntryTarget> lines;
    for (const QString &line : text.split(lineEnd)) {
        if (line.isEmpty())
            continue;
        const qsizetype tab = line.lastIndexOf(u'\t');
        const QString original = tab < 0 ? line : line.left(tab);
        const QString translation = tab < 0 ? line : line.mid(tab + 1);
        if (!original.isEmpty() && !translation.isEmpty())
            lines.push_back({original, translation, 1});
    }
    if (applyStep(tr("Paste"), lines, StepKind::Add) > 0)
        setModified();
}

void CRendaroView::OnHideTranslated()
{
    m_hideTranslated = !m_hideTranslated;
    // As RefreshGrid, through a filter pass: a million rows come in slices
    // (the first time every row is shown, the table is put in order).
    m_rows.clearMarks();
    startFilterPass(false);
    updateCommandStates();
}
