// Undo and redo on a large catalogue, offscreen, every row shown:
//   - Replace All touching nearly every translation, its undo and its redo
//     (rows found through a lookup table),
//   - one cell edit undone and redone (its row found by a scan),
//   - a paste of 1,000 new strings undone and redone (the rows rebuilt).
//
//   bench_undo [ENTRIES]   (default 100000 entries, a temp file)

#include "bench_prompts.h"
#include "catalogue/document.h"
#include "editor/search/find_replace_dlg.h"
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
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QUndoStack>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double timeMs(const std::function<void()> &run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return double(timer.nsecsElapsed()) / 1e6;
}

double medianMs(int runs, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(timeMs(run));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const QString path = QDir::tempPath() + QStringLiteral("/rendaro-bench-undo-%1.xml").arg(entries);
    if (!generateLanguageFile(path, entries)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    const TemporaryStateFolder state;  // the edits' recovery journal
    CRendaroDoc document;
    setTheDocument(&document);
    ReplacePrompts prompts;
    auto editor = std::make_unique<BenchEditor>(prompts);
    CRendaroView *view = editor->view;
    view->resize(900, 600);
    view->show();
    if (view->OpenPath(path) != CRendaroView::OpenResult::Opened) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    editor->run(Command::HideTranslated);  // every row shown
    const int rows = view->grid()->GetItemCount();

    const double replaceAllMs = timeMs([&editor] { editor->features->search().OnFindReplace(); });
    const QString summary = prompts.lastMessage.section(u'\n', 0, 0);
    const double undoAllMs = timeMs([&editor] { editor->run(Command::EditUndo); });
    const double redoAllMs = timeMs([&editor] { editor->run(Command::EditRedo); });
    editor->run(Command::EditUndo);

    // One edit near the top, so the row scan from the end walks nearly every row.
    const QString original = view->DisplayedToOriginal(0);
    view->grid()->StartEdit(1, 0);
    view->grid()->editor()->setText(QStringLiteral("Bearbeitet"));
    view->grid()->EndEdit(true);
    const double undoOneMs = medianMs(7, [&editor] {
        editor->run(Command::EditUndo);
        editor->run(Command::EditRedo);
    });

    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("Pasted string %1\tEingefügt %1\r\n").arg(i);
    view->PasteText(text);
    const double undoPasteMs = timeMs([&editor] { editor->run(Command::EditUndo); });
    const double redoPasteMs = timeMs([&editor] { editor->run(Command::EditRedo); });

    std::printf("catalogue: %d entries, %d rows shown\n", entries, rows);
    std::printf("Replace All (%s):  %8.1f ms\n", qPrintable(summary), replaceAllMs);
    std::printf("  its undo:                         %8.1f ms\n", undoAllMs);
    std::printf("  its redo:                         %8.1f ms\n", redoAllMs);
    std::printf("one edit undone and redone:         %8.2f ms (median of 7; %s)\n", undoOneMs,
                qPrintable(original.left(20)));
    std::printf("paste of 1,000 strings undone:      %8.1f ms\n", undoPasteMs);
    std::printf("  and redone:                       %8.1f ms\n", redoPasteMs);
    editor.reset();
    setTheDocument(nullptr);
    QFile::remove(path);
    return 0;
}
