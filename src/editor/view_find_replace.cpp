// Find and Replace: a text replaced in the translations of the shown
// catalogue, one at a time (Replace, in the grid's rows from the selection)
// or in every translatable entry at once (Replace All, also the rows the
// filter hides). Each new translation passes the checks an edit passes; one
// they refuse is left out and named at the end.

#include "editor/rendaro_view.h"
#include "editor/view_passes.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "catalogue/text_match.h"
#include "editor/find_replace_dlg.h"

namespace {
// Refused originals named in the summary; the rest are counted.
constexpr int kNamedRefusals = 20;
} // namespace

void CRendaroView::OnFindReplace()
{
    m_grid->EndEdit(true);
    if (m_grid->isEditing())
        return;  // the open edit was refused and says why
    if (!m_replaceDialog) {
        m_replaceDialog = new CFindReplaceDlg(this);
        connect(m_replaceDialog, &CFindReplaceDlg::replaceRequested, this, &CRendaroView::replaceNext);
        connect(m_replaceDialog, &CFindReplaceDlg::replaceAllRequested, this, &CRendaroView::replaceAll);
        // Closing the dialog (Esc) stops a find step still running.
        connect(m_replaceDialog, &QDialog::finished, this, [this] {
            if (m_search && m_search->kind == SearchRun::Kind::Replace)
                CancelSearch();
        });
    }
    m_lastReplaceRow = -1;
    m_replaceDialog->prepare();
    m_prompts.runDialog(*m_replaceDialog);
}

// The new translation of one entry, checked as an edit is checked (the
// length only colours the row). Marked not to be translated: left alone.
CRendaroView::ReplaceResult CRendaroView::replaceInEntry(const QString &original, int row, QString *refusal)
{
    CRendaroDoc &document = *theDocument();
    const EntryState current = ReadEntryState(document, currentCatalogueId, original);
    if (!current.existed || current.translatable == 0)
        return ReplaceResult::Unchanged;
    QString text = current.translation;
    text.replace(m_replaceDialog->findText(), m_replaceDialog->replacement(), m_replaceDialog->caseSensitivity());
    if (text == current.translation)
        return ReplaceResult::Unchanged;
    CheckResult check = ::CheckPlaceholders(original, text, shownCodeType());
    if (check.ok)
        check = ::CheckEscapeSequences(original, text);
    if (check.ok && text.isEmpty())
        check = {false, MsgEnterString, messageText(MsgEnterString)};
    if (!check.ok) {
        *refusal = check.message;
        return ReplaceResult::Refused;
    }
    const EntryState previous = SetEntryTranslation(document, currentCatalogueId, original, text, 1);
    entryChanged(original, previous);
    if (row >= 0) {
        m_grid->SetItemText(row, 1, text);
        markRow(row, CatalogueRows::TranslationChanged);  // red when too long
    }
    return ReplaceResult::Replaced;
}

// From the selected row on (after it when Replace was just there), wrapping
// round; the row replaced, or refused, is selected. The rows are looked
// through as a search does (view_search.cpp), in slices on a large file.
void CRendaroView::replaceNext()
{
    const QString find = m_replaceDialog->findText();
    if (find.isEmpty())
        return;
    CancelSearch();
    const int rowCount = m_grid->GetItemCount();
    const int selected = m_grid->FirstSelectedRow();
    const int start = selected < 0 ? 0 : (selected == m_lastReplaceRow ? selected + 1 : selected);
    m_search = std::make_unique<SearchRun>();
    m_search->kind = SearchRun::Kind::Replace;
    m_search->matcher = TextMatcher(find, m_replaceDialog->caseSensitivity());
    m_search->catalogue = m_rows.catalogue();
    startSearchScan(start, rowCount);
}

void CRendaroView::replaceFoundRow(int row)
{
    if (row < 0) {
        m_prompts.message(m_replaceDialog, tr("Cannot find \"%1\".").arg(m_replaceDialog->findText()),
                          messageText(MsgAppName), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    const QString original = DisplayedToOriginal(row);
    m_grid->EnsureVisible(row);
    m_grid->SelectOnly(row);
    m_lastReplaceRow = row;
    QString refusal;
    ChangeStep step(*this, tr("Replace"));
    if (replaceInEntry(original, row, &refusal) == ReplaceResult::Refused)
        m_prompts.message(m_replaceDialog, tr("\"%1\" was not replaced: %2").arg(original, refusal),
                          messageText(MsgAppName), PromptIcon::Exclamation, PromptButtons::Ok);
}

// Every translatable entry of the shown catalogue (the master in a language
// folder), in original order, as one undo step.
void CRendaroView::replaceAll()
{
    const QString find = m_replaceDialog->findText();
    const CXMLStruct *catalogue = theDocument()->findCatalogue(currentCatalogueId);
    if (find.isEmpty() || !catalogue)
        return;
    const Qt::CaseSensitivity cs = m_replaceDialog->caseSensitivity();
    QStringList targets;
    for (const auto &[original, entry] : catalogue->entries) {
        if (entry.translatable != 0 && entry.translation.contains(find, cs))
            targets.append(original);
    }
    int replaced = 0;
    QStringList refused;
    {
        ChangeStep step(*this, tr("Replace All"));
        beginRowLookup();
        for (const QString &original : std::as_const(targets)) {
            QString refusal;
            switch (replaceInEntry(original, rowOfOriginal(original), &refusal)) {
            case ReplaceResult::Replaced: ++replaced; break;
            case ReplaceResult::Refused: refused.append(QStringLiteral("\"%1\" (%2)").arg(original, refusal)); break;
            case ReplaceResult::Unchanged: break;
            }
        }
        endRowLookup();
    }
    QString summary = tr("%n replaced", nullptr, replaced);
    if (!refused.isEmpty()) {
        const qsizetype more = refused.size() - kNamedRefusals;
        // One refused original a line, with the check's reason.
        const QString named = refused.mid(0, kNamedRefusals).join(u'\n');
        summary = tr("%1, %2 refused:\n%3").arg(summary, QString::number(refused.size()), named);
        if (more > 0)
            summary += tr("\n... and %1 more").arg(more);
    }
    m_prompts.message(m_replaceDialog, summary, messageText(MsgAppName),
                      refused.isEmpty() ? PromptIcon::Information : PromptIcon::Exclamation, PromptButtons::Ok);
}
