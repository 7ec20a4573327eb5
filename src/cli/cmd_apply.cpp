// apply (push one file's strings, marks and settings into other files) and
// import (take over the translations of another file of the same language).

#include "catalogue/document.h"
#include "catalogue/safe_file.h"
#include "catalogue/string_alignment.h"
#include "catalogue/xml_parser.h"
#include "cli/cli_support.h"

namespace {

// Apply To pairs strings by position; say so when a target is out of step
// with the source, since its strings then get no marks and may be doubled.
void warnWhenOutOfStep(const CRendaroDoc &document, int source, const QString &target, CliStreams &io)
{
    const CXMLStruct *catalogue = document.findCatalogue(source);
    if (!catalogue || !catalogue->tree || catalogue->filePath == target)
        return;
    XmlDocument *parsed = xml_parse_file(target);
    if (!parsed)
        return;  // Apply To reports it
    const QString original = FirstOriginalOutOfStep(catalogue->tree->root, parsed->root);
    xml_document_free(parsed);
    if (!original.isNull()) {
        io.err << "Warning: " << target << " is out of step with the source: " << jsonString(original)
               << " is at another position (strings are paired by position)\n";
    }
}

} // namespace

int cmdApply(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {});
    if (!line.error.isEmpty() || line.operands.size() < 2)
        return usageError(line, io);
    CRendaroDoc document;
    const int source = loadForCommand(document, line.operands.first(), io);
    if (source < 0)
        return 1;
    bool allApplied = true;
    for (const QString &target : line.operands.mid(1)) {
        // A FIFO or device is neither read (which could block) nor replaced.
        const QString notRegular = nonRegularFileReason(target);
        if (!notRegular.isEmpty()) {
            io.err << "Can't apply to " << target << " (" << notRegular << ")\n";
            allApplied = false;
            continue;
        }
        warnWhenOutOfStep(document, source, target, io);
        if (!document.ApplyTranslationsToFile(target, source)) {
            const QString reason = saveFailureReason(document, target);
            io.err << "Can't apply to " << target << (reason.isEmpty() ? QString() : " (" + reason + ")") << '\n';
            allApplied = false;
        }
    }
    io.out << "Complete!\n";
    return allApplied ? 0 : 1;
}

int cmdImport(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {});
    if (!line.error.isEmpty() || line.operands.size() != 2)
        return usageError(line, io);
    const QString &targetPath = line.operands.at(0), &sourcePath = line.operands.at(1);
    if (isStandardStream(targetPath)) {
        io.err << "TARGET is saved in place, so it cannot be standard input\n";
        return 2;
    }
    if (!checkOutputTarget(targetPath, io))
        return 1;
    CRendaroDoc document;
    const int target = loadForCommand(document, targetPath, io);
    if (target < 0)
        return 1;
    InputFile source;
    if (!source.open(sourcePath, io))
        return 1;
    int substituted = 0;
    if (!document.ImportTranslationsFromFile(target, source.path(), &substituted)) {
        const QString reason = saveFailureReason(document, source.path());
        io.err << "Can't open file. (" << displayName(sourcePath) << (reason.isEmpty() ? QString() : ": " + reason)
               << ")\n";
        return 1;
    }
    if (!document.SaveCatalogue(target, targetPath, true)) {
        reportSaveFailure(document, targetPath, io);
        return 1;
    }
    if (substituted == 0)
        io.out << "Import finished\n";
    else
        io.out << substituted << " strings have been substitute.\n";
    return 0;
}
