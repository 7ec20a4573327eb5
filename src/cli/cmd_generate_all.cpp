// generate-all: the editor's "Generate All Language File From this" with
// the English file shown, the folder tree chosen and the auto-import
// question answered by --import.

#include "batch/generate_language_files.h"
#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"

#include <QFileInfo>

namespace {
void printFailure(CliStreams &io, int messageId, const QString &path, const QString &reason)
{
    io.err << messageText(messageId) << " (" << path;
    if (!reason.isEmpty())
        io.err << ": " << reason;
    io.err << ")\n";
}

QString counted(int count, const char *noun)
{
    return QStringLiteral("%1 %2%3")
        .arg(count)
        .arg(QLatin1String(noun))
        .arg(count == 1 ? QLatin1String() : QLatin1String("s"));
}
} // namespace

int cmdGenerateAll(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {}, {QStringLiteral("--import")});
    if (!line.error.isEmpty() || line.operands.size() != 2)
        return usageError(line, io);
    const bool autoImport = line.has(QStringLiteral("--import"));
    const QString &english = line.operands.at(0);
    const QString &tree = line.operands.at(1);
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadForCommand(document, english, io);
    if (id < 0)
        return 1;
    if (!QFileInfo(tree).isDir()) {
        io.err << "Not a folder: " << tree << '\n';
        return 1;
    }
    const QString prefix = LanguageFilePrefix(english);
    if (prefix.isEmpty()) {
        io.err << "No \"Res\" in the name of " << english << ": nothing to generate\n";
        return 1;
    }
    const LanguageFileGeneration generation =
        GenerateLanguageFiles(document, id, tree, LanguageFileName(english), prefix);
    bool ok = generation.failed.empty();
    for (const QString &path : generation.written)
        io.out << path << '\n';
    for (const QString &path : generation.skipped)
        io.err << "Skipped " << path << ": it is " << english << " itself\n";
    for (const FileFailure &failure : generation.failed)
        printFailure(io, MsgCannotSave, failure.path, failure.reason);
    if (!autoImport)
        return ok ? 0 : 1;
    for (const QString &path : generation.written) {
        const AutoImportResult imported = AutoImportGeneratedFile(document, path);
        if (!imported.loaded) {
            printFailure(io, MsgCannotOpen, path, imported.error);
            ok = false;
            continue;
        }
        if (!imported.saved) {
            printFailure(io, MsgCannotSave, path, imported.error);
            ok = false;
            continue;
        }
        io.out << path << ": " << counted(imported.substituted, "translation") << " imported from "
               << counted(int(imported.sources.size()), "file") << '\n';
    }
    return ok ? 0 : 1;
}
