// Find and Replace: a text replaced in the translations of the shown
// catalogue, one at a time (Replace, in the grid's rows from the selection)
// or in every translatable entry at once (Replace All, also the rows the
// filter hides). Each new translation passes the checks an edit passes; one
// they refuse is left out and named at the end.

#include "editor/search/search_feature.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "catalogue/text_match.h"
#include "editor/core/rendaro_view.h"
#include "editor/search/find_replace_dlg.h"
#include "editor/search/search_run.h"

namespace {
// Refused originals named in the summary; the rest are counted.
constexpr int kNamedRefusals = 20;
} // namespace

void SearchFeature::OnFindReplace()
{
    CReportCtrl *grid = m_view.grid();
    grid->EndEdit(true);
    if (grid->isEditing())
        return;  // the open edit was refused and says why
    if (!m_replaceDialog) {
        m_replaceDialog = new CFindReplaceDlg(&m_view);
        connect(m_replaceDialog, &CFindReplaceDlg::replaceRequested, this, &SearchFeature::replaceNext);
        connect(m_replaceDialog, &CFindReplaceDlg::replaceAllRequested, this, &SearchFeature::replaceAll);
        // Closing the dialog (Esc) stops a find step still running.
        connect(m_replaceDialog, &QDialog::finished, this, [this] {
            if (m_search && m_search->kind == SearchRun::Kind::Replace)
                CancelSearch();
        });
    }
    m_lastReplaceRow = -1;
    m_replaceDialog->prepare();
    m_view.prompts().runDialog(*m_replaceDialog);
}

// The new translation of one entry, checked as an edit is checked (the
// length only colours the row). Marked not to be translated: left alone.
SearchFeature::ReplaceResult SearchFeature::replacement(const QString &original, QString *text,
                                                        QString *refusal) const
{
    const EntryState current = ReadEntryState(*theDocument(), m_view.currentCatalogueId(), original);
    if (!current.existed || current.translatable == 0)
        return ReplaceResult::Unchanged;
    *text = current.translation;
    text->replace(m_replaceDialog->findText(), m_replaceDialog->replacement(), m_replaceDialog->caseSensitivity());
    if (*text == current.translation)
        return ReplaceResult::Unchanged;
    const int codeType = m_view.shownCatalogue() ? m_view.shownCatalogue()->codeType : CodeTypeCpp;
    CheckResult check = CheckPlaceholders(original, *text, codeType);
    if (check.ok)
        check = CheckEscapeSequences(original, *text);
    if (check.ok && text->isEmpty())
        check = {false, MsgEnterString, messageText(MsgEnterString)};
    if (!check.ok) {
        *refusal = check.message;
        return ReplaceResult::Refused;
    }
    return ReplaceResult::Replaced;
}

// From the selected row on (after it when Replace was just there), wrapping
// round; the row replaced, or refused, is selected. The rows are looked
// through as a search does (search_feature.cpp), in slices on a large file.
void SearchFeature::replaceNext()
{
    const QString find = m_replaceDialog->findText();
    if (find.isEmpty())
        return;
    CancelSearch();
    const int rowCount = m_view.grid()->GetItemCount();
    const int selected = m_view.grid()->FirstSelectedRow();
    const int start = selected < 0 ? 0 : (selected == m_lastReplaceRow ? selected + 1 : selected);
    m_search = std::make_unique<SearchRun>();
    m_search->kind = SearchRun::Kind::Replace;
    m_search->matcher = TextMatcher(find, m_replaceDialog->caseSensitivity());
    m_search->catalogue = m_view.rows().catalogue();
    startSearchScan(start, rowCount);
}

void SearchFeature::replaceFoundRow(int row)
{
    UserPrompts &prompts = m_view.prompts();
    if (row < 0) {
        prompts.message(m_replaceDialog, tr("Cannot find \"%1\".").arg(m_replaceDialog->findText()),
                        messageText(MsgAppName), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    const QString original = m_view.DisplayedToOriginal(row);
    m_view.grid()->EnsureVisible(row);
    m_view.grid()->SelectOnly(row);
    m_lastReplaceRow = row;
    QString text, refusal;
    switch (replacement(original, &text, &refusal)) {
    case ReplaceResult::Replaced: m_view.applyStep(tr("Replace"), {{original, text, 1}}); break;
    case ReplaceResult::Refused:
        prompts.message(m_replaceDialog, tr("\"%1\" was not replaced: %2").arg(original, refusal),
                        messageText(MsgAppName), PromptIcon::Exclamation, PromptButtons::Ok);
        break;
    case ReplaceResult::Unchanged: break;
    }
}

// Every translatable entry of the shown catalogue (the master in a language
// folder), in original order, as one undo step.
void SearchFeature::replaceAll()
{
    const QString find = m_replaceDialog->findText();
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    if (find.isEmpty() || !catalogue)
        return;
    const Qt::CaseSensitivity cs = m_replaceDialog->caseSensitivity();
    std::vector<EntryTarget> replaced;
    QStringList refused;
    for (const auto &[original, entry] : catalogue->entries) {
        if (entry.translatable == 0 || !entry.translation.contains(find, cs))
            continue;
        QString text, refusal;
        switch (replacement(original, &text, &refusal)) {
        case ReplaceResult::Replaced: replaced.push_back({original, text, 1}); break;
        case ReplaceResult::Refused: refused.append(QStringLiteral("\"%1\" (%2)").arg(original, refusal)); break;
        case ReplaceResult::Unchanged: break;
        }
    }
    m_view.applyStep(tr("Replace All"), replaced);
    QString summary = tr("%n replaced", nullptr, int(replaced.size()));
    if (!refused.isEmpty()) {
        const qsizetype more = refused.size() - kNamedRefusals;
        // One refused original a line, with the check's reason.
        const QString named = refused.mid(0, kNamedRefusals).join(u'\n');
        summary = tr("%1, %2 refused:\n%3").arg(summary, QString::number(refused.size()), named);
        if (more > 0)
            summary += tr("\n... and %1 more").arg(more);
    }
    m_view.prompts().message(m_replaceDialog, summary, messageText(MsgAppName),
                             refused.isEmpty() ? PromptIcon::Information : PromptIcon::Exclamation, PromptButtons::Ok);
}
