#include "editor/import/import_strings_command.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/core/step_report.h"

#include <QCoreApplication>

ImportStringsCommand::ImportStringsCommand(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands)
{
    if (!commands)
        return;
    commands->handle(Command::ImportString, this, &ImportStringsCommand::OnImportString);
    auto update = [this] { m_commands->action(Command::ImportString)->setEnabled(m_view.currentCatalogueId() >= 0); };
    connect(&view, &CRendaroView::commandStatesChanged, this, update);
    update();
}

void ImportStringsCommand::OnImportString()
{
    FileDialogRequest request;
    // With no file shown the dialog starts next to the program.
    request.startFolder =
        m_view.currentPath().isEmpty() ? QCoreApplication::applicationFilePath() : m_view.currentPath();
    request.filter = tr("XML Files (*.xml)");
    const QString path = m_view.prompts().openFileName(&m_view, request);
    if (path.isEmpty())
        return;
    CRendaroDoc &document = *theDocument();
    const int sourceId = document.LoadCatalogueEntries(path);
    if (sourceId < 0) {
        m_view.ask(messageText(MsgCantOpenFile) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
                   PromptButtons::Ok);
        return;
    }
    const bool replace =
        m_view.ask(messageText(MsgReplaceTranslated), PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
    CReportCtrl *grid = m_view.grid();
    grid->EndEdit(true);
    const EntryMap &sourceEntries = document.findCatalogue(sourceId)->entries;
    std::vector<EntryTarget> imported;
    for (int row = 0; row < grid->GetItemCount(); ++row) {
        if (grid->GetCheck(row))
            continue;  // not to be translated
        const QString original = m_view.DisplayedToOriginal(row);
        const QString translation = grid->GetItemText(row, 1);
        const bool translated = translation != original && !translation.isEmpty();
        if (translated && !replace)
            continue;
        const StringEntry *source = sourceEntries.lookup(original);
        // A source string still equal to its original (untranslated there,
        // or written without a translation) has nothing to give.
        if (!source || source->translation.isEmpty() || source->translation == source->original
            || source->translation == translation)
            continue;
        imported.push_back({original, source->translation, 1});
    }
    const StepResult step = m_view.applyStep(tr("Import"), imported);  // one undo step
    const size_t count = step.changed;
    document.CloseCatalogue(sourceId);
    if (count == 0) {
        m_view.ask(messageText(MsgImportFinished), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    m_view.ask(messageText(MsgSubstituted).replace(QStringLiteral("%d"), QString::number(count))
                   + StepWarningsText(step),
               PromptIcon::Information, PromptButtons::Ok);
}
