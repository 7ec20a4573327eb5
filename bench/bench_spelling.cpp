// Spelling of a large language file:
//   - hunspell asked about every word of every translation (no cache);
//   - the worker-thread run over the translation of every entry (the
//     dictionary loaded on the worker included, words asked once);
//   - the editor (offscreen, the real main window): from opening the file
//     to the last batch of findings, with the longest time the window's
//     event loop went without running while the check went on.
//
//   python3 ../shared/bench/gen_langfile.py xml 100000 /tmp/ViewResDEU.xml --lang DEU
//   bench_spelling /tmp/ViewResDEU.xml [DICTIONARY]   (default de_DE)

#include "bench_prompts.h"
#include "app/main_frame.h"
#include "app/rendaro_app.h"
#include "catalogue/document.h"
#include "editor/core/rendaro_view.h"
#include "editor/core/command_actions.h"
#include "editor/editor_features.h"
#include "editor/spelling/spelling_feature.h"
#include "editor/spelling/spelling_session.h"
#include "editor/core/user_prompts.h"
#include "spelling/hunspell_dictionary.h"
#include "spelling/spell_check_run.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace {

double msSince(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e6; }

struct RunResult {
    double totalMs = 0;
    qsizetype misspelledTexts = 0;
    int batches = 0;
};

// One SpellCheckRun over the texts, waited for on this thread.
RunResult runOnWorker(const SpellCheckerSetup &setup, const std::vector<QString> &texts)
{
    std::mutex mutex;
    std::condition_variable done;
    RunResult result;
    bool last = false;
    QElapsedTimer timer;
    timer.start();
    SpellCheckRun run(setup, texts, [&](SpellBatch &&batch) {
        std::lock_guard lock(mutex);
        result.misspelledTexts += qsizetype(batch.findings.size());
        ++result.batches;
        last = batch.last;
        done.notify_all();
    });
    std::unique_lock lock(mutex);
    done.wait(lock, [&] { return last; });
    result.totalMs = msSince(timer);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_spelling FILE [DICTIONARY]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString dictionary = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("de_DE");
    const DictionaryFiles files = FindDictionary(dictionary);
    if (!files.found()) {
        std::fprintf(stderr, "no %s dictionary\n", qPrintable(dictionary));
        return 1;
    }
    const SpellCheckerSetup setup{files, {}};

    std::vector<QString> texts;
    qsizetype realTranslations = 0;
    {
        CRendaroDoc document;
        const int id = document.LoadCatalogue(path, false);
        if (id < 0) {
            std::fprintf(stderr, "cannot load %s\n", qPrintable(path));
            return 1;
        }
        const EntryMap &entries = document.findCatalogue(id)->entries;
        for (size_t number = 0; number < entries.size(); ++number) {
            texts.push_back(entries.byNumber(number).translation);
            realTranslations += ShouldCheckSpelling(entries.byNumber(number));
        }
    }
    std::printf("%zu translations (%lld real ones, which the editor checks), dictionary %s\n", texts.size(),
                qlonglong(realTranslations), qPrintable(dictionary));

    // hunspell alone, every word of every text asked (what the run's word
    // cache saves), on this thread.
    QElapsedTimer timer;
    timer.start();
    QString error;
    std::unique_ptr<HunspellDictionary> hunspell = HunspellDictionary::open(files, &error);
    const double loadMs = msSince(timer);
    if (!hunspell) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    timer.restart();
    qsizetype words = 0, wrong = 0;
    for (const QString &text : texts) {
        for (const SpellWord &word : SplitWords(text)) {
            ++words;
            wrong += !hunspell->spell(word.word);
        }
    }
    const double uncachedMs = msSince(timer);
    std::printf("dictionary load:                      %8.1f ms\n", loadMs);
    std::printf("hunspell on every word, no cache:     %8.1f ms (%lld words, %lld misspelled)\n", uncachedMs,
                qlonglong(words), qlonglong(wrong));

    std::vector<double> totals;
    RunResult last;
    for (int i = 0; i < 3; ++i) {
        last = runOnWorker(setup, texts);
        totals.push_back(last.totalMs);
    }
    std::sort(totals.begin(), totals.end());
    std::printf("worker run, every translation:        %8.1f ms median of 3 (goal < 2000), %lld texts misspelled, "
                "%d batches\n",
                totals[1], qlonglong(last.misspelledTexts), last.batches);

    // The editor: the real main window, the file's dictionary chosen.
    QTemporaryDir folder;
    QSettings settings(folder.filePath("settings.ini"), QSettings::IniFormat);
    NoPrompts prompts;
    CRendaroApp rendaro(prompts, settings);
    rendaro.InitInstance({});
    CRendaroView *view = rendaro.mainFrame()->view();
    SpellingFeature &spelling = rendaro.mainFrame()->features().spelling();
    spelling.spelling()->setChoiceFor(path, dictionary);
    emit rendaro.mainFrame()->commands()->action(Command::HideTranslated)->triggered();  // every row shown

    // The event loop's longest pause while the check runs: a timer due
    // every 5 ms notes how late it comes.
    double longestGapMs = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, msSince(sinceTick));
        sinceTick.restart();
    });
    int marksChanges = 0;
    double firstMarksMs = -1;
    QElapsedTimer sinceOpen;
    QObject::connect(&spelling, &SpellingFeature::misspellingsChanged, [&] {
        if (marksChanges++ == 0)
            firstMarksMs = msSince(sinceOpen);
    });
    double doneMs = 0;
    QObject::connect(spelling.spelling(), &SpellingSession::checkFinished, [&] {
        doneMs = msSince(sinceOpen);
        app.quit();
    });
    sinceOpen.start();
    view->OpenPath(path);
    const double openMs = msSince(sinceOpen);
    sinceTick.start();
    ticker.start();
    app.exec();
    std::printf("editor: open (rows, counts, spelling started) %8.1f ms\n", openMs);
    std::printf("editor: first marks after                %8.1f ms, all checked after %.1f ms (%d updates), "
                "%lld rows marked\n",
                firstMarksMs, doneMs, marksChanges, qlonglong(spelling.spelling()->misspelledCount()));
    std::printf("editor: longest event-loop pause during the check %6.1f ms\n", longestGapMs);

    // What a restart (after Settings, Add new string, a large undo) costs the
    // UI thread: the snapshot of the texts; the dictionary stays loaded.
    timer.restart();
    spelling.spelling()->start(view->currentCatalogueId(), path, {path});
    const double restartMs = msSince(timer);
    app.exec();
    std::printf("editor: restart on the UI thread %8.1f ms\n", restartMs);
    return 0;
}
