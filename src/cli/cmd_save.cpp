// resave and untranslated: the editor's Save / Save As and "Save Only
// Non-translated String As".

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"

namespace {
int saveCommand(const QStringList &args, CliStreams &io, bool keepTree)
{
    const CommandLine line = parseCommandLine(args, {QStringLiteral("-o")});
    if (!line.error.isEmpty() || line.operands.size() != 1 || (!keepTree && !line.has(QStringLiteral("-o"))))
        return usageError(line, io);
    const QString input = line.operands.first();
    const QString output = line.has(QStringLiteral("-o")) ? line.value(QStringLiteral("-o")) : input;
    // Only the untranslated strings written over their own file would lose
    // every translation of it.
    if (!keepTree && !isStandardStream(input) && !isStandardStream(output) && sameFile(input, output)) {
        io.err << messageText(MsgCannotSave) << " (" << output << ": it is the input file " << input
               << "; choose another output)\n";
        return 1;
    }
    if (!checkOutputTarget(output, io))
        return 1;
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadForSaveCommand(document, input, io);
    if (id < 0)
        return 1;
    if (!writeOutput(document, output, io,
                     [&](const QString &path) { return document.SaveCatalogue(id, path, keepTree); }))
        return 1;
    if (!isStandardStream(output))
        io.out << "Save OK\n";
    return 0;
}
} // namespace

int cmdResave(const QStringList &args, CliStreams &io)
{
    return saveCommand(args, io, true);
}

int cmdUntranslated(const QStringList &args, CliStreams &io)
{
    return saveCommand(args, io, false);
}
