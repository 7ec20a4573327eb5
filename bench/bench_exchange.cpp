// XLIFF and PO export and import of a large language file by rendaro-cli,
// each timed as a whole process against `rendaro-cli resave` of that file
// (goal: at most 2 x). The import reads a file in which every translatable
// string has a new translation, so every unit is checked and taken.
//
//   bench_exchange [ENTRIES] [RUNS]   (default 100000 entries, median of 5 runs)

#include "catalogue/document.h"
#include "exchange/exchange_files.h"
#include "exchange/po_writer.h"
#include "exchange/xliff_writer.h"
#include "generate_language_file.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The median wall time of rendaro-cli with args; -1 when it fails (an
// import reports refusals, none here, with status 1).
double medianRun(const QStringList &args, int runs)
{
    return medianProcessMs(QStringLiteral(RENDARO_CLI_PATH), args, runs);
}

// The exchange files of the catalogue with every translatable string
// translated anew (the original and a word: placeholders and line breaks
// kept, so every translation passes the checks and is taken).
bool writeTranslatedExchangeFiles(const QString &path, const QString &xliff, const QString &po)
{
    CRendaroDoc document;
    const int id = document.LoadCatalogue(path, false);
    if (id < 0)
        return false;
    CXMLStruct &catalogue = *document.findCatalogue(id);
    for (size_t number = 0; number < catalogue.entries.size(); ++number) {
        StringEntry &entry = catalogue.entries.byNumber(number);
        if (entry.translatable)
            entry.translation = entry.original + QStringLiteral(" (neu)");
    }
    const ExportFile file = ExportFileOf(catalogue, QFileInfo(path).fileName());
    QString error;
    return SaveXliff(xliff, {file}, &error) && SavePo(po, file, &error);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const QString folder = QDir::tempPath() + QStringLiteral("/rendaro-bench-exchange");
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/ViewResDEU.xml");
    const QString in = folder + QStringLiteral("/in"), out = folder + QStringLiteral("/out");
    if (!generateLanguageFile(file, entries) || !writeTranslatedExchangeFiles(file, in + ".xlf", in + ".po")) {
        std::fprintf(stderr, "cannot prepare the files in %s\n", qPrintable(folder));
        return 1;
    }
    std::printf("%d entries, %.1f MB language file, %.1f MB XLIFF, %.1f MB PO; median of %d runs\n", entries,
                double(QFileInfo(file).size()) / 1e6, double(QFileInfo(in + ".xlf").size()) / 1e6,
                double(QFileInfo(in + ".po").size()) / 1e6, runs);
    const double resave = medianRun({QStringLiteral("resave"), file, QStringLiteral("-o"), out + ".xml"}, runs);
    std::printf("rendaro-cli resave:        %8.1f ms\n", resave);
    const struct {
        const char *label;
        QStringList args;
    } commands[] = {
        {"xliff export", {QStringLiteral("xliff"), QStringLiteral("export"), file, QStringLiteral("-o"), out + ".xlf"}},
        {"xliff import", {QStringLiteral("xliff"), QStringLiteral("import"), file, in + ".xlf", QStringLiteral("-o"), out + ".xml"}},
        {"po export", {QStringLiteral("po"), QStringLiteral("export"), file, QStringLiteral("-o"), out + ".po"}},
        {"po import", {QStringLiteral("po"), QStringLiteral("import"), file, in + ".po", QStringLiteral("-o"), out + ".xml"}},
    };
    bool within = resave > 0;
    for (const auto &command : commands) {
        const double ms = medianRun(command.args, runs);
        std::printf("rendaro-cli %-13s %8.1f ms  (%.2f x resave, goal <= 2.0)\n", command.label, ms, ms / resave);
        within = within && ms > 0 && ms <= 2 * resave;
    }
    QDir(folder).removeRecursively();
    return within ? 0 : 1;
}
