// export: string tables for web front ends, of one file or of every
// language file of a folder.

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"
#include "export/script_output_path.h"
#include "export/script_table.h"

#include <QFileInfo>

namespace {

int exportOne(int kind, const QString &file, const QString &output, CliStreams &io)
{
    CRendaroDoc document;
    const int id = loadForCommand(document, file, io);
    if (id < 0)
        return 1;
    if (!document.ExportCatalogueScript(kind, id, output)) {
        io.err << messageText(MsgCannotSave) << " (" << output << ")\n";
        return 1;
    }
    io.out << "Save OK\n";
    return 0;
}

int exportFolder(int kind, const QString &folder, CliStreams &io)
{
    if (!QFileInfo(folder).isDir()) {
        io.err << "Not a folder: " << folder << '\n';
        return 1;
    }
    CRendaroDoc document;
    bool ok = true;
    for (const QString &file : ListLanguageFiles(folder)) {
        if (loadForCommand(document, file, io) < 0)
            ok = false;
    }
    const int count = int(document.catalogues().size());
    for (int i = 1; i < count; ++i) {
        const QString source = document.GetCataloguePath(i);
        const QString output = ScriptOutputPath(source, kind);
        if (output.isEmpty()) {
            io.err << "Skipped " << source << ": no script file name for it\n";
            continue;
        }
        if (document.ExportCatalogueScript(kind, document.catalogueAt(i)->catalogueId, output)) {
            io.out << output << '\n';
        } else {
            io.err << messageText(MsgCannotSave) << " (" << output << ")\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

} // namespace

int cmdExport(const QStringList &args, CliStreams &io)
{
    QStringList rest = args;
    QString output;
    const bool optionsOk = takeOutputOption(rest, &output);
    const int kind = rest.value(0) == u"js" ? ScriptJavaScript : rest.value(0) == u"php" ? ScriptPhp : 0;
    if (optionsOk && kind && rest.size() == 3 && rest.at(1) == u"--folder" && output.isEmpty())
        return exportFolder(kind, rest.at(2), io);
    if (optionsOk && kind && rest.size() == 2 && !output.isEmpty())
        return exportOne(kind, rest.at(1), output, io);
    io.err << "usage: rendaro-cli export js|php FILE -o OUT\n"
              "       rendaro-cli export js|php --folder DIR\n";
    return 2;
}
