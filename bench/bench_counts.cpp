// The editor's live counts ("N strings, M untranslated, K problems") for a
// large catalogue: the full pass (on load or a change of settings) and the
// update after one edit, which must stay under 20 ms; then the same with
// every check's warnings counted too ("..., W warnings"), whose update after
// one edit must stay under 1 ms.
//
//   bench_counts [ENTRIES]   (default 100000)

#include "catalogue/catalogue_counts.h"
#include "catalogue/document.h"
#include "checks/check_registry.h"
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
    const char *const texts[] = {"", "Kurz", "Mit %s Platzhalter", "Zeile\\nZwei", "Ein sehr viel zu langer Text",
                                 "die  Datei 3 (offen?", "&Datei speichern..."};
    std::mt19937 random(3);
    const int edits = 10000;
    auto timeEdits = [&](CatalogueCounts &counted, double &worstMs) {
        double sumMs = 0;
        worstMs = 0;
        for (int i = 0; i < edits; ++i) {
            StringEntry &entry = catalogue.entries.entryAt(random() % catalogue.entries.size());
            const QString text = (i % 5 == 0) ? entry.original : QString::fromUtf8(texts[random() % 7]);
            QElapsedTimer t;
            t.start();
            const QString oldTranslation = entry.translation;
            const int oldTranslatable = entry.translatable;
            document.SetTranslation(id, entry.original, text, 1);
            counted.entryChanged(entry, oldTranslation, oldTranslatable);
            const double ms = double(t.nsecsElapsed()) / 1e6;
            worstMs = std::max(worstMs, ms);
            sumMs += ms;
        }
        return sumMs / edits;
    };
    double worstMs = 0;
    const double meanMs = timeEdits(counts, worstMs);
    CatalogueCounts check;
    check.recount(catalogue);
    const bool same = check.strings() == counts.strings() && check.untranslated() == counts.untranslated()
                      && check.problems() == counts.problems();
    std::printf("%zu entries: %s\n", catalogue.entries.size(), qPrintable(counts.statusText()));
    std::printf("full pass:          %8.2f ms  (first pass, ordering the entries: %.2f ms)\n", fullPassMs, firstPassMs);
    std::printf("after one edit:     %8.4f ms mean, %.4f ms worst of %d (goal < 20)\n", meanMs, worstMs, edits);
    std::printf("incremental counts equal a full recount: %s\n", same ? "yes" : "NO");

    // With the warnings of every check (the file's language: German).
    CheckTarget target;
    target.context.language = CheckLanguageForCode(QStringLiteral("DEU"));
    auto withChecks = [&] {
        CatalogueCounts counted;
        counted.setChecks(CheckRegistry::standard().makeSet(target));
        return counted;
    };
    CatalogueCounts warned = withChecks();
    const double warnedPassMs = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        warned.recount(catalogue);
        return double(t.nsecsElapsed()) / 1e6;
    });
    double warnedWorstMs = 0;
    const double warnedMeanMs = timeEdits(warned, warnedWorstMs);
    CatalogueCounts warnedFresh = withChecks();
    warnedFresh.recount(catalogue);
    const bool warnedSame = warnedFresh.statusTextWithWarnings() == warned.statusTextWithWarnings()
                            && warnedFresh.findings().entriesWithWarnings() == warned.findings().entriesWithWarnings();
    std::printf("with every check:   %s\n", qPrintable(warned.statusTextWithWarnings()));
    std::printf("full pass:          %8.2f ms\n", warnedPassMs);
    std::printf("after one edit:     %8.4f ms mean, %.4f ms worst of %d (goal < 1)\n", warnedMeanMs, warnedWorstMs,
                edits);
    std::printf("incremental counts equal a full recount: %s\n", warnedSame ? "yes" : "NO");
    return same && warnedSame ? 0 : 1;
}
