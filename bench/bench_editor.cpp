// The editor on a large catalogue, offscreen:
//   - RefreshGrid of every entry (Hide Translated Item off),
//   - a search that walks every row without a match,
//   - an in-place edit committed with the live counts updated, and
//     Next Untranslated / Next Problem (each maps every row to its entry),
//   - `rendaro FILE` from process start to the first painted grid.
//
//   bench_editor [ENTRIES] [FILE]   (default 100000 entries, a temp file)
// The third figure runs this program again as a child (--open-child FILE),
// which starts the application as the rendaro program does and prints a line
// once the grid has painted its rows.

#include "bench_prompts.h"
#include "app/main_frame.h"
#include "app/rendaro_app.h"
#include "catalogue/document.h"
#include "editor/core/rendaro_view.h"
#include "editor/counts/live_counts.h"
#include "editor/filter/quick_filter.h"
#include "editor/folder/language_folder_commands.h"
#include "editor/navigation/navigation.h"
#include "editor/recovery/recovery_journal.h"
#include "editor/search/search_feature.h"
#include "editor/core/user_prompts.h"
#include "generate_language_file.h"
#include "helpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

template <typename Run>
double medianMs(int runs, Run run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// The child: starts the application on the file and reports the first
// paint of the grid with rows in it.
class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(CRendaroView *view) : m_view(view) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_view->grid()->GetItemCount() > 0 && !m_done) {
            m_done = true;
            // Report after this paint has finished.
            QTimer::singleShot(0, [this] {
                std::printf("painted %d rows\n", m_view->grid()->GetItemCount());
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return false;
    }

private:
    CRendaroView *m_view;
    bool m_done = false;
};

int openChild(const QString &path)
{
    QTemporaryDir settingsFolder;
    QSettings settings(settingsFolder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    NoPrompts prompts;
    CRendaroApp rendaro(prompts, settings);
    // The watcher must see the first paint, which comes after InitInstance.
    PaintWatcher *watcher = nullptr;
    rendaro.InitInstance({path});
    watcher = new PaintWatcher(rendaro.mainFrame()->view());
    rendaro.mainFrame()->view()->grid()->viewport()->installEventFilter(watcher);
    rendaro.mainFrame()->view()->grid()->viewport()->update();
    const int status = QApplication::exec();
    delete watcher;
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--open-child"))
        return openChild(args[2]);

    const int entries = args.size() > 1 ? args[1].toInt() : 100000;
    const QString path = args.size() > 2 ? args[2]
                                         : QDir::tempPath() + QStringLiteral("/rendaro-bench-%1.xml").arg(entries);
    if (args.size() <= 2 && !generateLanguageFile(path, entries)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    const TemporaryStateFolder state;  // the edits' recovery journal
    CRendaroDoc document;
    setTheDocument(&document);
    NoPrompts prompts;
    auto editor = std::make_unique<BenchEditor>(prompts);
    CRendaroView *view = editor->view;
    EditorFeatures &features = *editor->features;
    view->resize(900, 600);
    view->show();
    if (view->OpenPath(path) != CRendaroView::OpenResult::Opened) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    view->setHideTranslated(false);
    const int rows = view->grid()->GetItemCount();
    const double refreshMs = medianMs(7, [view] { view->RefreshGrid(); });
    const double refreshPaintMs = medianMs(7, [view] {
        view->RefreshGrid();
        view->grid()->viewport()->repaint();
    });

    view->grid()->clearSelection();
    const double searchMs = medianMs(7, [&features] {
        features.search().setSearch(QStringLiteral("No Such Text Anywhere"), false);
        features.search().FindNext();
    });
    const double searchCaseMs = medianMs(7, [&features] {
        features.search().setSearch(QStringLiteral("No Such Text Anywhere"), true);
        features.search().FindNext();
    });

    // Edits through the grid as the user makes them: open, type, commit;
    // the view checks, stores and updates the counts. Every row alternates
    // between its original with a suffix and the original itself.
    int editRow = 0;
    const double editMs = medianMs(201, [view, rows, &editRow] {
        CReportCtrl *grid = view->grid();
        const int row = (editRow++ * 7919) % rows;
        const QString original = view->DisplayedToOriginal(row);
        grid->StartEdit(1, row);
        grid->editor()->setText(grid->GetItemText(row, 1) == original ? original + QStringLiteral(" *") : original);
        grid->EndEdit(true);
    });
    view->grid()->SelectOnly(0);
    const double nextUntranslatedMs = medianMs(7, [&features] { features.navigation().OnNextUntranslated(); });
    view->grid()->SelectOnly(0);
    const double nextProblemMs = medianMs(7, [&features] { features.navigation().OnNextProblem(); });
    // The view's live counts (the status bar adds the warnings, which a
    // background pass counts, after them).
    const QString counts = view->counts().statusText();
    CatalogueCounts full;
    full.recount(*document.findCatalogue(view->currentCatalogueId()));
    if (full.statusText() != counts) {
        std::fprintf(stderr, "counts after the edits differ from a full count: %s, %s\n", qPrintable(counts),
                     qPrintable(full.statusText()));
        return 1;
    }
    features.recovery().discardJournal();  // the edits are let go: the children open the file as it is
    editor.reset();
    setTheDocument(nullptr);

    std::vector<double> openTimes;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open-child"), path});
        if (!child.waitForFinished(60000) || !child.readAllStandardOutput().startsWith("painted")) {
            std::fprintf(stderr, "the child did not paint: %s\n", child.readAllStandardError().constData());
            return 1;
        }
        openTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }

    std::printf("catalogue: %d entries, %d rows with the filter off\n", entries, rows);
    std::printf("RefreshGrid (filter off):          %8.1f ms\n", refreshMs);
    std::printf("RefreshGrid and paint:             %8.1f ms\n", refreshPaintMs);
    std::printf("search without a match:            %8.1f ms\n", searchMs);
    std::printf("search without a match, Match Case:%8.1f ms\n", searchCaseMs);
    std::printf("edit committed, counts updated:    %8.3f ms (median of 201; %s)\n", editMs, qPrintable(counts));
    std::printf("Next Untranslated from the top:    %8.1f ms\n", nextUntranslatedMs);
    std::printf("Next Problem from the top:         %8.1f ms\n", nextProblemMs);
    std::printf("rendaro FILE to painted window:    %8.1f ms (median of 3 processes)\n", median(openTimes));
    return 0;
}
