#include "editor/reference/reference_command.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"

#include <QCoreApplication>

ReferenceCommand::ReferenceCommand(CRendaroView &view, CommandActions *commands) : m_view(view)
{
    if (commands)
        commands->handle(Command::ReplaceOriginal, this, &ReferenceCommand::OnReplaceOriginal);
}

void ReferenceCommand::OnReplaceOriginal()
{
    FileDialogRequest request;
    request.startFolder = QCoreApplication::applicationFilePath();
    request.filter = tr("XML Files (*.xml)");
    const QString path = m_view.prompts().openFileName(&m_view, request);
    if (path.isEmpty())
        return;
    CRendaroDoc &document = *theDocument();
    const int id = document.LoadCatalogueEntries(path);
    if (id < 0) {
        m_view.SetReferenceEntries(EntryMap());
        m_view.ask(messageText(MsgCannotOpen) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
                   PromptButtons::Ok);
    } else {
        m_view.SetReferenceEntries(document.CopyEntries(id));
        document.CloseCatalogue(id);
    }
    m_view.grid()->EndEdit(true);
    m_view.RefreshGrid();
}
