// Loads and saves a large generated language file and compares the load
// with expat parsing the same bytes with no-op handlers (the floor).
//
//   bench_load_save [ENTRIES] [FILE]   (default 100000 entries, a temp file)

#include "catalogue/document.h"
#include "catalogue/xml_parser.h"
#include "helpers.h"
#include "generate_language_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <expat.h>
#include <sys/resource.h>

namespace {

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long currentRssKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

// Parses the file in 50000-byte chunks with handlers that do nothing.
double expatFloorMs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QElapsedTimer timer;
    timer.start();
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetElementHandler(parser, [](void *, const XML_Char *, const XML_Char **) {}, [](void *, const XML_Char *) {});
    XML_SetCharacterDataHandler(parser, [](void *, const XML_Char *, int) {});
    char buffer[50000];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        const bool final = got < qint64(sizeof buffer) || file.atEnd();
        if (XML_Parse(parser, buffer, int(got), final) == XML_STATUS_ERROR) {
            std::fprintf(stderr, "expat: %s\n", XML_ErrorString(XML_GetErrorCode(parser)));
            break;
        }
        if (final)
            break;
    }
    XML_ParserFree(parser);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QDir::tempPath() + QStringLiteral("/rendaro-bench-%1.xml").arg(entries);
    if (!generateLanguageFile(path, entries)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    const double fileMb = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    const QString out = path + QStringLiteral(".saved.xml");

    const double floorMs = bestOf(3, [&] { return expatFloorMs(path); });
    const long rssBefore = currentRssKb();

    // Memory: one load and save, measured as growth of the peak.
    double loadMs = 0, saveMs = 0, loadPeakMb = 0;
    {
        CRendaroDoc document;
        QElapsedTimer timer;
        timer.start();
        const int id = document.LoadCatalogue(path, false);
        loadMs = double(timer.nsecsElapsed()) / 1e6;
        loadPeakMb = double(peakRssKb() - rssBefore) / 1024.0;
        if (id < 0) {
            std::fprintf(stderr, "load failed\n");
            return 1;
        }
        timer.restart();
        if (!document.SaveCatalogue(id, out, true)) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        saveMs = double(timer.nsecsElapsed()) / 1e6;
    }
    const double peakMb = double(peakRssKb() - rssBefore) / 1024.0;

    // Times: best of three further runs each.
    loadMs = std::min(loadMs, bestOf(3, [&] {
        CRendaroDoc document;
        QElapsedTimer timer;
        timer.start();
        document.LoadCatalogue(path, false);
        return double(timer.nsecsElapsed()) / 1e6;
    }));
    saveMs = std::min(saveMs, bestOf(3, [&] {
        CRendaroDoc document;
        const int id = document.LoadCatalogue(path, false);
        QElapsedTimer timer;
        timer.start();
        document.SaveCatalogue(id, out, true);
        return double(timer.nsecsElapsed()) / 1e6;
    }));

    // Closing: what the editor does on New and Open, after an Open (which
    // also merges the file into the master catalogue).
    const double closeMs = bestOf(3, [&] {
        CRendaroDoc document;
        const int id = document.LoadCatalogue(path, true);
        document.SelectCatalogue(id);
        QElapsedTimer timer;
        timer.start();
        document.CloseCatalogue(-1);
        return double(timer.nsecsElapsed()) / 1e6;
    });

    std::printf("file: %d entries, %.1f MB\n", entries, fileMb);
    std::printf("expat floor:   %8.1f ms\n", floorMs);
    const double treeMs = bestOf(3, [&] {
        QElapsedTimer timer;
        timer.start();
        XmlDocument *document = xml_parse_file(path);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        xml_document_free(document);
        return ms;
    });
    std::printf("element tree:  %8.1f ms  (%.2f x floor; part of the load)\n", treeMs, treeMs / floorMs);
    std::printf("LoadCatalogue: %8.1f ms  (%.2f x floor, goal <= 2.5)\n", loadMs, loadMs / floorMs);
    std::printf("SaveCatalogue: %8.1f ms  (%.2f x load, goal <= 1.0)\n", saveMs, saveMs / loadMs);
    std::printf("CloseCatalogue:%8.1f ms  (every catalogue, after an Open; goal < 50 at 300,000)\n", closeMs);
    std::printf("peak memory:   %8.1f MB  (%.2f x file, in this process; %.1f MB after the load)\n", peakMb,
                peakMb / fileMb, loadPeakMb);
    QFile::remove(out);
    if (argc <= 2)
        QFile::remove(path);
    return 0;
}
