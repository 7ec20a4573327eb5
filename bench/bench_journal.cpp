// The recovery journal's cost in the editor, offscreen, every row shown:
//   - one in-place edit committed on a 100,000-entry file: the whole edit
//     (checks, counts, journal append), the journal append alone, and the
//     time until the writer thread has the record on disk (write + fdatasync);
//   - Replace All over 54,000 rows: with the journal and without it (the
//     difference is what journalling costs the editor's thread), and the
//     time until every record is on disk; its undo with and without;
//   - the fingerprint of the 100,000-entry file that showing it takes.
//
//   bench_journal [STATE_FOLDER]   (journals go below it; default a temp
//                                   folder beside the generated files)

#include "bench_prompts.h"
#include "catalogue/document.h"
#include "editor/search/find_replace_dlg.h"
#include "editor/core/rendaro_view.h"
#include "editor/recovery/recovery_journal.h"
#include "editor/search/search_feature.h"
#include "editor/core/user_prompts.h"
#include "generate_language_file.h"
#include "recovery/file_fingerprint.h"
#include "recovery/journal_format.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A file of `entries` translated strings, each of which a replacement of
// " " by "_" changes and every check lets through.
bool writeReplaceFile(const QString &path, int entries)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n"
                     "<Language AllowLength=\"2.000000\" CodeType=\"CPlus2\">\r\n";
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        out += "   <L from=\"Open the selected file %d of the list " + n
               + "\" to=\"Die ausgewählte Datei %d der Liste öffnen " + n + "\" key=\"IDS_" + n + "\"/>\r\n";
    }
    out += "</Language>\r\n";
    return file.write(out) == out.size();
}

double timeMs(const std::function<void()> &run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString differences(const std::vector<double> &with, const std::vector<double> &without)
{
    QStringList out;
    for (size_t i = 0; i < with.size(); ++i)
        out.append(QString::number(with[i] - without[i], 'f', 1));
    return out.join(QStringLiteral(", "));
}

struct Editor {
    CRendaroDoc document;
    ReplacePrompts prompts;
    std::unique_ptr<BenchEditor> editor;
    CRendaroView *view = nullptr;

    RecoveryJournal &journal() const { return editor->features->recovery(); }
    bool open(const QString &path)
    {
        setTheDocument(&document);
        editor = std::make_unique<BenchEditor>(prompts);
        view = editor->view;
        view->resize(900, 600);
        view->show();
        if (view->OpenPath(path) != CRendaroView::OpenResult::Opened)
            return false;
        editor->run(Command::HideTranslated);  // every row shown
        return true;
    }
    ~Editor()
    {
        editor.reset();
        setTheDocument(nullptr);
    }
};

void editsOnALargeFile(const QString &path, int edits)
{
    Editor editor;
    if (!editor.open(path))
        return;
    CRendaroView *view = editor.view;
    CReportCtrl *grid = view->grid();
    std::vector<double> editMs, appendMs, durableMs;
    for (int i = 0; i < edits; ++i) {
        const int row = (i * 7919) % grid->GetItemCount();
        const QString original = view->DisplayedToOriginal(row);
        grid->StartEdit(1, row);
        grid->editor()->setText(QStringLiteral("Bearbeitet %1").arg(i));
        editMs.push_back(timeMs([grid] { grid->EndEdit(true); }));
        durableMs.push_back(timeMs([&editor] { editor.journal().flushJournal(); }));
        // The append alone, with the entry's state as the edit gave it.
        EntryState before{true, QStringLiteral("x"), 1};
        const EntryState after = ReadEntryState(editor.document, view->currentCatalogueId(), original);
        const ShownEntryChanges changes{{nullptr, original, before, after}};
        appendMs.push_back(timeMs([&] { editor.journal().recordChanges(changes); }));
        editor.journal().flushJournal();
    }
    std::printf("one edit on %d entries (median of %d):\n", grid->GetItemCount(), edits);
    std::printf("  edit committed (checks, counts, journal append): %8.3f ms\n", median(editMs));
    std::printf("  the first edit, which creates the journal:       %8.3f ms\n", editMs.front());
    std::printf("  journal append alone:                            %8.3f ms\n", median(appendMs));
    std::printf("  until on disk (write + fdatasync, writer thread): %7.3f ms\n", median(durableMs));
}

void replaceAll(const QString &path, const QString &stateHome, int runs)
{
    Editor editor;
    if (!editor.open(path))
        return;
    CRendaroView *view = editor.view;
    std::vector<double> withMs, withoutMs, durableMs, undoWithMs, undoWithoutMs;
    qint64 bytes = 0;
    QString summary;
    for (int run = 0; run < runs; ++run) {
        // Without: a state folder that cannot be made (below a file).
        qputenv("XDG_STATE_HOME", QFile::encodeName(path + QStringLiteral("/no-folder")));
        withoutMs.push_back(timeMs([&editor] { editor.editor->features->search().OnFindReplace(); }));
        // Back at the file: the journal state starts afresh.
        undoWithoutMs.push_back(timeMs([&editor] { editor.editor->run(Command::EditUndo); }));
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome));
        withMs.push_back(timeMs([&editor] { editor.editor->features->search().OnFindReplace(); }));
        summary = editor.prompts.lastMessage.section(u'\n', 0, 0);
        durableMs.push_back(timeMs([&editor] { editor.journal().flushJournal(); }));
        bytes = QFileInfo(editor.journal().journalPath()).size();
        undoWithMs.push_back(timeMs([&editor] { editor.editor->run(Command::EditUndo); }));
    }
    std::printf("Replace All over %d rows (%s; median of %d):\n", view->grid()->GetItemCount(), qPrintable(summary),
                runs);
    std::printf("  without the journal:                  %8.1f ms\n", median(withoutMs));
    std::printf("  with the journal:                     %8.1f ms (journalling %.1f ms)\n", median(withMs),
                median(withMs) - median(withoutMs));
    std::printf("  the journalling of each run:          %s ms\n", qPrintable(differences(withMs, withoutMs)));
    std::printf("  then until every record is on disk:   %8.1f ms (%.1f MB of journal)\n", median(durableMs),
                double(bytes) / 1e6);
    std::printf("  its undo without / with the journal:  %8.1f / %.1f ms\n", median(undoWithoutMs),
                median(undoWithMs));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    const QString stateHome = argc > 1 ? QString::fromLocal8Bit(argv[1]) : work.filePath(QStringLiteral("state"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome));
    const QString large = work.filePath(QStringLiteral("large.xml"));
    const QString replace = work.filePath(QStringLiteral("replace.xml"));
    if (!generateLanguageFile(large, 100000) || !writeReplaceFile(replace, 54000)) {
        std::fprintf(stderr, "cannot write the files in %s\n", qPrintable(work.path()));
        return 1;
    }
    std::printf("journals in %s\n", qPrintable(stateHome));
    // Taken when a file is shown and after each save, to tell changes by
    // other programs.
    std::vector<double> printMs;
    for (int i = 0; i < 7; ++i)
        printMs.push_back(timeMs([&large] { TakeFingerprint(large); }));
    std::printf("fingerprint of the %.1f MB file (size, time, SHA-1): %.1f ms (median of 7)\n",
                double(QFileInfo(large).size()) / 1e6, median(printMs));
    editsOnALargeFile(large, 21);
    replaceAll(replace, stateHome, 5);
    return 0;
}
