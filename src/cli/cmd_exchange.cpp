// xliff and po: language files out to translation tools and their
// translations back in.

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"
#include "exchange/exchange_files.h"
#include "exchange/exchange_import.h"
#include "exchange/language_tags.h"
#include "exchange/po_writer.h"
#include "exchange/xliff_writer.h"
#include "dialogfit/control_hints.h"
#include "fontmetrics/font_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <future>

namespace {

const QString kOutput = QStringLiteral("-o");
const QString kFolder = QStringLiteral("--folder");
const QString kLanguage = QStringLiteral("--target-language");
const QString kProgram = QStringLiteral("--program"), kHeader = QStringLiteral("--header");

// The restype and pixel width of the texts the program's dialogs show; a
// program that cannot be read is named and the export goes on without.
ControlHints hintsOfProgram(const CommandLine &line, CliStreams &io)
{
    ProgramResources resources;
    QString error;
    if (!ReadProgramFile(line.value(kProgram), resources, &error)) {
        io.err << error << '\n';
        return {};
    }
    ResourceNames names;
    if (line.has(kHeader)) {
        QFile header(line.value(kHeader));
        if (header.open(QIODevice::ReadOnly))
            names = ResourceNames(QString::fromLatin1(header.readAll()));
    }
    const ProgramTexts program(std::move(resources), std::move(names));
    return ComputeControlHints(program, *MakeFontEngineMeasurer());
}

// The tag given, or the one the file's name names (with a warning when
// there is none).
QString languageFor(const QString &given, const QString &path, CliStreams &io)
{
    if (!given.isEmpty())
        return given;
    const QString tag = LanguageTagForPath(path);
    if (tag.isEmpty())
        io.err << "Warning: the name of " << displayName(path)
               << " names no known language; give one with --target-language\n";
    return tag;
}

// Writes the exchange file to output (standard output for "-"); a failure
// is reported.
bool writeExchange(ExchangeFormat format, const QString &output, const std::vector<ExportFile> &files,
                   CliStreams &io)
{
    return writeProduced(output, io, [&](QIODevice &device) {
        return format == ExchangeFormat::Po ? WritePo(device, files.front()) : WriteXliff(device, files);
    });
}

int exportFiles(ExchangeFormat format, const CommandLine &line, CliStreams &io)
{
    const QString output = line.value(kOutput);
    const QString language = line.value(kLanguage);
    if (!checkLanguageTag(language, io))
        return 2;
    if (!checkOutputTarget(output, io))
        return 1;
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    struct Loaded {
        int id;
        QString name, language;
    };
    std::vector<Loaded> loaded;
    bool ok = true;
    if (line.has(kFolder)) {
        const QString folder = line.value(kFolder);
        if (!QFileInfo(folder).isDir()) {
            io.err << "Not a folder: " << folder << '\n';
            return 1;
        }
        const QDir root(QDir(folder).absolutePath());
        for (const QString &path : ListLanguageFiles(root.path())) {
            const int id = loadForCommand(document, path, io);
            if (id < 0)
                ok = false;
            else
                loaded.push_back({id, root.relativeFilePath(path), languageFor(language, path, io)});
        }
    } else {
        const QString input = line.operands.at(1);
        const int id = loadForCommand(document, input, io);
        if (id < 0)
            return 1;
        const QString name = isStandardStream(input) ? QStringLiteral("stdin.xml") : QFileInfo(input).fileName();
        loaded.push_back({id, name, languageFor(language, input, io)});
    }
    // Looked up once every file is loaded: loading moves the catalogues.
    const ControlHints hints = line.has(kProgram) ? hintsOfProgram(line, io) : ControlHints();
    std::vector<ExportFile> files;
    for (const Loaded &file : loaded) {
        files.push_back(ExportFileOf(*document.findCatalogue(file.id), file.name, file.language));
        if (!hints.isEmpty())
            files.back().controlHints = &hints;
    }
    if (!writeExchange(format, output, files, io))
        return 1;
    if (!isStandardStream(output))
        io.out << "Save OK\n";
    return ok ? 0 : 1;
}

int importFile(ExchangeFormat format, const CommandLine &line, CliStreams &io)
{
    const QString target = line.operands.at(1);
    const QString input = line.operands.at(2);
    const QString output = line.has(kOutput) ? line.value(kOutput) : target;
    if (!checkOutputTarget(output, io))
        return 1;
    InputFile exchangeInput;
    if (!exchangeInput.open(input, io))
        return 1;
    // The exchange file is read on a thread of its own while the language
    // file loads: the two share nothing, and together they are most of the
    // time an import takes.
    std::future<ExchangeDocument> reading =
        std::async(std::launch::async, [path = exchangeInput.path(), format] { return ReadExchangeFile(path, format); });
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadForCommand(document, target, io);
    const ExchangeDocument exchange = reading.get();
    if (!exchange.ok()) {
        io.err << "Can not read " << displayName(input) << ": " << exchange.error << '\n';
        return 1;
    }
    if (id < 0)
        return 1;
    const CXMLStruct &catalogue = *document.findCatalogue(id);
    QString exchangeLanguage;
    const std::vector<const ExchangeUnit *> units = UnitsForFile(exchange, target, &exchangeLanguage);
    const QString fileLanguage = LanguageTagForPath(target);
    if (LanguagesConflict(exchangeLanguage, fileLanguage)) {
        io.err << displayName(input) << " holds translations into " << exchangeLanguage << ", but "
               << displayName(target) << " is in " << fileLanguage << "; nothing was changed\n";
        return 1;
    }
    const ImportPlan plan = PlanImport(catalogue, units);
    // With the file going to standard output, the report goes to standard error.
    QTextStream &report = isStandardStream(output) ? io.err : io.out;
    report << plan.summary() << '\n';
    for (const ImportRefusal &refusal : plan.refused)
        report << "refused: " << DescribeUnit(refusal.unit) << ": " << refusal.reason << '\n';
    for (const UnitReference &unknown : plan.unknown)
        report << "unknown: " << DescribeUnit(unknown) << ": the file holds no such original\n";
    for (const ImportChange &change : plan.changes) {
        if (change.tooLong)
            report << "too long, kept: " << DescribeUnit(change.unit) << '\n';
    }
    ApplyImportPlan(document, id, plan);
    // A file nothing changed in is left as it was, unless a copy was asked for.
    if (!plan.changes.empty() || line.has(kOutput)) {
        if (!writeOutput(document, output, io,
                         [&](const QString &path) { return document.SaveCatalogue(id, path, true); }))
            return 1;
        if (!isStandardStream(output))
            io.out << messageText(MsgSaveOk) << '\n';
    }
    return plan.refused.empty() ? 0 : 1;
}

int exchangeCommand(ExchangeFormat format, const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {kOutput, kFolder, kLanguage, kProgram, kHeader});
    const QString action = line.operands.value(0);
    if (!line.error.isEmpty())
        return usageError(line, io);
    // Only XLIFF carries what the program's dialogs say.
    if ((line.has(kProgram) || line.has(kHeader)) && (format != ExchangeFormat::Xliff || action != u"export"
                                                      || (line.has(kHeader) && !line.has(kProgram))))
        return usageError(line, io);
    if (action == u"export" && line.has(kOutput)) {
        const bool folder = line.has(kFolder);
        if (folder && format == ExchangeFormat::Xliff && line.operands.size() == 1)
            return exportFiles(format, line, io);
        if (!folder && line.operands.size() == 2)
            return exportFiles(format, line, io);
    }
    if (action == u"import" && line.operands.size() == 3 && !line.has(kFolder) && !line.has(kLanguage))
        return importFile(format, line, io);
    return usageError(line, io);
}

} // namespace

int cmdXliff(const QStringList &args, CliStreams &io)
{
    return exchangeCommand(ExchangeFormat::Xliff, args, io);
}

int cmdPo(const QStringList &args, CliStreams &io)
{
    return exchangeCommand(ExchangeFormat::Po, args, io);
}
