// Generate All Language File From this: the shown file, taken to be the
// English file of one application, copied for every language in which a
// reference application has a file under a chosen folder tree, then, when
// the user wants it, each copy filled from the other files of its folder.
// The shown file, the grid and the title stay as they are.

#include "batch_dialogs/batch_tool_commands.h"

#include "batch/generate_language_files.h"
#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "editor/core/rendaro_view.h"

#include <QDir>

namespace {

// A failure as "path: reason", the reason alone when it names the path.
QString failureLine(const QString &path, const QString &reason)
{
    return reason.contains(path) ? reason : QStringLiteral("%1: %2").arg(path, reason);
}

} // namespace

void BatchToolCommands::OnGenerateAll()
{
    if (m_view.ask(messageText(MsgGenerateAll), PromptIcon::Exclamation, PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    const QString currentPath = m_view.currentPath();
    const QString prefix = LanguageFilePrefix(currentPath);
    if (prefix.isEmpty()) {
        m_view.ask(tr("There is no \"Res\" in the name of %1, so no language file can be named after it.")
                .arg(LanguageFileName(currentPath)),
            PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    m_view.grid()->EndEdit(true);  // the copies take text left in the editor too
    CRendaroDoc &document = *theDocument();
    m_generatedFiles.clear();
    const QString folder =
        m_view.prompts().folderName(&m_view, tr("Please select directory to find XML files."), QDir::currentPath());
    if (!folder.isEmpty()) {
        const LanguageFileGeneration generation =
            GenerateLanguageFiles(document, m_view.currentCatalogueId(), folder, LanguageFileName(currentPath), prefix);
        m_generatedFiles = generation.written;
        // The copies were written from the shown file's tree, which now
        // holds the strings added since the last save.
        m_view.treeTookAdditions(false);
        if (!generation.failed.empty()) {
            QStringList reasons;
            for (const FileFailure &failure : generation.failed)
                reasons << failureLine(failure.path, failure.reason);
            m_view.ask(messageText(MsgCannotSave) + QStringLiteral("\n\n") + reasons.join(u'\n'), PromptIcon::Stop,
                PromptButtons::Ok);
        }
    }
    if (m_view.ask(messageText(MsgAutoImport), PromptIcon::Exclamation, PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    std::unique_ptr<ProgressReporter> progress = m_view.prompts().progress(&m_view, tr("Import Progress"));
    if (progress) {
        progress->setTotal(int(m_generatedFiles.size()));
        progress->show();
    }
    for (const QString &path : m_generatedFiles) {
        if (progress)
            progress->step(tr("Importing into %1...").arg(path));
        // A copy that cannot be read is named and left as it is.
        const AutoImportResult result = AutoImportGeneratedFile(document, path);
        if (!result.loaded || !result.saved) {
            const int message = result.loaded ? MsgCannotSave : MsgCannotOpen;
            m_view.ask(messageText(message) + QStringLiteral("\n\n") + failureLine(path, result.error), PromptIcon::Stop,
                PromptButtons::Ok);
        }
    }
}
