// The Search command and finding the next row that holds the search text.

#include "editor/rendaro_view.h"

#include "catalogue/messages.h"
#include "editor/find_string_dialog.h"
#include "editor/user_prompts.h"

void CRendaroView::OnSearch()
{
    if (!searchText.isEmpty())
        m_findDialog->text = searchText;
    m_findDialog->loadFields();
    if (!m_prompts.runDialog(*m_findDialog))
        return;
    searchText = m_findDialog->text;
    matchCase = m_findDialog->matchCase;
    if (!searchText.isEmpty())
        FindNext();
}

bool CRendaroView::rowMatches(int row) const
{
    const ReportRowModel &rows = *m_grid->rowModel();
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return rows.text(row, 0).contains(searchText, cs) || rows.text(row, 1).contains(searchText, cs);
}

void CRendaroView::selectFoundRow(int row)
{
    m_grid->EnsureVisible(row);
    m_grid->SelectOnly(row);
    m_grid->setFocus(Qt::OtherFocusReason);
}

// The rows after the first selected one, then, when the user wants it, the
// rows before it; the selected row itself is not examined.
void CRendaroView::FindNext()
{
    const int rowCount = m_grid->GetItemCount();
    const int selected = m_grid->FirstSelectedRow();
    const int start = selected < 0 ? 0 : selected;
    const int first = selected < 0 ? 0 : selected + 1;
    if (!matchCase)
        searchText = searchText.toLower();  // stays lower case for the next search
    for (int row = first; row < rowCount; ++row) {
        if (rowMatches(row)) {
            selectFoundRow(row);
            return;
        }
    }
    if (ask(messageText(MsgSearchWrap), PromptIcon::Information, PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    for (int row = 0; row < start; ++row) {
        if (rowMatches(row)) {
            selectFoundRow(row);
            return;
        }
    }
    ask(messageText(MsgSearchFinished), PromptIcon::Information, PromptButtons::Ok);
}
