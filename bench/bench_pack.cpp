// Times `rendaro-cli pack combine` and `pack import` over a branch made from
// a generated language folder (16 projects, 30 languages, 3,000 entries per
// file by default), then the parts of the work on their own: reading and
// writing the project files and the combined files.
//
//   python3 gen_langfile.py folder TREE        (the shared benchmark generator)
//   bench_pack TREE [WORKDIR]
//
// TREE/lang/<LANG>/<Project>Res<LANG>.xml becomes WORKDIR/branch/Exe/Lang
// (a copy: the import writes into it), with empty stand-ins for the
// projects' programs and headers so that every project of the built-in
// table is listed. The device-pack folder is the branch itself.

#include "batch/generate_ziv_handler.h"
#include "catalogue/document.h"
#include "cli/cli.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("x=y\n");
}

// Runs one rendaro-cli command in-process; returns seconds, or -1 on failure.
// *cpu receives the processor time it took (the rest is waiting, mostly for
// the disk).
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

// The parts of the work on their own: read every project file, write every
// project file, read and write every combined file.
void timeParts(const QString &languageRoot, const QString &combinedFolder)
{
    QStringList projectFiles;
    QDirIterator it(languageRoot, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        projectFiles.append(it.next());
    const QFileInfoList combined = QDir(combinedFolder).entryInfoList({QStringLiteral("ALL_*.xml")}, QDir::Files);

    QElapsedTimer timer;
    CRendaroDoc document;
    std::vector<std::pair<int, QString>> loaded;
    timer.start();
    for (const QString &path : projectFiles)
        loaded.emplace_back(document.LoadCatalogue(path, false), path);
    const double readProjects = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    for (const auto &[id, path] : loaded)
        document.SaveCatalogue(id, path, true);
    const double writeProjects = double(timer.nsecsElapsed()) / 1e9;
    document.CloseCatalogue(-1);

    timer.restart();
    for (const QString &path : projectFiles)
        document.LoadCatalogue(path, true);  // the merge of combine
    document.CloseCatalogue(-1);
    const double mergeProjects = double(timer.nsecsElapsed()) / 1e9;

    loaded.clear();
    timer.restart();
    for (const QFileInfo &file : combined)
        loaded.emplace_back(document.LoadCatalogue(file.filePath(), false), file.filePath());
    const double readCombined = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    for (const auto &[id, path] : loaded)
        document.SaveCatalogue(id, path + QStringLiteral(".copy"), true);
    const double writeCombined = double(timer.nsecsElapsed()) / 1e9;
    for (const auto &[id, path] : loaded)
        QFile::remove(path + QStringLiteral(".copy"));

    std::printf("parts: read %lld project files %.2f s, write them %.2f s, read them merged %.2f s;\n"
                "       read %lld combined files %.2f s, write them %.2f s\n",
                qlonglong(projectFiles.size()), readProjects, writeProjects, mergeProjects,
                qlonglong(combined.size()), readCombined, writeCombined);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2 || !QFileInfo(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/lang")).isDir()) {
        std::fprintf(stderr, "usage: bench_pack TREE [WORKDIR]\n"
                             "TREE is made by: python3 gen_langfile.py folder TREE\n");
        return 2;
    }
    const QString tree = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir temporary;
    const QString work = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    const QString branch = work + QStringLiteral("/branch");
    const QString out = work + QStringLiteral("/combined");
    QDir(branch).removeRecursively();
    QDir(out).removeRecursively();
    if (!copyTree(tree + QStringLiteral("/lang"), branch + QStringLiteral("/Exe/Lang"))) {
        std::fprintf(stderr, "cannot copy %s to %s\n", qPrintable(tree), qPrintable(branch));
        return 1;
    }
    for (const ProjectEntry &row : BuiltInProjectTable()) {
        touch(branch + u'/' + row.sourcePath);
        if (!row.headerPath.isEmpty())
            touch(branch + u'/' + row.headerPath);
    }
    const QStringList common = {QStringLiteral("--branch"), branch, QStringLiteral("--device-pack"), branch};

    QString listing;
    if (timeCommand(QStringList({QStringLiteral("pack"), QStringLiteral("list")}) + common, &listing) < 0)
        return 1;
    const qsizetype projects = listing.section(QStringLiteral("Languages:"), 0, 0).count(u'\n') - 1;
    const qsizetype languages = listing.section(QStringLiteral("Languages:"), 1).count(u'\n') - 1;

    QString combineOut;
    double cpu = 0;
    const double combine = timeCommand(QStringList({QStringLiteral("pack"), QStringLiteral("combine")}) + common
                                           + QStringList({QStringLiteral("--out"), out}),
                                       &combineOut, &cpu);
    if (combine < 0)
        return 1;
    std::printf("pack combine: %.2f s, %.2f s processor (%lld projects, %lld languages, %lld combined files)\n",
                combine, cpu, qlonglong(projects), qlonglong(languages), qlonglong(combineOut.count(u'\n')));

    const int changed = translateCombinedFiles(out);
    QString importOut;
    const double import = timeCommand(QStringList({QStringLiteral("pack"), QStringLiteral("import")}) + common
                                          + QStringList({QStringLiteral("--from"), out}),
                                      &importOut, &cpu);
    if (import < 0)
        return 1;
    std::printf("pack import: %.2f s, %.2f s processor (%d new translations offered; %s)\n", import, cpu, changed,
                qPrintable(importOut.section(u'\n', -2, -2)));

    timeParts(branch + QStringLiteral("/Exe/Lang"), out);
    std::printf("peak memory: %ld MB\n", peakRssMb());
    std::printf("goal: each command under 10 s\n");
    return combine < 10 && import < 10 ? 0 : 1;
}
