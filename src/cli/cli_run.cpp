#include "cli/cli.h"

namespace {

struct CommandInfo {
    const char *name;
    CliCommand run;
    const char *usage;
};

const CommandInfo kCommands[] = {
    {"dump", cmdDump, "dump FILE"},
    {"resave", cmdResave, "resave FILE [-o OUT]"},
    {"untranslated", cmdUntranslated, "untranslated FILE -o OUT"},
    {"check", cmdCheck, "check FILE [--json]"},
    {"apply", cmdApply, "apply SOURCE TARGET..."},
    {"import", cmdImport, "import TARGET SOURCE"},
    {"extract", cmdExtract, "extract EXE HEADER [--add-to FILE]"},
    {"generate-all", cmdGenerateAll, "generate-all ENGLISH_FILE TREE [--import]"},
    {"consistency", cmdConsistency, "consistency DIR [--json]"},
    {"export", cmdExport, "export js|php FILE -o OUT | export js|php --folder DIR"},
    {"pack", cmdPack,
     "pack list|add-strings|combine|import --branch DIR [--device-pack DIR] [--projects TABLE.json]\n"
     "      [--project NAME]... [--language CODE]... [--out DIR (combine)] [--from DIR (import)]"},
};

void printUsage(QTextStream &stream)
{
    stream << "Usage: rendaro-cli COMMAND [ARGS]\nCommands:\n";
    for (const CommandInfo &command : kCommands)
        stream << "  rendaro-cli " << command.usage << '\n';
}

} // namespace

int runCli(const QStringList &args, CliStreams &io)
{
    if (args.isEmpty()) {
        printUsage(io.err);
        return 2;
    }
    const QString name = args.first();
    if (name == u"help" || name == u"--help" || name == u"-h") {
        printUsage(io.out);
        return 0;
    }
    for (const CommandInfo &command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(args.mid(1), io);
    }
    io.err << "Unknown command: " << name << '\n';
    printUsage(io.err);
    return 2;
}
