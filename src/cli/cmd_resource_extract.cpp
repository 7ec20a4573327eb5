// extract: the texts of a Windows executable's menus, dialogs and string
// tables, listed or added to a language file as new strings.

#include "catalogue/document.h"
#include "cli/cli_support.h"
#include "resparse/res_extract.h"

#include <QFileInfo>

namespace {

// Adds one extracted text to the catalogue as the editor's resource parser
// does: accelerator hints cut, line breaks in memory form, texts already
// present left alone. Returns whether an entry was added.
bool addExtractedString(CRendaroDoc &document, int &catalogueId, const QString &text)
{
    QString original = text, translation = text;
    CRendaroDoc::NormalizeStringPair(original, translation);
    if (original.isEmpty() || (catalogueId != -1 && document.HasEntry(original, catalogueId)))
        return false;
    if (document.AddEntry(catalogueId, original, translation, 1) == 0)
        catalogueId = document.currentCatalogueId();
    return true;
}

int addToFile(const QStringList &texts, const QString &file, CliStreams &io)
{
    if (!checkOutputTarget(file, io))
        return 1;
    CRendaroDoc document;
    int id = -1;
    if (QFileInfo::exists(file)) {
        id = loadForCommand(document, file, io);
        if (id < 0)
            return 1;
    }
    int added = 0;
    for (const QString &text : texts)
        added += addExtractedString(document, id, text) ? 1 : 0;
    if (!document.SaveCatalogue(id, file, true)) {
        reportSaveFailure(document, file, io);
        return 1;
    }
    io.out << added << (added == 1 ? " string added\n" : " strings added\n");
    return 0;
}

} // namespace

int cmdExtract(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {QStringLiteral("--add-to")});
    const QString addTo = line.value(QStringLiteral("--add-to"));
    if (!line.error.isEmpty() || line.operands.size() != 2 || (line.has(QStringLiteral("--add-to")) && addTo.isEmpty()))
        return usageError(line, io);
    if (isStandardStream(addTo)) {
        io.err << "--add-to saves FILE in place, so it cannot be standard input\n";
        return 2;
    }
    QStringList texts;
    QString error;
    if (!ExtractResourceStrings(texts, line.operands.at(0), line.operands.at(1), &error)) {
        io.err << error << '\n';
        return 1;
    }
    if (line.has(QStringLiteral("--add-to")))
        return addToFile(texts, addTo, io);
    io.out << '[';
    for (qsizetype i = 0; i < texts.size(); ++i)
        io.out << (i ? ", " : "") << jsonString(texts.at(i));
    io.out << "]\n";
    return 0;
}
