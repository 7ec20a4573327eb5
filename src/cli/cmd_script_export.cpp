// export: string tables for web front ends, of one file or of every
// language file of a folder.

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"
#include "cli/cli_support.h"
#include "export/script_output_path.h"
#include "export/script_table.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

int exportOne(int kind, const QString &file, const QString &output, CliStreams &io)
{
    if (!checkOutputTarget(output, io))
        return 1;
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadEntriesForCommand(document, file, io);
    if (id < 0)
        return 1;
    if (!writeOutput(document, output, io,
                     [&](const QString &path) { return document.ExportCatalogueScript(kind, id, path); }))
        return 1;
    if (!isStandardStream(output))
        io.out << "Save OK\n";
    return 0;
}

int exportFolder(int kind, const QString &folder, CliStreams &io)
{
    if (!QFileInfo(folder).isDir()) {
        io.err << "Not a folder: " << folder << '\n';
        return 1;
    }
    // Script names depend on the folders the path passes through ("Vantor"),
    // so they are taken from the absolute path, as the editor's are.
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    bool ok = true;
    for (const QString &file : ListLanguageFiles(QDir(folder).absolutePath())) {
        if (loadEntriesForCommand(document, file, io) < 0)
            ok = false;
    }
    QHash<QString, QString> sourceOfOutput;
    const int count = int(document.catalogues().size());
    for (int i = 1; i < count; ++i) {
        const QString source = document.GetCataloguePath(i);
        const QString output = ScriptOutputPath(source, kind);
        if (output.isEmpty()) {
            io.err << "Skipped " << source << ": no script file name for it\n";
            continue;
        }
        // Two files with one script name: the first is written, the second
        // would silently replace it.
        const auto claimed = sourceOfOutput.constFind(output);
        if (claimed != sourceOfOutput.constEnd()) {
            io.err << "Skipped " << source << ": its script file " << output << " is already written for "
                   << claimed.value() << '\n';
            ok = false;
            continue;
        }
        sourceOfOutput.insert(output, source);
        if (document.ExportCatalogueScript(kind, document.catalogueAt(i)->catalogueId, output)) {
            io.out << output << '\n';
        } else {
            reportSaveFailure(document, output, io);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

} // namespace

int cmdExport(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {QStringLiteral("-o"), QStringLiteral("--folder")});
    const QString kindName = line.operands.value(0);
    const int kind = kindName == u"js" ? ScriptJavaScript : kindName == u"php" ? ScriptPhp : 0;
    if (line.error.isEmpty() && kind) {
        const bool toFile = line.has(QStringLiteral("-o")), fromFolder = line.has(QStringLiteral("--folder"));
        if (fromFolder && !toFile && line.operands.size() == 1)
            return exportFolder(kind, line.value(QStringLiteral("--folder")), io);
        if (toFile && !fromFolder && line.operands.size() == 2)
            return exportOne(kind, line.operands.at(1), line.value(QStringLiteral("-o")), io);
    }
    return usageError(line, io);
}
