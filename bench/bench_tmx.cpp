// TMX import into the translation memory against reading a language file of
// as many entries (goal: at most 2 x the time, peak memory under 3 x the
// TMX file). Both hold the same strings, every one translated: the language
// file's elements, and a unit per element in the TMX.
//
// Whole processes: `rendaro-cli suggest QUERY --tm FILE --min 100` (the
// memory built from FILE, then a few lookups), with the language file and
// with the TMX file. In-process: the memory built from each, and reading
// alone (the language file's entries; the TMX file's segments).
//
//   bench_tmx [UNITS] [RUNS]   (default 1000000 units, median of 3 runs)

#include "catalogue/document.h"
#include "catalogue/file_text.h"
#include "catalogue/xml_escape.h"
#include "catalogue/xml_parser.h"
#include "generate_language_file.h"
#include "helpers.h"
#include "memory/memory_loader.h"
#include "memory/tmx_memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Each element of the generated file, translated, as a language file line
// and as a TMX unit.
struct Writers {
    std::string xml, tmx;
    int units = 0;
};

void takeElement(void *context, const char *name, const char **attributes)
{
    if (std::strcmp(name, "L") != 0)
        return;
    auto *out = static_cast<Writers *>(context);
    QString from, to, key;
    for (const char **a = attributes; a[0]; a += 2) {
        const QString value = QString::fromUtf8(a[1]);
        if (std::strcmp(a[0], "from") == 0)
            from = value;
        else if (std::strcmp(a[0], "to") == 0)
            to = value;
        else if (std::strcmp(a[0], "key") == 0)
            key = value;
    }
    if (to.isEmpty() || to == from)
        to = from + QStringLiteral(" (de)");
    out->xml += "   <L from=\"";
    appendEscapedPlain(out->xml, from, true);
    out->xml += "\" to=\"";
    appendEscapedPlain(out->xml, to, true);
    out->xml += "\" key=\"";
    appendEscapedPlain(out->xml, key, true);
    out->xml += "\"/>\r\n";
    // The TMX carries the memory form, as Rendaro's export writes it.
    out->tmx += "    <tu tuid=\"";
    appendEscapedPlain(out->tmx, key, true);
    out->tmx += "\">\n      <prop type=\"x-file\">ViewResDEU.xml</prop>\n      <tuv xml:lang=\"en-US\"><seg>";
    appendEscapedPlain(out->tmx, UnescapeFromFile(from), false);
    out->tmx += "</seg></tuv>\n      <tuv xml:lang=\"de\"><seg>";
    appendEscapedPlain(out->tmx, UnescapeFromFile(to), false);
    out->tmx += "</seg></tuv>\n    </tu>\n";
    ++out->units;
}

bool writeAll(const QString &path, const std::string &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

double msOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int units = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const QString folder = QDir::tempPath() + QStringLiteral("/rendaro-bench-tmx");
    QDir().mkpath(folder);
    const QString generated = folder + QStringLiteral("/generated.xml");
    const QString xml = folder + QStringLiteral("/ViewResDEU.xml"), tmx = folder + QStringLiteral("/memory.tmx");
    const QString query = folder + QStringLiteral("/QueryDEU.xml");
    Writers writers;
    writers.xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n"
                  "<Language AllowLength=\"2.000000\" CodeType=\"CPlus2\">\r\n";
    writers.tmx = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\">\n  <header creationtool=\"bench\" "
                  "creationtoolversion=\"1\" segtype=\"block\" o-tmf=\"bench\" adminlang=\"en-US\" srclang=\"en-US\" "
                  "datatype=\"plaintext\"/>\n  <body>\n";
    QString error;
    if (!generateLanguageFile(generated, units) || !xml_scan_file(generated, &error, takeElement, &writers)
        || !generateLanguageFile(query, 100, 7)) {
        std::fprintf(stderr, "cannot generate the files in %s: %s\n", qPrintable(folder), qPrintable(error));
        return 1;
    }
    writers.xml += "</Language>\r\n";
    writers.tmx += "  </body>\n</tmx>\n";
    if (!writeAll(xml, writers.xml) || !writeAll(tmx, writers.tmx)) {
        std::fprintf(stderr, "cannot write the files in %s\n", qPrintable(folder));
        return 1;
    }
    const double xmlMb = double(QFileInfo(xml).size()) / 1048576, tmxMb = double(QFileInfo(tmx).size()) / 1048576;
    std::printf("%d strings: language file %.1f MB, TMX file %.1f MB; median of %d runs\n", writers.units, xmlMb, tmxMb,
                runs);
    writers = Writers();

    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/rendaro-cli");
    std::vector<double> xmlMs, xmlPeak, tmxMs, tmxPeak;
    for (int run = 0; run < runs; ++run) {
        for (const bool fromTmx : {false, true}) {
            const ProcessRun ran = runProcess({cli, QStringLiteral("suggest"), query, QStringLiteral("--tm"),
                                               fromTmx ? tmx : xml, QStringLiteral("--min"), QStringLiteral("100")});
            if (!ran.ok) {
                std::fprintf(stderr, "rendaro-cli suggest failed\n");
                return 1;
            }
            (fromTmx ? tmxMs : xmlMs).push_back(ran.ms);
            (fromTmx ? tmxPeak : xmlPeak).push_back(ran.peakMb);
        }
    }
    std::printf("whole process, rendaro-cli suggest --tm FILE --min 100:\n");
    std::printf("  language file  %7.0f ms  peak %6.1f MB (%.2f x the file)\n", median(xmlMs), median(xmlPeak),
                median(xmlPeak) / xmlMb);
    std::printf("  TMX file       %7.0f ms  peak %6.1f MB (%.2f x the file)   time %.2f x the language file's\n",
                median(tmxMs), median(tmxPeak), median(tmxPeak) / tmxMb, median(tmxMs) / median(xmlMs));

    MemoryBuildOptions options;
    options.fuzzyIndex = false;
    options.language = QStringLiteral("de");
    std::vector<double> buildXml, buildTmx, readXml, readTmx;
    std::size_t segmentsXml = 0, segmentsTmx = 0;
    for (int run = 0; run < runs; ++run) {
        buildXml.push_back(msOf([&] { segmentsXml = BuildTranslationMemory({xml}, options).memory->segmentCount(); }));
        buildTmx.push_back(msOf([&] { segmentsTmx = BuildTranslationMemory({tmx}, options).memory->segmentCount(); }));
        readXml.push_back(msOf([&] {
            CRendaroDoc document;
            document.LoadCatalogueEntries(xml);
        }));
        readTmx.push_back(msOf([&] {
            std::size_t count = 0;
            ReadTmxSegments(tmx, QStringLiteral("de"), [&](std::vector<TmxSegment> &batch) { count += batch.size(); });
        }));
    }
    std::printf("in-process:\n");
    std::printf("  memory from the language file %7.0f ms (%zu segments)\n", median(buildXml), segmentsXml);
    std::printf("  memory from the TMX file      %7.0f ms (%zu segments)  %.2f x\n", median(buildTmx), segmentsTmx,
                median(buildTmx) / median(buildXml));
    std::printf("  reading alone: language file's entries %7.0f ms, TMX file's segments %7.0f ms  %.2f x\n",
                median(readXml), median(readTmx), median(readTmx) / median(readXml));
    return 0;
}
