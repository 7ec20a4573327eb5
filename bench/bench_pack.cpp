// Times `rendaro-cli pack combine` and `pack import` over a branch made from
// a generated language folder (16 projects, 30 languages, 3,000 entries per
// file by default), in this process as the command line runs them: once
// with the built-in project table, once with a --projects table of 16
// text-file projects over the same files. Then the parts of the work on one
// thread, one language at a time, as the pipeline's jobs do them.
//
//   python3 gen_langfile.py folder TREE        (the shared benchmark generator)
//   bench_pack TREE [WORKDIR] [--threads N]
//   bench_pack TREE [WORKDIR] --ratio FILE [--rounds N] [--cli PATH]
//
// With --ratio, whole processes of rendaro-cli instead: `resave FILE -o OUT`
// (the 300,000-entry benchmark file) taken in turn with `pack combine` and
// `pack import` over the branch (resave, combine, resave, import, ...; the
// branch's language files copied in again before each import, untimed), N
// rounds (default 5); prints the medians and the median of each round's
// ratio to the resave beside it (goal: at most 2.5).
//
// TREE/lang/<LANG>/<Project>Res<LANG>.xml becomes WORKDIR/branch/Exe/Lang
// (a copy: the import writes into it), with empty stand-ins for the
// projects' programs and headers so that every project of the built-in
// table is listed, and the text files of WORKDIR/projects.json. The
// device-pack folder is the branch itself. --threads passes the worker
// thread count to the commands (default: as many as the machine runs).
// WORKDIR keeps the branch and the translated combined files (combined/),
// for whole-process runs of rendaro-cli (see README).

#include "batch/generate_ziv_handler.h"
#include "catalogue/catalogue_reading.h"
#include "catalogue/document.h"
#include "cli/cli.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void touch(const QString &path, const QByteArray &bytes = "x=y\n")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Runs one rendaro-cli command in-process; returns seconds, or -1 on failure.
// *cpu receives the processor time it took on all threads.
double timeCommand(const QStringList &args, QString *out, double *cpu = nullptr)
{
    const double cpuBefore = cpuSeconds();
    QString err;
    QTextStream outStream(out), errStream(&err);
    CliStreams io{outStream, errStream};
    QElapsedTimer timer;
    timer.start();
    const int status = runCli(args, io);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (cpu)
        *cpu = cpuSeconds() - cpuBefore;
    errStream.flush();
    if (status != 0) {
        std::fprintf(stderr, "%s failed (%d): %s\n", qPrintable(args.join(u' ')), status, qPrintable(err.left(2000)));
        return -1;
    }
    return seconds;
}

// The translators' answer: every seventh translatable entry of each combined
// file gets a new translation, so the import has real work to do.
int translateCombinedFiles(const QString &folder)
{
    int changed = 0;
    for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("ALL_*.xml")}, QDir::Files)) {
        CRendaroDoc document;
        const int id = document.LoadCatalogue(file.filePath(), false);
        int n = 0;
        for (const auto &[original, entry] : document.CopyEntries(id)) {
            if (entry.translatable && ++n % 7 == 0) {
                document.SetTranslation(id, original, entry.translation + QStringLiteral(" (rev)"), 1);
                ++changed;
            }
        }
        document.SaveCatalogue(id, file.filePath(), true);
    }
    return changed;
}

// The 16 projects of the built-in table as text-file projects (a key=value
// file each, no header) over the same language files.
QString writeTextProjectTable(const QString &work, const QString &branch)
{
    QJsonArray rows;
    for (const ProjectEntry &row : BuiltInProjectTable()) {
        const QString source = QStringLiteral("Source/%1/Strings.txt").arg(row.name);
        touch(branch + u'/' + source);
        rows.append(QJsonObject{{QStringLiteral("name"), row.name},
                                {QStringLiteral("sourcePath"), source},
                                {QStringLiteral("headerPath"), QString()},
                                {QStringLiteral("englishCataloguePath"), row.englishCataloguePath},
                                {QStringLiteral("isDevicePack"), false}});
    }
    const QString path = work + QStringLiteral("/projects.json");
    touch(path, QJsonDocument(rows).toJson());
    return path;
}

struct Seconds {
    double mergeRead = 0, merge = 0, writeCombined = 0;
    double readCombined = 0, readProjects = 0, copyAndWrite = 0, release = 0;
};

double since(QElapsedTimer &timer)
{
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    return seconds;
}

// The jobs of combine and import on this thread, language by language.
void timeParts(const QString &languageRoot, const QString &combinedFolder)
{
    Seconds total;
    QElapsedTimer timer;
    const QStringList languages = QDir(languageRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &language : languages) {
        const QString folder = languageRoot + u'/' + language;
        QStringList files;
        for (const QString &name : QDir(folder).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
            files.append(folder + u'/' + name);

        // combine: each file's merge items, merged, the combined file written
        CRendaroDoc document;
        timer.start();
        std::vector<ReadCatalogue> items;
        for (const QString &path : files)
            items.push_back(ReadCatalogueFile(path, CatalogueParts::MergeItems, -1));
        total.mergeRead += since(timer);
        for (ReadCatalogue &read : items)
            document.MergeReadCatalogue(std::move(read));
        total.merge += since(timer);
        const QString copy = combinedFolder + QStringLiteral("/parts.xml");
        document.SaveCatalogue(0, copy, true);
        total.writeCombined += since(timer);
        document.CloseCatalogue(-1);
        QFile::remove(copy);

        // import: the translated file's entries, each project file with its
        // tree, translations copied in and the file written (to a copy)
        timer.restart();
        const ReadCatalogue translated = ReadCatalogueFile(
            combinedFolder + QStringLiteral("/ALL_") + language + QStringLiteral(".xml"), CatalogueParts::Entries, -1);
        total.readCombined += since(timer);
        std::vector<ReadCatalogue> projects;
        for (const QString &path : files)
            projects.push_back(ReadCatalogueFile(path, CatalogueParts::TreeAndEntries, -1));
        total.readProjects += since(timer);
        for (ReadCatalogue &project : projects) {
            EntryMap &entries = project.catalogue.entries;
            for (size_t number = 0; number < entries.size(); ++number) {
                StringEntry &entry = entries.byNumber(number);
                const StringEntry *found = translated.catalogue.entries.lookup(entry.original);
                if (entry.translatable && found && !found->translation.isEmpty() && found->translation != entry.original)
                    entry.translation = found->translation;
            }
            QString reason;
            CRendaroDoc::WriteCatalogueFile(project.catalogue, project.catalogue.filePath + QStringLiteral(".copy"),
                                            true, &reason);
        }
        total.copyAndWrite += since(timer);
        projects.clear();
        total.release += since(timer);
        for (const QString &path : files)
            QFile::remove(path + QStringLiteral(".copy"));
    }
    std::printf("parts on one thread, one language at a time (%lld languages):\n"
                "  combine: read merge items %.2f s, merge %.2f s, write combined files %.2f s\n"
                "  import:  read combined files %.2f s, read project files %.2f s, copy and write them %.2f s,"
                " let them go %.2f s\n",
                qlonglong(languages.size()), total.mergeRead, total.merge, total.writeCombined, total.readCombined,
                total.readProjects, total.copyAndWrite, total.release);
}

// combine, the translators' answer, import; false on failure. *slowest
// takes the longer of the two commands.
bool runPipeline(const QString &label, const QStringList &common, const QString &out, double *slowest)
{
    QDir(out).removeRecursively();
    QString combineOut;
    double cpu = 0;
    const double combine =
        timeCommand(QStringList({QStringLiteral("pack"), QStringLiteral("combine")}) + common
                        + QStringList({QStringLiteral("--out"), out}),
                    &combineOut, &cpu);
    if (combine < 0)
        return false;
    std::printf("%s: pack combine %.2f s, %.2f s processor (%lld combined files)\n", qPrintable(label), combine, cpu,
                qlonglong(combineOut.count(u'\n')));
    const int changed = translateCombinedFiles(out);
    QString importOut;
    const double import = timeCommand(QStringList({QStringLiteral("pack"), QStringLiteral("import")}) + common
                                          + QStringList({QStringLiteral("--from"), out}),
                                      &importOut, &cpu);
    if (import < 0)
        return false;
    *slowest = std::max({*slowest, combine, import});
    std::printf("%s: pack import  %.2f s, %.2f s processor (%d new translations offered; %s)\n", qPrintable(label),
                import, cpu, changed, qPrintable(importOut.section(u'\n', -2, -2)));
    return true;
}

// The rendaro-cli beside this program's build, or the one given.
QString cliProgram(const QString &given)
{
    return given.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/rendaro-cli")
                           : given;
}

double processSeconds(const QString &cli, const QStringList &args)
{
    QStringList arguments = {cli};
    arguments += args;
    const ProcessRun run = runProcess(arguments);
    if (!run.ok) {
        std::fprintf(stderr, "failed (%d): %s\n", run.status, qPrintable(arguments.join(u' ')));
        return -1;
    }
    return run.ms / 1000;
}

// resave, combine, resave, import, round after round; false on failure.
bool timeAgainstResave(const QString &cli, const QString &file, const QString &tree, const QString &languageRoot,
                       const QString &work, const QStringList &common, int rounds)
{
    const QStringList resave = {QStringLiteral("resave"), file, QStringLiteral("-o"), work + QStringLiteral("/resaved.xml")};
    const QStringList combine = QStringList({QStringLiteral("pack"), QStringLiteral("combine")}) + common
                                + QStringList({QStringLiteral("--out"), work + QStringLiteral("/ratio-out")});
    const QStringList import = QStringList({QStringLiteral("pack"), QStringLiteral("import")}) + common
                               + QStringList({QStringLiteral("--from"), work + QStringLiteral("/combined")});
    std::vector<double> resaves, combines, imports, combineRatios, importRatios;
    for (int round = -1; round < rounds; ++round) {  // round -1 warms the caches
        const double r1 = processSeconds(cli, resave);
        const double c = processSeconds(cli, combine);
        const double r2 = processSeconds(cli, resave);
        if (!copyTree(tree + QStringLiteral("/lang"), languageRoot))
            return false;
        const double i = processSeconds(cli, import);
        if (r1 < 0 || c < 0 || r2 < 0 || i < 0)
            return false;
        if (round < 0)
            continue;
        resaves.insert(resaves.end(), {r1, r2});
        combines.push_back(c);
        imports.push_back(i);
        combineRatios.push_back(c / r1);
        importRatios.push_back(i / r2);
        std::printf("round %d: resave %.2f s, combine %.2f s (%.2f x), resave %.2f s, import %.2f s (%.2f x)\n",
                    round + 1, r1, c, c / r1, r2, i, i / r2);
    }
    const double combineRatio = median(combineRatios), importRatio = median(importRatios);
    std::printf("whole processes, medians of %d rounds: resave %.2f s, pack combine %.2f s, pack import %.2f s\n",
                rounds, median(resaves), median(combines), median(imports));
    std::printf("pack combine / resave = %.2f, pack import / resave = %.2f  (goal: each at most 2.5)\n",
                combineRatio, importRatio);
    return combineRatio <= 2.5 && importRatio <= 2.5;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString threads;
    if (const qsizetype at = args.indexOf(QStringLiteral("--threads")); at >= 0 && at + 1 < args.size()) {
        threads = args.at(at + 1);
        args.remove(at, 2);
    }
    auto option = [&args](const char *name) {
        QString value;
        if (const qsizetype at = args.indexOf(QLatin1String(name)); at >= 0 && at + 1 < args.size()) {
            value = args.at(at + 1);
            args.remove(at, 2);
        }
        return value;
    };
    const QString ratioFile = option("--ratio");
    const QString rounds = option("--rounds");
    const QString cli = cliProgram(option("--cli"));
    if (args.isEmpty() || args.size() > 2 || !QFileInfo(args.first() + QStringLiteral("/lang")).isDir()) {
        std::fprintf(stderr, "usage: bench_pack TREE [WORKDIR] [--threads N]\n"
                             "       bench_pack TREE [WORKDIR] --ratio FILE [--rounds N] [--cli PATH]\n"
                             "TREE is made by: python3 gen_langfile.py folder TREE\n");
        return 2;
    }
    const QString tree = args.first();
    QTemporaryDir temporary;
    const QString work = args.size() > 1 ? args.at(1) : temporary.path();
    const QString branch = work + QStringLiteral("/branch");
    const QString languageRoot = branch + QStringLiteral("/Exe/Lang");
    QDir(branch).removeRecursively();
    for (const ProjectEntry &row : BuiltInProjectTable()) {
        touch(branch + u'/' + row.sourcePath);
        if (!row.headerPath.isEmpty())
            touch(branch + u'/' + row.headerPath);
    }
    const QString textTable = writeTextProjectTable(work, branch);
    QStringList common = {QStringLiteral("--branch"), branch, QStringLiteral("--device-pack"), branch};
    if (!threads.isEmpty())
        common += {QStringLiteral("--threads"), threads};

    const QString combined = work + QStringLiteral("/combined");
    bool ok = true;
    double slowest = 0;
    if (!ratioFile.isEmpty()) {
        // The translated combined files for the imports, then the rounds.
        if (!copyTree(tree + QStringLiteral("/lang"), languageRoot) || !runPipeline(QStringLiteral("built-in table"), common, combined, &slowest))
            return 1;
        return timeAgainstResave(cli, ratioFile, tree, languageRoot, work, common, rounds.isEmpty() ? 5 : rounds.toInt())
                   ? 0
                   : 1;
    }
    for (const bool text : {true, false}) {
        // A fresh branch for each table: the import writes into it.
        QDir(languageRoot).removeRecursively();
        if (!copyTree(tree + QStringLiteral("/lang"), languageRoot)) {
            std::fprintf(stderr, "cannot copy %s to %s\n", qPrintable(tree), qPrintable(branch));
            return 1;
        }
        const QStringList options = text ? common + QStringList({QStringLiteral("--projects"), textTable}) : common;
        ok = ok && runPipeline(text ? QStringLiteral("text-file table") : QStringLiteral("built-in table"), options,
                               combined, &slowest);
    }
    if (!ok)
        return 1;
    timeParts(languageRoot, combined);
    const long peak = peakRssMb();
    std::printf("peak memory: %ld MB\n", peak);
    std::printf("goal: each command under 3 s (whole process), peak memory under 300 MB\n");
    return slowest < 3 && peak < 300 ? 0 : 1;
}
