// The editor's live counts ("N strings, M untranslated, K problems") for a
// large catalogue: the full pass (on load or a change of settings) and the
// update after one edit, which must stay under 20 ms.
//
//   bench_counts [ENTRIES]   (default 100000)

#include "catalogue/catalogue_counts.h"
#include "catalogue/document.h"
#include "helpers.h"
#include "generate_language_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <random>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int entryCount = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString path = QDir::tempPath() + QStringLiteral("/rendaro-bench-counts-%1.xml").arg(entryCount);
    if (!generateLanguageFile(path, entryCount)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    CRendaroDoc document;
    const int id = document.LoadCatalogue(path, false);
    QFile::remove(path);
    if (id < 0) {
        std::fprintf(stderr, "load failed\n");
        return 1;
    }
    CXMLStruct &catalogue = *document.findCatalogue(id);
    CatalogueCounts counts;
    QElapsedTimer timer;
    timer.start();
    counts.recount(catalogue);  // the first pass also puts the entries in order
    const double firstPassMs = double(timer.nsecsElapsed()) / 1e6;
    const double fullPassMs = bestOf(5, [&] {
        QElapsedTimer t;
        t.start();
        counts.recount(catalogue);
        return double(t.nsecsElapsed()) / 1e6;
    });

    // Edits as the editor makes them: store the text, then update the counts.
    const char *const texts[] = {"", "Kurz", "Mit %s Platzhalter", "Zeile\\nZwei", "Ein sehr viel zu langer Text"};
    std::mt19937 random(3);
    const int edits = 10000;
    double worstMs = 0, sumMs = 0;
    for (int i = 0; i < edits; ++i) {
        StringEntry &entry = catalogue.entries.entryAt(random() % catalogue.entries.size());
        const QString text = (i % 5 == 0) ? entry.original : QString::fromUtf8(texts[random() % 5]);
        QElapsedTimer t;
        t.start();
        const QString oldTranslation = entry.translation;
        const int oldTranslatable = entry.translatable;
        document.SetTranslation(id, entry.original, text, 1);
        counts.entryChanged(entry, oldTranslation, oldTranslatable);
        const double ms = double(t.nsecsElapsed()) / 1e6;
        worstMs = std::max(worstMs, ms);
        sumMs += ms;
    }
    CatalogueCounts check;
    check.recount(catalogue);
    const bool same = check.strings() == counts.strings() && check.untranslated() == counts.untranslated()
                      && check.problems() == counts.problems();
    std::printf("%zu entries: %s\n", catalogue.entries.size(), qPrintable(counts.statusText()));
    std::printf("full pass:          %8.2f ms  (first pass, ordering the entries: %.2f ms)\n", fullPassMs, firstPassMs);
    std::printf("after one edit:     %8.4f ms mean, %.4f ms worst of %d (goal < 20)\n", sumMs / edits, worstMs, edits);
    std::printf("incremental counts equal a full recount: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
