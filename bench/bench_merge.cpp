// rendaro-cli merge of three versions of a large language file, as a whole
// process (goal: 100,000 entries under 1 s). Ours translates and changes
// originals, theirs adds, removes, changes keys and marks; a second run
// also has both sides translate some of the same strings differently
// (conflicts, and the conflicts file written).
//
//   bench_merge [ENTRIES] [RUNS]   (default 100000 entries, median of 5 runs)

#include "generate_language_file.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The value of attribute `name` in an element's line replaced.
QByteArray withValue(const QByteArray &line, const QByteArray &name, const QByteArray &value)
{
    const QByteArray opening = ' ' + name + "=\"";
    const qsizetype start = line.indexOf(opening);
    if (start < 0)
        return line;
    const qsizetype valueStart = start + opening.size();
    const qsizetype end = line.indexOf('"', valueStart);
    return line.left(valueStart) + value + line.mid(end);
}

struct Versions {
    QByteArray ours, theirs;
};

Versions makeVersions(const QByteArray &base, bool conflicts)
{
    QList<QByteArray> oursLines, theirsLines;
    int element = 0;
    for (const QByteArray &line : base.split('\n')) {
        if (!line.contains("<L ")) {
            oursLines << line;
            theirsLines << line;
            continue;
        }
        ++element;
        QByteArray ours = line, theirs = line;
        if (element % 20 == 0)
            ours = withValue(ours, "to", "Neu " + QByteArray::number(element));
        if (element % 50 == 7)
            ours = withValue(ours, "from", "Changed original " + QByteArray::number(element));
        if (element % 30 == 3)
            theirs = withValue(theirs, "key", "IDS_T" + QByteArray::number(element));
        if (element % 25 == 11 && !theirs.contains("IsTrans"))
            theirs.replace("/>", " IsTrans=\"false\"/>");
        if (conflicts && element % 600 == 0)
            theirs = withValue(theirs, "to", "Anders " + QByteArray::number(element));
        oursLines << ours;
        if (element % 40 == 13)
            continue;  // theirs removes it
        theirsLines << theirs;
        if (element % 100 == 17)
            theirsLines << "   <L from=\"Added " + QByteArray::number(element) + "\" to=\"Added\" key=\"IDS_NEW_"
                               + QByteArray::number(element) + "\"/>\r";
    }
    return {oursLines.join('\n'), theirsLines.join('\n')};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const QString folder = QDir::tempPath() + QStringLiteral("/rendaro-bench-merge");
    QDir().mkpath(folder);
    const QString base = folder + QStringLiteral("/base.xml");
    if (!generateLanguageFile(base, entries)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(base));
        return 1;
    }
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/rendaro-cli");
    const QByteArray baseBytes = readAll(base);
    std::printf("merge of three versions of %d entries (%.1f MB each), whole process, median of %d runs\n", entries,
                double(baseBytes.size()) / 1e6, runs);
    for (const bool conflicts : {false, true}) {
        const Versions versions = makeVersions(baseBytes, conflicts);
        const QString ours = folder + QStringLiteral("/ours.xml"), theirs = folder + QStringLiteral("/theirs.xml");
        const QString out = folder + QStringLiteral("/out.xml");
        if (!writeAll(ours, versions.ours) || !writeAll(theirs, versions.theirs)) {
            std::fprintf(stderr, "cannot write the versions in %s\n", qPrintable(folder));
            return 1;
        }
        std::vector<double> times, peaks;
        int status = -1;
        for (int run = 0; run < runs; ++run) {
            QFile::remove(out + QStringLiteral(".conflicts"));
            const ProcessRun merged = runProcess({cli, QStringLiteral("merge"), base, ours, theirs, QStringLiteral("-o"), out});
            if (merged.status != (conflicts ? 1 : 0)) {
                std::fprintf(stderr, "rendaro-cli merge exited with %d\n", merged.status);
                return 1;
            }
            status = merged.status;
            times.push_back(merged.ms);
            peaks.push_back(merged.peakMb);
        }
        std::printf("  %-16s %7.0f ms  peak %6.1f MB  exit %d%s\n", conflicts ? "with conflicts" : "clean",
                    median(times), median(peaks), status,
                    conflicts ? "  (conflicts file written)" : "");
    }
    return 0;
}
