// extract: the texts of a Windows executable's menus, dialogs and string
// tables, listed or added to a language file as new strings.

#include "catalogue/document.h"
#include "catalogue/messages.h"
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
        io.err << messageText(MsgCannotSave) << " (" << file << ")\n";
        return 1;
    }
    io.out << added << (added == 1 ? " string added\n" : " strings added\n");
    return 0;
}

} // namespace

int cmdExtract(const QStringList &args, CliStreams &io)
{
    QStringList rest = args;
    QString addTo;
    const qsizetype option = rest.indexOf(QStringLiteral("--add-to"));
    if (option >= 0) {
        addTo = rest.value(option + 1);
        rest.remove(option, qMin<qsizetype>(2, rest.size() - option));
    }
    if (rest.size() != 2 || (option >= 0 && addTo.isEmpty())) {
        io.err << "usage: rendaro-cli extract EXE HEADER [--add-to FILE]\n";
        return 2;
    }
    const QString &executable = rest.at(0), &header = rest.at(1);
    QStringList texts;
    if (!ExtractResourceStrings(texts, executable, header)) {
        if (!QFileInfo(executable).isFile())
            io.err << "Can not open the executable " << executable << '\n';
        else if (!QFileInfo(header).isFile())
            io.err << "Can not open the header " << header << '\n';
        else
            io.err << "Not a Windows executable or unreadable: " << executable << '\n';
        return 1;
    }
    if (option >= 0)
        return addToFile(texts, addTo, io);
    io.out << '[';
    for (qsizetype i = 0; i < texts.size(); ++i)
        io.out << (i ? ", " : "") << jsonString(texts.at(i));
    io.out << "]\n";
    return 0;
}
