// tmx export: the translated strings of language files as a TMX 1.4b
// translation memory for other tools.

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"
#include "cli/cli_support.h"
#include "exchange/exchange_files.h"
#include "exchange/language_tags.h"
#include "exchange/tmx_writer.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kTmxOutput = QStringLiteral("-o");
const QString kTmxLanguage = QStringLiteral("--target-language");

struct TmxSource {
    QString path;
    QString name;  // the file's name, or its path below the folder given
};

// The language files behind the operands: a file as it is, a folder's
// files as language-folder mode lists them.
std::vector<TmxSource> tmxSources(const QStringList &operands, CliStreams &io, bool *ok)
{
    std::vector<TmxSource> sources;
    for (const QString &operand : operands) {
        const QFileInfo info(operand);
        if (!info.isDir()) {
            sources.push_back({operand, isStandardStream(operand) ? QStringLiteral("stdin.xml") : info.fileName()});
            continue;
        }
        const QDir root(info.absoluteFilePath());
        const QStringList files = ListLanguageFiles(root.path());
        if (files.isEmpty()) {
            io.err << "No language file in " << operand << '\n';
            *ok = false;
        }
        for (const QString &file : files)
            sources.push_back({file, root.relativeFilePath(file)});
    }
    return sources;
}

int tmxExport(const CommandLine &line, CliStreams &io)
{
    const QString output = line.value(kTmxOutput);
    const QString language = line.value(kTmxLanguage);
    if (!checkLanguageTag(language, io))
        return 2;
    if (!checkOutputTarget(output, io))
        return 1;
    bool ok = true;
    const std::vector<TmxSource> sources = tmxSources(line.operands.mid(1), io, &ok);
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    std::vector<std::pair<int, TmxSource>> loaded;
    std::vector<QString> languages;
    for (const TmxSource &source : sources) {
        const QString tag = language.isEmpty() ? LanguageTagForPath(source.path) : language;
        if (tag.isEmpty()) {
            io.err << "The name of " << displayName(source.path)
                   << " names no known language; give one with --target-language (the file was left out)\n";
            ok = false;
            continue;
        }
        const int id = loadEntriesForCommand(document, source.path, io);
        if (id < 0) {
            ok = false;
            continue;
        }
        loaded.push_back({id, source});
        languages.push_back(tag);
    }
    if (loaded.empty())
        return 1;
    // Looked up once every file is loaded: loading moves the catalogues.
    std::vector<ExportFile> files;
    qsizetype units = 0;
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        files.push_back(ExportFileOf(*document.findCatalogue(loaded[i].first), loaded[i].second.name, languages[i]));
        units += TmxUnitCount(files.back());
    }
    TmxWriteOptions options;
    options.toolVersion = QStringLiteral(RENDARO_VERSION);
    if (!writeProduced(output, io, [&](QIODevice &device) { return WriteTmx(device, files, options); }))
        return 1;
    if (!isStandardStream(output))
        io.out << units << " translation units written to " << output << '\n';
    return ok ? 0 : 1;
}

} // namespace

int cmdTmx(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {kTmxOutput, kTmxLanguage});
    if (!line.error.isEmpty())
        return usageError(line, io);
    if (line.operands.value(0) == u"export" && line.operands.size() >= 2 && line.has(kTmxOutput))
        return tmxExport(line, io);
    return usageError(line, io);
}
