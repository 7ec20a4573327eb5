#include "editor/folder/language_folder_commands.h"

#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/folder/list_folder_dlg.h"

#include <QDir>

LanguageFolderCommands::LanguageFolderCommands(CRendaroView &view, CommandActions *commands) : m_view(view)
{
    if (commands)
        commands->handle(Command::OpenLanguageFolder, this, &LanguageFolderCommands::OnOpenLanguageFolder);
}

void LanguageFolderCommands::OnOpenLanguageFolder()
{
    if (m_view.ask(messageText(MsgLanguageFolder), PromptIcon::Information, PromptButtons::OkCancel)
        != PromptAnswer::Ok)
        return;
    UserPrompts &prompts = m_view.prompts();
    const QString folder = prompts.folderName(&m_view, tr("Please select language directory"), QDir::currentPath());
    if (folder.isEmpty())
        return;
    CListFolderDlg list(&m_view);
    list.setFolder(folder);
    if (!prompts.runDialog(list))
        return;
    if (!m_view.PromptSave())
        return;
    m_view.ShowLanguageFolder(folder, list.selectedPaths);
    emit folderOpened();
}
