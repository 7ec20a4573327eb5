// apply (push one file's strings, marks and settings into other files) and
// import (take over the translations of another file of the same language).

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"

int cmdApply(const QStringList &args, CliStreams &io)
{
    if (args.size() < 2) {
        io.err << "usage: rendaro-cli apply SOURCE TARGET...\n";
        return 2;
    }
    CRendaroDoc document;
    const int source = loadForCommand(document, args.first(), io);
    if (source < 0)
        return 1;
    bool allApplied = true;
    for (const QString &target : args.mid(1)) {
        if (!document.ApplyTranslationsToFile(target, source)) {
            io.err << "Can't apply to " << target << '\n';
            allApplied = false;
        }
    }
    io.out << "Complete!\n";
    return allApplied ? 0 : 1;
}

int cmdImport(const QStringList &args, CliStreams &io)
{
    if (args.size() != 2) {
        io.err << "usage: rendaro-cli import TARGET SOURCE\n";
        return 2;
    }
    CRendaroDoc document;
    const int target = loadForCommand(document, args.at(0), io);
    if (target < 0)
        return 1;
    int substituted = 0;
    if (!document.ImportTranslationsFromFile(target, args.at(1), &substituted)) {
        io.err << "Can't open file. (" << args.at(1) << ")\n";
        return 1;
    }
    if (!document.SaveCatalogue(target, args.at(0), true)) {
        io.err << messageText(MsgCannotSave) << " (" << args.at(0) << ")\n";
        return 1;
    }
    if (substituted == 0)
        io.out << "Import finished\n";
    else
        io.out << substituted << " strings have been substitute.\n";
    return 0;
}
