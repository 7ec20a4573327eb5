#include "batch_dialogs/browse_for_folder_dlg.h"

#include "editor/core/user_prompts.h"

CBrowseForFolderDlg::CBrowseForFolderDlg(UserPrompts &prompts, QWidget *owner, unsigned flags, const QString &title,
                                         const QString &initialFolder)
    : m_prompts(prompts), m_owner(owner), m_flags(flags), m_title(title), m_initialFolder(initialFolder)
{
}

int CBrowseForFolderDlg::DoModal()
{
    const QString chosen = m_prompts.folderName(m_owner, m_title, m_initialFolder);
    if (chosen.isEmpty())
        return IDCANCEL;
    m_folderPath = chosen;
    return IDOK;
}
