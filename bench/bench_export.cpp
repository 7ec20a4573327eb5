// Exports a large generated catalogue as a JavaScript table and compares it
// with saving the same catalogue as XML in the same run.
//
//   bench_export [ENTRIES]   (default 100000)

#include "catalogue/document.h"
#include "export/script_table.h"
#include "generate_language_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString path = QDir::tempPath() + QStringLiteral("/rendaro-bench-export-%1.xml").arg(entries);
    if (!generateLanguageFile(path, entries)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    CRendaroDoc document;
    const int id = document.LoadCatalogue(path, false);
    if (id < 0)
        return 1;
    const QString xmlOut = path + QStringLiteral(".saved.xml");
    const QString jsOut = path + QStringLiteral(".js");
    double saveMs = 1e18, exportMs = 1e18, tableMs = 1e18;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!document.SaveCatalogue(id, xmlOut, true))
            return 1;
        saveMs = std::min(saveMs, double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        if (!document.ExportCatalogueScript(ScriptJavaScript, id, jsOut))
            return 1;
        exportMs = std::min(exportMs, double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        const CXMLStruct &catalogue = *document.findCatalogue(id);
        const QByteArray table = ScriptTableBytes(ScriptJavaScript, catalogue.entries, catalogue.keys);
        tableMs = std::min(tableMs, double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("catalogue: %d entries, %zu distinct originals, %lld keys\n", entries,
                document.findCatalogue(id)->entries.size(), qlonglong(document.findCatalogue(id)->keys.size()));
    std::printf("SaveCatalogue (XML):         %8.1f ms\n", saveMs);
    std::printf("ExportCatalogueScript (js):  %8.1f ms  (%.2f x the XML save, goal <= 1.0)\n", exportMs,
                exportMs / saveMs);
    std::printf("  of which building the table: %8.1f ms (the rest is the safe write: temporary file, fsync, rename)\n",
                tableMs);
    QFile::remove(xmlOut);
    QFile::remove(jsOut);
    QFile::remove(path);
    return 0;
}
