// Language-folder mode: choosing the files, the merged grid, saving every
// file with progress, and the progress dialog itself.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor/folder/list_folder_dlg.h"
#include "editor/core/progress_dlg.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include <optional>

class FolderModeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString root;

    QString writeAt(const QString &relative, const QList<QByteArray> &lines)
    {
        const QString path = root + u'/' + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeBytes(path, languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", lines));
        return path;
    }
    // Open Language Folder with every listed file chosen; `saveAnswer`
    // answers the save question when one is expected.
    void openFolder(std::optional<PromptAnswer> saveAnswer = std::nullopt)
    {
        f->prompts.answer(PromptAnswer::Ok);
        f->prompts.chooseFile(root);
        f->prompts.onDialog([](QDialog &dialog) {
            dialog.accept();
            return true;
        });
        if (saveAnswer)
            f->prompts.answer(*saveAnswer);
        f->folder().OnOpenLanguageFolder();
        QVERIFY(f->prompts.scriptUsed());
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        root = f->path("lang/DEU");
        writeAt("A.xml", {R"(<L from="Open" to="Open" key="IDS_OPEN"/>)", R"(<L from="Save" to="Sichern"/>)"});
        writeAt("D.XML", {R"(<L from="Upper" to="Upper"/>)"});
        writeAt("E.xml.bak", {R"(<L from="Backup" to="Backup"/>)"});
        writeAt(".svn/C.xml", {R"(<L from="Hidden" to="Hidden"/>)"});
        writeAt("sub/B.xml", {R"(<L from="Open" to="Öffnen"/>)", R"(<L from="Quit" to="Quit"/>)"});
        writeAt("Z.xml", {R"(<L from="Help" to="Hilfe"/>)"});
    }
    void cleanup() { f.reset(); }

    void listsEveryLanguageFileSelected()
    {
        CListFolderDlg dialog;
        dialog.setFolder(root);
        QListWidget *list = dialog.list();
        QCOMPARE(list->selectionMode(), QAbstractItemView::MultiSelection);
        QStringList items;
        for (int row = 0; row < list->count(); ++row) {
            items << list->item(row)->text();
            QVERIFY(list->item(row)->isSelected());
        }
        // Depth first: the subfolder's file where the subfolder comes.
        QCOMPARE(items, QStringList({root + "/A.xml", root + "/sub/B.xml", root + "/Z.xml"}));
        QCOMPARE(dialog.itemCount, 3);

        // A click toggles one file.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(1)).center());
        QVERIFY(!list->item(1)->isSelected());
        QVERIFY(list->item(0)->isSelected());
        dialog.accept();
        QCOMPARE(dialog.selectedPaths, QStringList({root + "/A.xml", root + "/Z.xml"}));
    }

    void openShowsTheMergedFilesWithProgress()
    {
        openFolder();
        const ShownMessage &warning = f->prompts.messages.at(0);
        QCOMPARE(warning.text, messageText(MsgLanguageFolder));
        QVERIFY(warning.text.contains("\nThen all the files"));
        QCOMPARE(warning.icon, PromptIcon::Information);
        QCOMPARE(warning.buttons, PromptButtons::OkCancel);
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.fileDialogs[0].caption, QStringLiteral("Please select language directory"));
        QCOMPARE(f->prompts.fileDialogs[0].startFolder, QDir::currentPath());

        QCOMPARE(f->view->currentCatalogueId(), 0);
        QCOMPARE(f->view->currentPath(), root + "/*");
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - GLOBAL[%1/*]").arg(root));
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->document.catalogues().size(), size_t(4));  // the master and three files
        // One row per original; the untranslated "Open" of A.xml gave way to B.xml's.
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->grid->GetItemCount(), 1);
        QCOMPARE(f->grid->GetItemText(0, 0), QStringLiteral("Quit"));
        QCOMPARE(f->prompts.progressLog,
                 QStringList({"[Loading Progress]", "total 3", "show", "Loading 1 of 3: " + root + "/A.xml...",
                              "Loading 2 of 3: " + root + "/sub/B.xml...", "Loading 3 of 3: " + root + "/Z.xml...",
                              "closed"}));
    }

    void saveWritesEveryFileWithProgress()
    {
        openFolder();
        f->prompts.messages.clear();
        f->prompts.progressLog.clear();
        f->editTranslation(0, "Beenden");
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - GLOBAL*[%1/*]").arg(root));
        f->run(Command::FileSave);
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(f->prompts.progressLog,
                 QStringList({"[Saving Progress]", "total 5", "show", "Saving " + root + "/A.xml...",
                              "Saving " + root + "/sub/B.xml...", "Saving " + root + "/Z.xml...", "Updating UI...",
                              "closed"}));
        QVERIFY(fileBytes(root + "/A.xml").contains(R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)"));
        QVERIFY(fileBytes(root + "/sub/B.xml").contains(R"(<L from="Quit" to="Beenden"/>)"));
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - GLOBAL[%1/*]").arg(root));
        QCOMPARE(f->grid->GetItemCount(), 0);  // the refresh hides the translated row
    }

    void aFileThatCannotBeWrittenIsNamedAndTheOthersAreWritten()
    {
        openFolder();
        f->prompts.messages.clear();
        f->editTranslation(0, "Beenden");
        // A folder where the file was cannot be written over.
        const QByteArray before = fileBytes(root + "/A.xml");
        QVERIFY(QFile::remove(root + "/A.xml"));
        QVERIFY(QDir().mkdir(root + "/A.xml"));
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith("Can not save file.\n\n"));
        QVERIFY(f->prompts.messages[0].text.contains(root + "/A.xml"));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        QVERIFY(QFileInfo(root + "/A.xml").isDir());
        QVERIFY(fileBytes(root + "/sub/B.xml").contains(R"(<L from="Quit" to="Beenden"/>)"));
        QVERIFY(f->view->isModified());
        QVERIFY(f->view->title().contains("GLOBAL*["));
        // The save question of a changed folder saves it again.
        QVERIFY(QDir().rmdir(root + "/A.xml"));
        QVERIFY(writeBytes(root + "/A.xml", before));
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->view->PromptSave());
        QVERIFY(!f->view->isModified());
        QVERIFY(fileBytes(root + "/A.xml").contains(R"(to="Öffnen")"));
    }

    void filesThatCannotBeLoadedAreNamed()
    {
        QFile broken(root + "/Broken.xml");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<Language><L from=\"a\"></Language>");
        broken.close();
        openFolder();
        QCOMPARE(f->prompts.messages.size(), 2);
        QVERIFY(f->prompts.messages[1].text.startsWith("Can not open this file.\n\n" + root + "/Broken.xml: "));
        QCOMPARE(f->document.catalogues().size(), size_t(4));
        QCOMPARE(f->view->currentCatalogueId(), 0);
    }

    void theShownFileIsKeptUntilEveryStepIsDone()
    {
        const QString single = writeAt("single/FRA.xml", {R"(<L from="Yes" to="Yes"/>)"});
        QVERIFY(f->open(single));
        f->editTranslation(0, "Oui");
        f->prompts.messages.clear();

        f->prompts.answer(PromptAnswer::Cancel);  // the warning
        f->folder().OnOpenLanguageFolder();
        f->prompts.answer(PromptAnswer::Ok);
        f->prompts.chooseFile(QString());         // the folder picker
        f->folder().OnOpenLanguageFolder();
        f->prompts.answer(PromptAnswer::Ok);
        f->prompts.chooseFile(root);
        f->prompts.onDialog([](QDialog &) { return false; });  // the file list
        f->folder().OnOpenLanguageFolder();
        openFolder(PromptAnswer::Cancel);  // "Do you want to save current file?"
        QCOMPARE(f->prompts.messages.last().text, messageText(MsgSaveCurrent));
        QCOMPARE(f->view->currentPath(), single);
        QVERIFY(f->view->isModified());
        QCOMPARE(f->storedTranslation("Yes"), QStringLiteral("Oui"));

        // Answering No closes the file without saving it.
        openFolder(PromptAnswer::No);
        QCOMPARE(f->view->currentCatalogueId(), 0);
        QVERIFY(!fileBytes(single).contains("Oui"));
    }

    void commandsInFolderMode()
    {
        CommandActions &commands = f->commands;
        QVERIFY(!commands.action(Command::ImportString)->isEnabled());
        openFolder();
        QVERIFY(commands.action(Command::ImportString)->isEnabled());
        QVERIFY(commands.action(Command::HideTranslated)->isEnabled());
        // A single file opened later ends the folder mode.
        const QString single = writeAt("single/FRA.xml", {R"(<L from="Yes" to="Yes"/>)"});
        f->prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        QVERIFY(f->open(single));
        QVERIFY(f->view->currentCatalogueId() > 0);
        QCOMPARE(f->document.catalogues().size(), size_t(2));
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1]").arg(single));
    }

    void progressDialogShowsStepsAndLetsTheWindowsRepaint()
    {
        CProgressDlg progress(f->view, "Saving Progress");
        progress.updateInterval = 0;  // every step reaches the dialog
        progress.setTotal(4);
        progress.show();
        QProgressDialog *dialog = progress.dialog();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Saving Progress"));
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->maximum(), 100);
        QCOMPARE(dialog->value(), 0);
        QCOMPARE(dialog->labelText(), QStringLiteral("Please wait...."));

        bool eventHandled = false;
        QTimer::singleShot(0, [&eventHandled] { eventHandled = true; });
        progress.step("Saving /x/A.xml...");
        QVERIFY(eventHandled);
        QCOMPARE(dialog->value(), 25);
        QCOMPARE(dialog->labelText(), QStringLiteral("Saving /x/A.xml...\nPlease wait...."));
        for (int i = 0; i < 4; ++i)
            progress.step("Updating UI...");
        QCOMPARE(dialog->value(), 100);  // steps beyond the total stay at the end

        // Steps closer together than the interval reach the dialog together,
        // the last one always.
        CProgressDlg quick(f->view, "Loading Progress");
        quick.updateInterval = 60000;
        quick.setTotal(3);
        quick.show();
        quick.step("one");
        quick.step("two");
        QCOMPARE(quick.done, 2);
        QCOMPARE(quick.dialog()->value(), 0);
        quick.step("three");
        QCOMPARE(quick.dialog()->value(), 100);
        QCOMPARE(quick.dialog()->labelText(), QStringLiteral("three\nPlease wait...."));
    }
};

RENDARO_GUI_TEST(FolderModeTest)
#include "folder_mode_test.moc"
