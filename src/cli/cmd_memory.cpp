// suggest and pretranslate: the translation memory for scripts and build
// pipelines. Both read the memory from --tm paths (language files, TMX
// files, or folders as Open Language Folder lists them); a path that cannot be read
// is named and the others are used, and the exit status is then 1.

#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"
#include "exchange/language_tags.h"
#include "memory/lookup_many.h"
#include "memory/memory_loader.h"
#include "memory/pretranslate.h"

#include <QFileInfo>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr int kSuggestMinimum = 60;
constexpr int kSuggestLimit = 3;

struct MemoryCommandLine {
    CommandLine line;
    QStringList memoryPaths;
};

// "--tm" takes the arguments after it up to the next option, and may be
// given again: "--tm a.xml b/" and "--tm a.xml --tm b/" say the same.
MemoryCommandLine parseMemoryCommandLine(const QStringList &args, const QStringList &valueOptions)
{
    MemoryCommandLine parsed;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--") {
            rest += args.mid(i);
            break;
        }
        if (args[i] != u"--tm") {
            rest.append(args[i]);
            continue;
        }
        const qsizetype before = parsed.memoryPaths.size();
        while (i + 1 < args.size() && !args[i + 1].startsWith(u'-'))
            parsed.memoryPaths.append(args[++i]);
        if (parsed.memoryPaths.size() == before) {
            parsed.line.error = QStringLiteral("--tm needs a path");
            return parsed;
        }
    }
    parsed.line = parseCommandLine(rest, valueOptions, {QStringLiteral("--json")});
    if (parsed.line.error.isEmpty() && parsed.memoryPaths.isEmpty())
        parsed.line.error = QStringLiteral("give the memory with --tm PATH");
    return parsed;
}

// The option's whole number from `lowest` up, or `fallback` when absent;
// false (and the line's error set) for anything else.
bool numberOption(CommandLine &line, const QString &option, int lowest, int highest, int fallback, int *value)
{
    *value = fallback;
    if (!line.has(option))
        return true;
    bool ok = false;
    *value = line.value(option).toInt(&ok);
    if (!ok || *value < lowest || *value > highest) {
        line.error = QStringLiteral("%1 takes a whole number from %2 to %3").arg(option).arg(lowest).arg(highest);
        return false;
    }
    return true;
}

// Loads FILE (as loadForCommand does) while the memory of the --tm paths
// is built on other threads; names the memory paths that cannot be read.
// The catalogue's identifier, or -1 when FILE cannot be read (the memory
// is then dropped).
int loadWithMemory(CRendaroDoc &document, const QString &file, const QStringList &memoryPaths, int minScore,
                   MemoryBuildResult &built, CliStreams &io)
{
    std::atomic<bool> cancel{false};
    MemoryBuildOptions options;
    options.fuzzyIndex = minScore < 100;
    options.cancel = &cancel;
    // TMX files give the translations into FILE's language.
    options.language = LanguageTagForPath(file);
    // FILE is read while the memory's strings are put together, which
    // leaves processors idle, rather than while its files are parsed on
    // every processor. A FILE that is not there is reported at once.
    std::mutex mutex;
    std::condition_variable wake;
    bool parsed = false;
    auto markParsed = [&] {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            parsed = true;
        }
        wake.notify_all();
    };
    options.filesParsed = markParsed;
    std::thread builder([&] {
        built = BuildTranslationMemory(memoryPaths, options);
        markParsed();
    });
    if (file == QLatin1String("-") || QFileInfo(file).isReadable()) {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait(lock, [&parsed] { return parsed; });
    }
    const int id = loadForCommand(document, file, io);
    cancel = id < 0;
    builder.join();
    if (id < 0)
        return -1;
    for (const FileFailure &failure : built.failures)
        io.err << messageText(MsgCannotOpen) << " (" << failure.path << ": " << failure.reason << ")\n";
    for (const FileFailure &note : built.notes)
        io.err << "Warning: " << note.path << ": " << note.reason << '\n';
    return id;
}

void printSuggestionsJson(const QStringList &originals, const std::vector<std::vector<TmSuggestion>> &found,
                          QTextStream &out)
{
    out << '[';
    for (qsizetype i = 0; i < originals.size(); ++i) {
        out << (i ? ",\n " : "\n ") << "{\"original\": " << jsonString(originals[i]) << ", \"suggestions\": [";
        const std::vector<TmSuggestion> &suggestions = found[std::size_t(i)];
        for (std::size_t s = 0; s < suggestions.size(); ++s) {
            const TmSuggestion &suggestion = suggestions[s];
            QStringList files;
            for (const QString &file : suggestion.files)
                files.append(jsonString(file));
            out << (s ? ",\n   " : "\n   ") << "{\"score\": " << suggestion.score
                << ", \"original\": " << jsonString(suggestion.original)
                << ", \"translation\": " << jsonString(suggestion.translation)
                << ", \"file\": " << jsonString(suggestion.files.value(0)) << ", \"files\": [" << files.join(u", ")
                << "]}";
        }
        out << (suggestions.empty() ? "]}" : "\n  ]}");
    }
    out << (originals.isEmpty() ? "]\n" : "\n]\n");
}

void printSuggestionsText(const QStringList &originals, const std::vector<std::vector<TmSuggestion>> &found,
                          QTextStream &out)
{
    for (qsizetype i = 0; i < originals.size(); ++i) {
        for (const TmSuggestion &suggestion : found[std::size_t(i)])
            out << jsonString(originals[i]) << '\t' << suggestion.score << '\t' << jsonString(suggestion.original)
                << '\t' << jsonString(suggestion.translation) << '\t' << suggestion.files.value(0) << '\n';
    }
}

} // namespace

int cmdSuggest(const QStringList &args, CliStreams &io)
{
    MemoryCommandLine parsed =
        parseMemoryCommandLine(args, {QStringLiteral("--min"), QStringLiteral("--limit")});
    CommandLine &line = parsed.line;
    int minScore = 0, limit = 0;
    if (line.error.isEmpty() && numberOption(line, QStringLiteral("--min"), 0, 100, kSuggestMinimum, &minScore))
        numberOption(line, QStringLiteral("--limit"), 1, 1000, kSuggestLimit, &limit);
    if (!line.error.isEmpty() || line.operands.size() != 1)
        return usageError(line, io);

    CommandDocument holder;
    CRendaroDoc &document = *holder;
    MemoryBuildResult built;
    const int id = loadWithMemory(document, line.operands.first(), parsed.memoryPaths, minScore, built, io);
    if (id < 0)
        return 1;
    QStringList originals;
    for (const auto &[original, entry] : document.findCatalogue(id)->entries) {
        if (NeedsTranslation(entry))
            originals.append(original);
    }
    const std::vector<std::vector<TmSuggestion>> found = LookupMany(*built.memory, originals, minScore, limit);
    if (line.has(QStringLiteral("--json")))
        printSuggestionsJson(originals, found, io.out);
    else
        printSuggestionsText(originals, found, io.out);
    return built.failures.empty() ? 0 : 1;
}

int cmdPretranslate(const QStringList &args, CliStreams &io)
{
    MemoryCommandLine parsed = parseMemoryCommandLine(args, {QStringLiteral("--min"), QStringLiteral("-o")});
    CommandLine &line = parsed.line;
    int minScore = 0;
    if (line.error.isEmpty())
        numberOption(line, QStringLiteral("--min"), 0, 100, 100, &minScore);
    if (!line.error.isEmpty() || line.operands.size() != 1 || line.has(QStringLiteral("--json")))
        return usageError(line, io);
    const QString input = line.operands.first();
    const QString output = line.has(QStringLiteral("-o")) ? line.value(QStringLiteral("-o")) : input;
    if (!checkOutputTarget(output, io))
        return 1;

    CommandDocument holder;
    CRendaroDoc &document = *holder;
    MemoryBuildResult built;
    const int id = loadWithMemory(document, input, parsed.memoryPaths, minScore, built, io);
    if (id < 0)
        return 1;
    const PreTranslationPlan plan = PlanPreTranslation(*document.findCatalogue(id), *built.memory, minScore);
    for (const PreTranslationFill &fill : plan.fills)
        SetEntryTranslation(document, id, fill.original, fill.translation, 1);
    if (!writeOutput(document, output, io, [&](const QString &path) { return document.SaveCatalogue(id, path, true); }))
        return 1;
    // With the file on standard output, the summary goes with the messages.
    QTextStream &report = isStandardStream(output) ? io.err : io.out;
    report << PreTranslationSummary(plan) << '\n';
    for (const PreTranslationRefusal &refusal : plan.leftOut)
        io.err << "left out: " << jsonString(refusal.original) << " (" << refusal.check.message << ")\n";
    return built.failures.empty() ? 0 : 1;
}
