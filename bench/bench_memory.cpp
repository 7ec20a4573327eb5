// The translation memory: building it from a language folder (time and
// peak memory against the files' size) and looking up originals in it (the
// Suggestions pane's lookup: top 5 at the pane's minimum score).
// Goals: a build from 30 files of 5,000 entries under 1 s with a peak under
// 3 times the files' size; lookups against 300,000 segments with a median
// under 5 ms and the worst under 20 ms.
//
//   python3 gen_langfile.py folder TREE --projects 1 --langs 30 --entries 5000
//   bench_memory build TREE [RUNS]
//
//   python3 gen_langfile.py xml 400000 TM.xml             (about 300,000 segments)
//   python3 gen_langfile.py xml 5000 QUERIES.xml --seed 7
//   bench_memory lookup QUERIES.xml TM_PATH... [--min N]
//
// And whole rendaro-cli processes over a file (goal: each under 3 s for
// 100,000 entries against 300,000 segments on two cores): suggest (its
// defaults, minimum 60 and three suggestions), pretranslate --min 90 and
// --min 75, each the median of RUNS.
//   python3 gen_langfile.py xml 100000 FILE.xml --seed 3
//   bench_memory commands FILE.xml TM_PATH [RUNS]
// (RENDARO_CLI=PROGRAM times another rendaro-cli, an older build's say.)
//
// The lookups of those commands alone (the untranslated entries of FILE,
// minimum MIN, LIMIT suggestions each, on THREADS threads), best of RUNS:
//   bench_memory lookups FILE.xml TM_PATH MIN LIMIT THREADS [RUNS]

#include "catalogue/document.h"
#include "helpers.h"
#include "memory/lookup_many.h"
#include "memory/memory_loader.h"
#include "memory/pretranslate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The process's resident memory: now (VmRSS) or at its peak (VmHWM), in KiB.
long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Lets the peak start again from the current resident size.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

int benchBuild(const QString &tree, int runs)
{
    const QStringList files = ExpandMemoryPaths({tree}, nullptr);
    qint64 bytes = 0;
    for (const QString &file : files)
        bytes += QFileInfo(file).size();
    const double fileMb = double(bytes) / (1024.0 * 1024.0);

    // The first build, on its own, for the peak.
    resetPeak();
    const long before = statusKb("VmRSS:");
    MemoryBuildResult first = BuildTranslationMemory({tree});
    const double peakMb = double(statusKb("VmHWM:") - before) / 1024.0;
    const double heldMb = double(statusKb("VmRSS:") - before) / 1024.0;
    const std::size_t segments = first.memory->segmentCount();
    const std::size_t originals = first.memory->originalCount();
    first = {};

    const double buildMs = bestOf(runs, [&] {
        QElapsedTimer timer;
        timer.start();
        const MemoryBuildResult built = BuildTranslationMemory({tree});
        return double(timer.nsecsElapsed()) / 1e6;
    });
    std::printf("%lld files, %.1f MB; %zu segments, %zu distinct originals\n", static_cast<long long>(files.size()),
                fileMb, segments, originals);
    std::printf("build (load, intern, index): %8.1f ms  (goal < 1000)\n", buildMs);
    std::printf("peak memory of the build:    %8.1f MB  (%.2f x the files; goal < 3)\n", peakMb, peakMb / fileMb);
    std::printf("memory held afterwards:      %8.1f MB  (%.2f x the files)\n", heldMb, heldMb / fileMb);
    return 0;
}

int benchLookup(const QString &queryFile, const QStringList &memoryPaths, int minScore)
{
    QElapsedTimer timer;
    timer.start();
    const MemoryBuildResult built = BuildTranslationMemory(memoryPaths);
    const double buildMs = double(timer.nsecsElapsed()) / 1e6;
    for (const FileFailure &failure : built.failures)
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(failure.path), qPrintable(failure.reason));
    const TranslationMemory &memory = *built.memory;

    CRendaroDoc document;
    const int id = document.LoadCatalogue(queryFile, false);
    if (id < 0) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(queryFile));
        return 1;
    }
    QStringList queries;
    for (const auto &[original, entry] : document.findCatalogue(id)->entries)
        queries.append(original);

    std::vector<double> times;
    times.reserve(std::size_t(queries.size()));
    std::size_t found = 0, exact = 0;
    for (const QString &query : queries) {
        timer.restart();
        const std::vector<TmSuggestion> suggestions = memory.lookup(query, minScore, 5);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        found += suggestions.empty() ? 0 : 1;
        exact += !suggestions.empty() && suggestions.front().score == 100 ? 1 : 0;
    }
    std::sort(times.begin(), times.end());
    auto at = [&](double share) { return times[std::min(times.size() - 1, std::size_t(share * double(times.size())))]; };
    std::printf("memory: %zu segments, %zu distinct originals, built in %.0f ms (index included)\n",
                memory.segmentCount(), memory.originalCount(), buildMs);
    std::printf("%lld lookups (top 5, minimum %d): %zu with suggestions, %zu identical\n",
                static_cast<long long>(queries.size()), minScore, found, exact);
    std::printf("lookup median: %8.3f ms  (goal < 5)\n", at(0.5));
    std::printf("lookup p99:    %8.3f ms\n", at(0.99));
    std::printf("lookup worst:  %8.3f ms  (goal < 20)\n", times.back());
    return 0;
}

int benchCommands(const QString &file, const QString &memoryPath, int runs)
{
    // RENDARO_CLI names another build's program, to compare two in one session.
    const QString cli = qEnvironmentVariableIsSet("RENDARO_CLI") ? qEnvironmentVariable("RENDARO_CLI")
                                                                 : QStringLiteral(RENDARO_CLI_PATH);
    const QTemporaryDir work;
    const QString out = work.path() + QStringLiteral("/out.xml");
    struct Command {
        const char *name;
        QStringList args;
    };
    const Command commands[] = {
        {"suggest (minimum 60, 3 each)", {QStringLiteral("suggest"), file, QStringLiteral("--tm"), memoryPath}},
        {"pretranslate --min 90", {QStringLiteral("pretranslate"), file, QStringLiteral("--tm"), memoryPath, QStringLiteral("--min"), QStringLiteral("90"), QStringLiteral("-o"), out}},
        {"pretranslate --min 75", {QStringLiteral("pretranslate"), file, QStringLiteral("--tm"), memoryPath, QStringLiteral("--min"), QStringLiteral("75"), QStringLiteral("-o"), out}},
        {"pretranslate --min 100", {QStringLiteral("pretranslate"), file, QStringLiteral("--tm"), memoryPath, QStringLiteral("--min"), QStringLiteral("100"), QStringLiteral("-o"), out}},
    };
    for (const Command &command : commands) {
        // The strings left out are named on standard error: not shown here.
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            process.setStandardErrorFile(QProcess::nullDevice());
            QElapsedTimer timer;
            timer.start();
            process.start(cli, command.args);
            process.waitForFinished(-1);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
                std::fprintf(stderr, "failed: %s %s\n", qPrintable(cli), qPrintable(command.args.join(u' ')));
                return 1;
            }
        }
        std::printf("%-30s %8.2f s  (goal < 3)\n", command.name, median(times) / 1000.0);
    }
    return 0;
}

// The lookups of `suggest` and `pretranslate` alone: the untranslated
// entries of FILE looked up on THREADS threads, best of RUNS.
int benchLookups(const QString &file, const QString &memoryPath, int minScore, int limit, int threads, int runs)
{
    QElapsedTimer timer;
    timer.start();
    const MemoryBuildResult built = BuildTranslationMemory({memoryPath});
    const double buildMs = double(timer.nsecsElapsed()) / 1e6;
    CRendaroDoc document;
    const int id = document.LoadCatalogue(file, false);
    if (id < 0 || !built.memory) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
        return 1;
    }
    QStringList originals;
    for (const auto &[original, entry] : document.findCatalogue(id)->entries) {
        if (NeedsTranslation(entry))
            originals.append(original);
    }
    std::size_t suggestions = 0;
    const double ms = bestOf(runs, [&] {
        timer.restart();
        const auto found = LookupMany(*built.memory, originals, minScore, limit, threads);
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        suggestions = 0;
        for (const auto &list : found)
            suggestions += list.size();
        return elapsed;
    });
    std::printf("memory built in %.0f ms; %lld lookups (minimum %d, limit %d, %d threads): %.0f ms, %zu suggestions\n",
                buildMs, static_cast<long long>(originals.size()), minScore, limit, threads, ms, suggestions);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args[0] == u"build")
        return benchBuild(args[1], args.size() > 2 ? std::max(1, args[2].toInt()) : 3);
    if (args.size() >= 3 && args[0] == u"lookup") {
        QStringList paths = args.mid(2);
        int minScore = 60;
        const qsizetype option = paths.indexOf(QStringLiteral("--min"));
        if (option >= 0 && option + 1 < paths.size()) {
            minScore = paths[option + 1].toInt();
            paths.remove(option, 2);
        }
        return benchLookup(args[1], paths, minScore);
    }
    if (args.size() >= 6 && args[0] == u"lookups")
        return benchLookups(args[1], args[2], args[3].toInt(), args[4].toInt(), args[5].toInt(),
                            args.size() > 6 ? std::max(1, args[6].toInt()) : 1);
    if (args.size() >= 3 && args[0] == u"commands")
        return benchCommands(args[1], args[2], args.size() > 3 ? std::max(1, args[3].toInt()) : 1);
    std::fprintf(stderr, "usage: bench_memory build TREE [RUNS]\n"
                         "       bench_memory lookup QUERIES.xml TM_PATH... [--min N]\n"
                         "       bench_memory commands FILE.xml TM_PATH [RUNS]\n"
                         "       bench_memory lookups FILE.xml TM_PATH MIN LIMIT THREADS [RUNS]\n");
    return 2;
}
