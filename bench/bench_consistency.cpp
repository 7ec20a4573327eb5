// The consistency report over a language folder: every language file of
// the tree loaded and compared (what `rendaro-cli consistency DIR` does).
// Goal: under 2 s for 30 files of 5,000 entries.
//
//   python3 gen_langfile.py folder TREE --projects 1 --langs 30 --entries 5000
//   bench_consistency TREE [RUNS]

#include "batch/consistency_report.h"
#include "catalogue/document.h"
#include "catalogue/folder_listing.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_consistency TREE [RUNS]\n");
        return 2;
    }
    const QString tree = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    ConsistencyReport report;
    const double totalMs = bestOf(runs, [&] {
        QElapsedTimer timer;
        timer.start();
        report = ConsistencyReportForFolder(tree);
        return double(timer.nsecsElapsed()) / 1e6;
    });
    // The comparison alone, over files already loaded (the editor's case).
    CRendaroDoc document;
    for (const QString &file : ListLanguageFiles(tree))
        document.LoadCatalogue(file, false);
    const double compareMs = bestOf(runs, [&] {
        QElapsedTimer timer;
        timer.start();
        const ConsistencyReport loaded = BuildConsistencyReport(document);
        return double(timer.nsecsElapsed()) / 1e6;
    });
    size_t variants = 0;
    for (const ConsistencyItem &item : report.items)
        variants += item.translations.size();
    std::printf("%lld files, %zu unreadable; %zu originals translated differently (%zu translations)\n",
                static_cast<long long>(report.files.size()), report.unreadable.size(), report.items.size(), variants);
    std::printf("consistency (load + compare): %8.1f ms  (goal < 2000)\n", totalMs);
    std::printf("compare only, files loaded:   %8.1f ms\n", compareMs);
    return 0;
}
