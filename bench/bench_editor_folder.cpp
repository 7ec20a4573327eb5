// Language-folder mode in the editor against the core on the same files:
//   - the editor: Open Language Folder (the folder listed, every file loaded
//     and merged, the grid filled, progress shown) and Save (every file
//     written with progress), offscreen with Qt's progress dialog;
//   - the core: the same files loaded and saved one by one.
//
//   bench_editor_folder DIR...   (each DIR is searched for language files; all of
//                          them are copied into one language folder first)
//
// Make 30 files of 5,000 strings of one language with
//   python3 gen_langfile.py folder /tmp/f1 --projects 15 --langs 1 --entries 5000 --seed 1
//   python3 gen_langfile.py folder /tmp/f2 --projects 15 --langs 1 --entries 5000 --seed 2
// and run bench_editor_folder /tmp/f1 /tmp/f2.

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"
#include "bench_prompts.h"
#include "editor/core/progress_dlg.h"
#include "editor/core/rendaro_view.h"
#include "editor/counts/live_counts.h"
#include "editor/filter/quick_filter.h"
#include "editor/folder/language_folder_commands.h"
#include "editor/navigation/navigation.h"
#include "editor/recovery/recovery_journal.h"
#include "editor/search/search_feature.h"
#include "editor/core/user_prompts.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Answers OK, picks the folder, accepts the file list and shows real progress.
class FolderPrompts : public UserPrompts {
public:
    QString folder;
    PromptAnswer message(QWidget *, const QString &text, const QString &, PromptIcon, PromptButtons buttons) override
    {
        if (buttons == PromptButtons::Ok)
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    QString openFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString saveFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString folderName(QWidget *, const QString &, const QString &) override { return folder; }
    bool runDialog(QDialog &dialog) override
    {
        dialog.accept();
        return true;
    }
    std::unique_ptr<ProgressReporter> progress(QWidget *owner, const QString &caption) override
    {
        return std::make_unique<CProgressDlg>(owner, caption);
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList inputs = app.arguments().mid(1);
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "usage: bench_editor_folder DIR...\n");
        return 2;
    }
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("lang"));
    qint64 bytes = 0;
    for (int i = 0; i < inputs.size(); ++i) {
        for (const QString &file : ListLanguageFiles(inputs[i])) {
            const QString copy = QStringLiteral("%1/%2/%3").arg(folder).arg(i).arg(QFileInfo(file).fileName());
            QDir().mkpath(QFileInfo(copy).absolutePath());
            if (!QFile::copy(file, copy)) {
                std::fprintf(stderr, "cannot copy %s\n", qPrintable(file));
                return 1;
            }
            bytes += QFileInfo(copy).size();
        }
    }
    const QStringList files = ListLanguageFiles(folder);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no language files under the given folders\n");
        return 1;
    }

    constexpr int kRuns = 5;
    std::vector<double> coreLoad, coreSave, editorOpen, editorSave;
    size_t masterEntries = 0;
    int rows = 0;
    for (int run = 0; run < kRuns; ++run) {
        {
            CRendaroDoc document;
            std::vector<int> ids;
            QElapsedTimer timer;
            timer.start();
            for (const QString &file : files)
                ids.push_back(document.LoadCatalogue(file, false));
            coreLoad.push_back(msSince(timer));
            timer.restart();
            for (size_t i = 0; i < ids.size(); ++i) {
                if (!document.SaveCatalogue(ids[i], files[int(i)], true)) {
                    std::fprintf(stderr, "core save failed: %s\n", qPrintable(document.lastErrorText()));
                    return 1;
                }
            }
            coreSave.push_back(msSince(timer));
        }
        {
            CRendaroDoc document;
            setTheDocument(&document);
            FolderPrompts prompts;
            prompts.folder = folder;
            auto editor = std::make_unique<BenchEditor>(prompts);
            CRendaroView *view = editor->view;
            view->resize(900, 600);
            view->show();
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            editor->features->folder().OnOpenLanguageFolder();
            editorOpen.push_back(msSince(timer));
            if (view->currentCatalogueId() != 0 || document.catalogues().size() != size_t(files.size()) + 1) {
                std::fprintf(stderr, "the folder was not opened\n");
                return 1;
            }
            masterEntries = document.catalogueAt(0)->entries.size();
            rows = view->grid()->GetItemCount();
            timer.restart();
            editor->run(Command::FileSave);
            editorSave.push_back(msSince(timer));
            if (view->isModified()) {
                std::fprintf(stderr, "the folder was not saved\n");
                return 1;
            }
            editor.reset();
            setTheDocument(nullptr);
        }
    }

    const double core = median(coreLoad) + median(coreSave);
    const double editor = median(editorOpen) + median(editorSave);
    std::printf("%lld files, %.1f MB, %zu strings in the master catalogue, %d rows shown\n", qlonglong(files.size()),
                double(bytes) / 1e6, masterEntries, rows);
    std::printf("core, one by one:   load %8.1f ms  save %8.1f ms  total %8.1f ms\n", median(coreLoad),
                median(coreSave), core);
    std::printf("editor, the folder: open %8.1f ms  save %8.1f ms  total %8.1f ms\n", median(editorOpen),
                median(editorSave), editor);
    std::printf("editor / core: open %.2f, save %.2f, total %.2f (goal: 1.5 or less; median of %d runs)\n",
                median(editorOpen) / median(coreLoad), median(editorSave) / median(coreSave), editor / core, kRuns);
    return 0;
}
