// The grid on large catalogues, offscreen.
//
//   bench_grid show [FILE]        (default: a generated file of 1,000,000 entries)
//     - `rendaro FILE` as a process until its grid has painted rows, and its
//       peak memory, against `rendaro-cli resave FILE` (load and save);
//     - in one process, phase by phase: load, live counts, filling the grid
//       (Hide Translated Item on, as the editor starts), first paint; then
//       Hide Translated Item off (every row, the table put in order the
//       first time), paint, scrolling (a twentieth, Page Down, a drag of the
//       scroll bar), a search without a match, Next Untranslated, the quick
//       filter over every row; peak memory.
//   bench_grid filter [ENTRIES]   (default 100,000 entries)
//     - the quick filter per keystroke (typing a word, then taking it back),
//       states and toggles, with Hide Translated Item off and on: each time
//       from the bar's change to the repainted grid, without the typing pause,
//       and the event loop's longest pause meanwhile.
//
// A change is made from the running event loop, which goes on until its
// result is shown (the grid's model reset, the search's question); a timer
// due every millisecond notes how long the loop went without handling
// events: the time the window could not answer the user.
//
// The first figure runs this program again as a child (--open-child FILE),
// which starts the application as the rendaro program does and prints a line
// once the grid has painted its rows.

#include "bench_prompts.h"
#include "app/main_frame.h"
#include "app/rendaro_app.h"
#include "catalogue/catalogue_counts.h"
#include "catalogue/document.h"
#include "editor/filter/filter_bar.h"
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
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Shows the widget and waits until its window can paint.
void showExposed(QWidget *widget)
{
    widget->show();
    QElapsedTimer timer;
    timer.start();
    while ((!widget->windowHandle() || !widget->windowHandle()->isExposed()) && timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
}

double msSince(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e6; }

template <typename Run>
double timeMs(Run run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return msSince(timer);
}

// The process's peak resident memory so far, in MB.
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// How long a change took until its result was shown, and the event loop's
// longest pause meanwhile.
struct LoopFigure {
    double ms = 0;
    double pauseMs = 0;
};

// Runs `change` from the event loop and keeps the loop running until
// `done` says the result is shown; the grid is painted then.
LoopFigure runInLoop(CRendaroView *view, const std::function<void()> &change, const std::function<bool()> &done)
{
    LoopFigure figure;
    QEventLoop loop;
    QElapsedTimer total, sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    bool started = false;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        figure.pauseMs = std::max(figure.pauseMs, msSince(sinceTick));
        sinceTick.restart();
        if (started && done())
            loop.quit();
    });
    QTimer::singleShot(0, &loop, [&] {
        total.start();
        sinceTick.start();
        ticker.start();
        started = true;
        change();
    });
    loop.exec();
    ticker.stop();
    view->grid()->viewport()->repaint();
    figure.ms = msSince(total);
    return figure;
}

// Runs `change` until the grid's rows were replaced (one model reset).
LoopFigure untilRowsReset(CRendaroView *view, const std::function<void()> &change)
{
    bool reset = false;
    const QMetaObject::Connection connection = QObject::connect(
        view->grid()->rowModel(), &QAbstractItemModel::modelReset, [&reset] { reset = true; });
    const LoopFigure figure = runInLoop(view, change, [&reset] { return reset; });
    QObject::disconnect(connection);
    return figure;
}

// Answers as NoPrompts does, counting the questions.
class CountingPrompts : public NoPrompts {
public:
    PromptAnswer message(QWidget *parent, const QString &text, const QString &title, PromptIcon icon,
                         PromptButtons buttons) override
    {
        ++asked;
        return NoPrompts::message(parent, text, title, icon, buttons);
    }
    int asked = 0;
};

// --- rendaro FILE as a process ------------------------------------------------

class PaintWatcher : public QObject {
public:
    PaintWatcher(CRendaroView *view, const QElapsedTimer &start) : m_view(view), m_start(start) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_view->grid()->GetItemCount() > 0 && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [this] {
                std::printf("painted %d rows %.1f ms %.1f MB\n", m_view->grid()->GetItemCount(), msSince(m_start),
                            peakMb());
                std::fflush(stdout);
                std::_Exit(0);  // the figure is taken; freeing a million entries is not part of it
            });
        }
        return false;
    }

private:
    CRendaroView *m_view;
    const QElapsedTimer &m_start;
    bool m_done = false;
};

int openChild(const QString &path, const QElapsedTimer &start)
{
    QTemporaryDir settingsFolder;
    QSettings settings(settingsFolder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    NoPrompts prompts;
    CRendaroApp rendaro(prompts, settings);
    rendaro.InitInstance({path});
    CRendaroView *view = rendaro.mainFrame()->view();
    PaintWatcher watcher(view, start);
    view->grid()->viewport()->installEventFilter(&watcher);
    view->grid()->viewport()->update();
    return QApplication::exec();
}

int benchShow(const QString &path, double fileMb)
{
    // Whole processes: three runs each, the median.
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/rendaro-cli");
    const QString out = QDir::tempPath() + QStringLiteral("/rendaro-bench-grid-resave.xml");
    std::vector<double> resaveMs, resaveMb, showMs, showMb, paintedMs;
    QByteArray painted;
    for (int run = 0; run < 3; ++run) {
        const ProcessRun resave = runProcess({cli, QStringLiteral("resave"), path, QStringLiteral("-o"), out});
        const ProcessRun show =
            runProcess({QCoreApplication::applicationFilePath(), QStringLiteral("--open-child"), path});
        if (!resave.ok || !show.ok || !show.output.startsWith("painted")) {
            std::fprintf(stderr, "a child failed: %s\n", show.output.constData());
            return 1;
        }
        resaveMs.push_back(resave.ms);
        resaveMb.push_back(resave.peakMb);
        showMs.push_back(show.ms);
        showMb.push_back(show.peakMb);
        painted = show.output.trimmed();
        paintedMs.push_back(painted.split(' ').value(3).toDouble());
    }
    QFile::remove(out);
    std::printf("file: %s, %.1f MB\n", qPrintable(path), fileMb);
    std::printf("rendaro-cli resave:                  %8.1f ms, peak %6.1f MB (%.2f x the file)\n", median(resaveMs),
                median(resaveMb), median(resaveMb) / fileMb);
    std::printf("rendaro FILE to the painted grid:    %8.1f ms, peak %6.1f MB (%.2f x the file)  [%s]\n",
                median(showMs), median(showMb), median(showMb) / fileMb, painted.constData());

    // Phase by phase in this process.
    CRendaroDoc document;
    setTheDocument(&document);
    CountingPrompts prompts;
    auto editor = std::make_unique<BenchEditor>(prompts);
    CRendaroView *view = editor->view;
    EditorFeatures &features = *editor->features;
    view->resize(900, 600);
    showExposed(view);
    int id = -1;
    const double loadMs = timeMs([&] { id = document.LoadCatalogueForEditing(path); });
    if (id < 0) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    // Shown as Open shows it; then its two parts on their own: the live
    // counts (the core's full count) and filling the grid.
    view->ShowLoadedFile(id, path);
    const CXMLStruct &catalogue = *document.findCatalogue(id);
    const double countsMs = timeMs([&] {
        CatalogueCounts counts;
        counts.recount(catalogue);
    });
    const double fillMs = timeMs([&] { view->RefreshGrid(); });
    const int untranslatedRows = view->grid()->GetItemCount();
    const double paintMs = timeMs([&] { view->grid()->viewport()->repaint(); });

    // View > Hide Translated Item off: every row, which puts the table in
    // order for the first time.
    const bool orderedBefore = catalogue.entries.isOrdered();
    const LoopFigure hideOff = untilRowsReset(view, [&] { editor->run(Command::HideTranslated); });
    const int rows = view->grid()->GetItemCount();
    const double fillAllMs = timeMs([&] { view->RefreshGrid(); });
    const double paintAllMs = timeMs([&] { view->grid()->viewport()->repaint(); });
    QScrollBar *scroll = view->grid()->verticalScrollBar();
    std::vector<double> scrolls;
    for (int step = 1; step <= 20; ++step) {
        scrolls.push_back(timeMs([&] {
            scroll->setValue(scroll->maximum() / 20 * step);
            view->grid()->viewport()->repaint();
        }));
    }
    // Page Down from the top, and a drag of the scroll bar's slider in
    // twentieths, each step painted.
    view->grid()->SelectOnly(0);
    view->grid()->setFocus();
    std::vector<double> pages, drags;
    for (int step = 0; step < 20; ++step) {
        pages.push_back(timeMs([&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            QApplication::sendEvent(view->grid(), &press);
            view->grid()->viewport()->repaint();
        }));
    }
    scroll->setSliderDown(true);
    for (int step = 20; step >= 0; --step) {
        drags.push_back(timeMs([&] {
            scroll->setSliderPosition(scroll->maximum() / 20 * step);
            view->grid()->viewport()->repaint();
        }));
    }
    scroll->setSliderDown(false);
    view->grid()->SelectOnly(0);
    const int askedBefore = prompts.asked;
    const LoopFigure search = runInLoop(
        view,
        [&] {
            features.search().setSearch(QStringLiteral("No Such Text Anywhere"), false);
            features.search().FindNext();
        },
        [&] { return prompts.asked > askedBefore; });  // the wrap question, answered No
    view->grid()->SelectOnly(0);
    const double nextMs = timeMs([&] { features.navigation().OnNextUntranslated(); });
    const LoopFigure filter = untilRowsReset(view, [&] {
        features.filter().filterBar()->textField()->setText(QStringLiteral("file"));
        features.filter().filterBar()->flush();
    });
    const int filtered = view->grid()->GetItemCount();
    const double peak = peakMb();

    std::printf("\nin one process (%zu entries):\n", catalogue.entries.size());
    std::printf("load:                                %8.1f ms\n", loadMs);
    std::printf("live counts:                         %8.1f ms\n", countsMs);
    std::printf("grid filled, %7d untranslated rows:%8.1f ms\n", untranslatedRows, fillMs);
    std::printf("first paint:                         %8.1f ms\n", paintMs);
    std::printf("Hide Translated Item off:            %8.1f ms, longest event-loop pause %.1f ms (%d rows%s)\n",
                hideOff.ms, hideOff.pauseMs, rows, orderedBefore ? "" : ", the table put in order");
    std::printf("grid filled again, %7d rows:     %8.1f ms\n", rows, fillAllMs);
    std::printf("paint:                               %8.1f ms\n", paintAllMs);
    std::printf("scroll a twentieth and paint:        %8.1f ms (median of 20, max %.1f)\n", median(scrolls),
                *std::max_element(scrolls.begin(), scrolls.end()));
    std::printf("Page Down and paint:                 %8.1f ms (median of 20, max %.1f)\n", median(pages),
                *std::max_element(pages.begin(), pages.end()));
    std::printf("drag the scroll bar a twentieth:     %8.1f ms (median of 21, max %.1f)\n", median(drags),
                *std::max_element(drags.begin(), drags.end()));
    std::printf("search without a match:              %8.1f ms, longest event-loop pause %.1f ms\n", search.ms,
                search.pauseMs);
    std::printf("Next Untranslated from the top:      %8.1f ms\n", nextMs);
    std::printf("filter \"file\" over every row:        %8.1f ms, longest event-loop pause %.1f ms (%d rows)\n",
                filter.ms, filter.pauseMs, filtered);
    std::printf("peak memory:                         %8.1f MB (%.2f x the file)\n", peak, peak / fileMb);
    editor.reset();
    setTheDocument(nullptr);
    return 0;
}

// --- the quick filter -----------------------------------------------------------

struct FilterFigures {
    std::vector<LoopFigure> typing, backspace;
    LoopFigure states[4] = {};
    LoopFigure matchCase, keys;
};

FilterFigures runFilter(CRendaroView *view, CFilterBar *bar)
{
    auto apply = [&](auto change) {
        return untilRowsReset(view, [&] {
            change();
            bar->flush();
        });
    };
    FilterFigures figures;
    const QString word = QStringLiteral("files");
    for (qsizetype length = 1; length <= word.size(); ++length)
        figures.typing.push_back(apply([&] { bar->textField()->setText(word.left(length)); }));
    for (qsizetype length = word.size() - 1; length >= 0; --length)
        figures.backspace.push_back(apply([&] { bar->textField()->setText(word.left(length)); }));
    const EntryFilterState states[] = {EntryFilterState::Untranslated, EntryFilterState::Problems,
                                       EntryFilterState::NotTranslatable, EntryFilterState::All};
    for (int i = 0; i < 4; ++i)
        figures.states[i] = apply([&] { bar->setState(states[i]); });
    apply([&] { bar->textField()->setText(QStringLiteral("IDS_12")); });
    figures.keys = apply([&] { bar->keysBox()->setChecked(true); });
    figures.matchCase = apply([&] { bar->matchCaseBox()->setChecked(true); });
    apply([&] { bar->keysBox()->setChecked(false); });
    apply([&] { bar->matchCaseBox()->setChecked(false); });
    apply([&] { bar->clear(); });
    return figures;
}

double longestPause(const std::vector<LoopFigure> &figures)
{
    double longest = 0;
    for (const LoopFigure &figure : figures)
        longest = std::max(longest, figure.pauseMs);
    return longest;
}

void printKeys(const char *title, const std::vector<LoopFigure> &figures)
{
    std::printf("  %-28s", title);
    double longest = 0;
    for (const LoopFigure &figure : figures) {
        std::printf(" %6.1f", figure.ms);
        longest = std::max(longest, figure.ms);
    }
    std::printf("  ms (max %.1f; longest pause %.1f ms)\n", longest, longestPause(figures));
}

void printFilter(const char *title, const FilterFigures &f, int rows)
{
    std::printf("%s (%d rows before the filter):\n", title, rows);
    printKeys("typing \"files\", per key:", f.typing);
    printKeys("taking it back, per key:", f.backspace);
    std::printf("  Untranslated %.1f, Problems %.1f, Not to be translated %.1f, All %.1f ms (longest pause %.1f ms)\n",
                f.states[0].ms, f.states[1].ms, f.states[2].ms, f.states[3].ms,
                longestPause({f.states[0], f.states[1], f.states[2], f.states[3]}));
    std::printf("  Keys on (\"IDS_12\") %.1f ms, Match Case on %.1f ms (longest pause %.1f ms)\n", f.keys.ms,
                f.matchCase.ms, std::max(f.keys.pauseMs, f.matchCase.pauseMs));
}

int benchFilter(int entries)
{
    const QString path = QDir::tempPath() + QStringLiteral("/rendaro-bench-%1.xml").arg(entries);
    if (!QFile::exists(path) && !generateLanguageFile(path, entries)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    CRendaroDoc document;
    setTheDocument(&document);
    NoPrompts prompts;
    auto editor = std::make_unique<BenchEditor>(prompts);
    CRendaroView *view = editor->view;
    EditorFeatures &features = *editor->features;
    view->resize(900, 600);
    showExposed(view);
    if (view->OpenPath(path) != CRendaroView::OpenResult::Opened) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    features.filter().OnFilter();
    view->setHideTranslated(false);
    view->grid()->SelectOnly(view->grid()->GetItemCount() / 2);
    const int all = view->grid()->GetItemCount();
    const FilterFigures off = runFilter(view, features.filter().filterBar());
    view->setHideTranslated(true);
    const int untranslated = view->grid()->GetItemCount();
    const FilterFigures on = runFilter(view, features.filter().filterBar());
    std::printf("catalogue: %d entries\n", entries);
    printFilter("Hide Translated Item off", off, all);
    printFilter("Hide Translated Item on", on, untranslated);
    editor.reset();
    setTheDocument(nullptr);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer start;
    start.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--open-child"))
        return openChild(args[2], start);
    const QString mode = args.value(1, QStringLiteral("show"));
    if (mode == QLatin1String("filter"))
        return benchFilter(args.size() > 2 ? args[2].toInt() : 100000);
    if (mode != QLatin1String("show")) {
        std::fprintf(stderr, "usage: bench_grid show [FILE] | filter [ENTRIES]\n");
        return 2;
    }
    QString path = args.value(2);
    if (path.isEmpty()) {
        path = QDir::tempPath() + QStringLiteral("/rendaro-bench-1000000.xml");
        if (!QFile::exists(path) && !generateLanguageFile(path, 1000000)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return benchShow(path, double(QFile(path).size()) / (1024 * 1024));
}
