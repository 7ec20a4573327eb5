// The Preview dock on a DLL with 500 dialogs and a 100,000-entry language
// file holding their texts, offscreen, measured with the real font engine:
//   - following the selection: a string of another dialog selected, until
//     the dock has drawn it and the event loop has painted (goal: 50 ms),
//     first visits (the dialog laid out afresh) and visits again;
//   - a keystroke in the in-place editor, until the dialog is drawn again
//     with the typed text and painted (goal: 16 ms).
//
//   make_dialogs_dll.sh /tmp/dialogs.dll /tmp/dialogs.h
//   bench_preview /tmp/dialogs.dll /tmp/dialogs.h [SELECTIONS] [KEYS]   (default 300 and 300)

#include "bench_prompts.h"
#include "catalogue/document.h"
#include "editor/preview/preview_feature.h"
#include "fontmetrics/font_engine.h"
#include "helpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

namespace {

struct Figures {
    double median = 0, p95 = 0, worst = 0;
};

Figures figuresOf(std::vector<double> times)
{
    Figures out;
    if (times.empty())
        return out;
    std::sort(times.begin(), times.end());
    out.median = median(times);
    out.p95 = times[std::min(times.size() - 1, size_t(double(times.size()) * 0.95))];
    out.worst = times.back();
    return out;
}

void print(const char *what, const Figures &figures, double goal)
{
    std::printf("%-38s median %6.2f ms, 95th %6.2f ms, worst %6.2f ms  (goal <= %.0f)\n", what, figures.median,
                figures.p95, figures.worst, goal);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_preview DLL HEADER [SELECTIONS] [KEYS]\n");
        return 2;
    }
    const QString dll = QString::fromLocal8Bit(argv[1]), header = QString::fromLocal8Bit(argv[2]);
    const int selections = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;
    const int keys = argc > 4 ? std::max(1, std::atoi(argv[4])) : 300;
    TemporaryStateFolder state;
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("BenchDEU.xml"));
    if (!WriteDialogsLanguageFile(file, 100000)) {
        std::fprintf(stderr, "can not write %s\n", qPrintable(file));
        return 1;
    }

    InstallFontEngineMeasurer();
    CRendaroDoc document;
    setTheDocument(&document);
    NoPrompts prompts;
    int status = 0;
    {
        BenchEditor editor(prompts);
        PreviewFeature &preview = editor.features->preview();
        preview.links().set(file, dll, header);
        editor.view->resize(1000, 700);
        editor.view->show();
        if (editor.view->OpenPath(file) != CRendaroView::OpenResult::Opened) {
            std::fprintf(stderr, "can not open %s\n", qPrintable(file));
            return 1;
        }
        editor.run(Command::HideTranslated);  // every row
        preview.dock()->resize(420, 600);
        preview.dock()->show();
        QApplication::processEvents();

        // Strings of dialogs in a random order: each dialog's first visit,
        // then visits again.
        std::vector<int> order(500);
        for (int i = 0; i < 500; ++i)
            order[size_t(i)] = i + 1;
        QRandomGenerator random(27);
        std::shuffle(order.begin(), order.end(), random);
        std::vector<double> first, again;
        std::vector<bool> seen(501, false);
        quint64 drawn = preview.pictures();
        // Half of the selections visit a dialog first, half again.
        const size_t pool = std::clamp<size_t>(size_t(selections) / 2, 1, order.size());
        for (int i = 0; i < selections; ++i) {
            const int dialog = order[size_t(i) % pool];
            const QString original = (i % 2 ? QStringLiteral("Show item %1") : QStringLiteral("Small %1")).arg(dialog);
            QElapsedTimer timer;
            timer.start();
            editor.view->SelectOriginal(original);
            QApplication::processEvents();  // the dock painted
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            (seen[size_t(dialog)] ? again : first).push_back(ms);
            seen[size_t(dialog)] = true;
        }
        const quint64 selectionPictures = preview.pictures() - drawn;

        // Keystrokes in the in-place editor on strings of several dialogs.
        std::vector<double> typed;
        drawn = preview.pictures();
        CReportCtrl *grid = editor.view->grid();
        for (int i = 0; i < keys;) {
            const int dialog = order[size_t(i / 25) % order.size()];
            const QString original = QStringLiteral("Enable feature %1").arg(dialog);
            editor.view->SelectOriginal(original);
            QApplication::processEvents();
            if (!grid->StartEdit(1, editor.view->rowOfOriginal(original)))
                break;
            for (int k = 0; k < 25 && i < keys; ++k, ++i) {
                const QChar letter(u'a' + k % 26);
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A + k % 26, Qt::NoModifier, QString(letter));
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + k % 26, Qt::NoModifier, QString(letter));
                QElapsedTimer timer;
                timer.start();
                QApplication::sendEvent(grid->editor(), &press);
                QApplication::sendEvent(grid->editor(), &release);
                QApplication::processEvents();
                typed.push_back(double(timer.nsecsElapsed()) / 1e6);
            }
            grid->EndEdit(false);
            QApplication::processEvents();
        }
        const quint64 keyPictures = preview.pictures() - drawn;

        const Figures firstFigures = figuresOf(first), againFigures = figuresOf(again), keyFigures = figuresOf(typed);
        std::printf("100000 entries, 500 dialogs: %d selections (%zu first visits, %llu pictures), %d keystrokes "
                    "(%llu pictures)\n",
                    selections, first.size(), static_cast<unsigned long long>(selectionPictures), int(typed.size()),
                    static_cast<unsigned long long>(keyPictures));
        print("selection followed, first visit:", firstFigures, 50);
        if (!again.empty())
            print("selection followed, dialog seen before:", againFigures, 50);
        print("keystroke drawn:", keyFigures, 16);
        const bool met = firstFigures.p95 <= 50 && (again.empty() || againFigures.p95 <= 50) && keyFigures.p95 <= 16
                         && selectionPictures >= quint64(selections) && keyPictures >= quint64(typed.size());
        status = met ? 0 : 1;
    }
    setTheDocument(nullptr);
    return status;
}
