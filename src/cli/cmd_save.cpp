// resave and untranslated: the editor's Save / Save As and "Save Only
// Non-translated String As".

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"

namespace {
int saveCommand(QStringList args, CliStreams &io, bool keepTree, const char *usage)
{
    QString output;
    if (!takeOutputOption(args, &output) || args.size() != 1 || (!keepTree && output.isEmpty())) {
        io.err << "usage: rendaro-cli " << usage << '\n';
        return 2;
    }
    if (output.isEmpty())
        output = args.first();
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadForCommand(document, args.first(), io);
    if (id < 0)
        return 1;
    if (!document.SaveCatalogue(id, output, keepTree)) {
        io.err << messageText(MsgCannotSave) << " (" << output << ")\n";
        return 1;
    }
    io.out << "Save OK\n";
    return 0;
}
} // namespace

int cmdResave(const QStringList &args, CliStreams &io)
{
    return saveCommand(args, io, true, "resave FILE [-o OUT]");
}

int cmdUntranslated(const QStringList &args, CliStreams &io)
{
    return saveCommand(args, io, false, "untranslated FILE -o OUT");
}
