// Language-folder mode against single files: opens every language file of a
// folder tree the way folder mode does (LoadCatalogue merging into the
// master catalogue, file after file) and saves them all back with
// SaveAllCatalogues, then loads and saves the same files one by one
// (LoadCatalogue without merging, SaveCatalogue to its own path) in the
// same run. Goal: folder mode within 1.5 times the one-by-one time.
//
//   python3 gen_langfile.py folder TREE --projects 1 --langs 30 --entries 5000
//   bench_folder_mode TREE [RUNS]
//
// The files are copied to a temporary folder first (saving writes them);
// every run starts from a fresh copy. Times are the best of RUNS (5).

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Times {
    double loadMs = 1e18;
    double saveMs = 1e18;
    double totalMs() const { return loadMs + saveMs; }
};

double elapsedMs(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e6; }

// One run of each way over fresh copies; false when anything failed.
bool runOnce(const QString &tree, const QString &work, Times &folderMode, Times &oneByOne, size_t *entries)
{
    for (Times *times : {&folderMode, &oneByOne}) {
        if (!copyTree(tree, work))
            return false;
        const QStringList files = ListLanguageFiles(work);
        CRendaroDoc document;  // destroyed after the timing, in both ways
        QElapsedTimer timer;
        double loadMs = 0, saveMs = 0;
        if (times == &folderMode) {
            timer.start();
            for (const QString &file : files) {
                if (document.LoadCatalogue(file, true) < 0)
                    return false;
            }
            loadMs = elapsedMs(timer);
            timer.restart();
            if (!document.SaveAllCatalogues(nullptr))
                return false;
            saveMs = elapsedMs(timer);
            *entries = document.catalogues()[0].entries.size();
        } else {
            for (const QString &file : files) {
                timer.start();
                const int id = document.LoadCatalogue(file, false);
                loadMs += elapsedMs(timer);
                timer.restart();
                if (id < 0 || !document.SaveCatalogue(id, file, true))
                    return false;
                saveMs += elapsedMs(timer);
            }
        }
        times->loadMs = std::min(times->loadMs, loadMs);
        times->saveMs = std::min(times->saveMs, saveMs);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_folder_mode TREE [RUNS]\n");
        return 2;
    }
    const QString tree = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir work;
    const int fileCount = int(ListLanguageFiles(tree).size());
    Times folderMode, oneByOne;
    size_t masterEntries = 0;
    for (int run = 0; run < runs; ++run) {
        if (!runOnce(tree, work.path(), folderMode, oneByOne, &masterEntries)) {
            std::fprintf(stderr, "a file could not be copied, loaded or saved\n");
            return 1;
        }
    }
    std::printf("%d files, %zu entries in the master catalogue, best of %d runs\n", fileCount, masterEntries, runs);
    std::printf("                 load ms   save ms   total ms\n");
    std::printf("folder mode     %8.1f  %8.1f  %9.1f\n", folderMode.loadMs, folderMode.saveMs, folderMode.totalMs());
    std::printf("one by one      %8.1f  %8.1f  %9.1f\n", oneByOne.loadMs, oneByOne.saveMs, oneByOne.totalMs());
    std::printf("ratio           %8.2f  %8.2f  %9.2f  (goal: total <= 1.5)\n", folderMode.loadMs / oneByOne.loadMs,
                folderMode.saveMs / oneByOne.saveMs, folderMode.totalMs() / oneByOne.totalMs());
    return 0;
}
