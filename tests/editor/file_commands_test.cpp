// New, Open, a dropped file, Save, Save As and Save Only Non-translated
// String As, with the prompts that guard unsaved changes.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

class FileCommandsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString deu;

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("DEU.xml", {
            R"(<L from="Open" to="Open" key="IDS_OPEN"/>)",
            R"(<L from="Save" to="Save" key="IDS_SAVE"/>)",
            R"(<L from="Done" to="Fertig" key="IDS_DONE"/>)",
        });
    }
    void cleanup() { f.reset(); }

    void openThroughTheDialog()
    {
        f->prompts.chooseFile(deu);
        f->run(Command::FileOpen);
        QCOMPARE(f->prompts.fileDialogs.size(), 1);
        // With nothing shown the dialog starts next to the program, which
        // does not become the shown path.
        QCOMPARE(f->prompts.fileDialogs[0].startFolder, QCoreApplication::applicationFilePath());
        QCOMPARE(f->prompts.fileDialogs[0].filter, QStringLiteral("XML Files (*.xml)"));
        QCOMPARE(f->view->currentPath(), deu);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1]").arg(deu));
        QCOMPARE(f->grid->GetItemCount(), 2);
        QCOMPARE(f->document.currentCatalogueId(), f->view->currentCatalogueId());

        // The next dialog starts at the shown file; cancelling keeps it.
        f->prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        f->prompts.chooseFile(QString());
        f->run(Command::FileOpen);
        QCOMPARE(f->prompts.fileDialogs[1].startFolder, deu);
        QCOMPARE(f->grid->GetItemCount(), 2);
        QCOMPARE(f->view->currentPath(), deu);
    }

    void unreadableFileSaysWhyAndKeepsTheShownFile()
    {
        QVERIFY(f->open(deu));
        f->editTranslation(0, "Öffnen");
        const QString broken = f->path("broken.xml");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<Language><L from=\"a\"></Language>");
        file.close();

        f->prompts.answer(PromptAnswer::No);   // do not save
        f->prompts.answer(PromptAnswer::Yes);  // close
        f->prompts.chooseFile(broken);
        f->run(Command::FileOpen);
        const QStringList texts = f->prompts.takeTexts();
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts[2].startsWith("Can not open this file.\n\nline 1"));
        QCOMPARE(f->view->currentPath(), deu);
        QVERIFY(f->view->isModified());
        QCOMPARE(f->grid->GetItemText(0, 1), QStringLiteral("Öffnen"));
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->document.catalogues().size(), size_t(2));  // master and the shown file

        f->prompts.answer(PromptAnswer::No);
        f->prompts.answer(PromptAnswer::Yes);
        QCOMPARE(f->view->OpenPath(f->path("missing.xml")), CRendaroView::OpenResult::Failed);
        const QStringList missing = f->prompts.takeTexts();
        QCOMPARE(missing.size(), 3);
        QVERIFY(missing[2].startsWith("Can not open this file.\n\n"));
        QVERIFY(missing[2].size() > QStringLiteral("Can not open this file.\n\n").size());
        QCOMPARE(f->view->currentPath(), deu);
    }

    void cancelOnTheSaveQuestionKeepsEverything()
    {
        QVERIFY(f->open(deu));
        f->editTranslation(1, "Sichern");
        f->prompts.answer(PromptAnswer::Cancel);
        f->run(Command::FileOpen);  // no dialog follows
        QCOMPARE(f->prompts.takeTexts(), QStringList({messageText(MsgSaveCurrent)}));
        QCOMPARE(f->view->currentPath(), deu);
        QVERIFY(f->view->isModified());
        QCOMPARE(f->storedTranslation("Save"), QStringLiteral("Sichern"));
        f->prompts.answer(PromptAnswer::Cancel);
        QVERIFY(!f->view->PromptSave());
    }

    void saveWritesAndReportsIt()
    {
        QVERIFY(f->open(deu));
        f->editTranslation(0, "Öffnen");
        f->prompts.messages.clear();
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Save OK"}));
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1]").arg(deu));
        QVERIFY(fileBytes(deu).contains(R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)"));
        QCOMPARE(f->grid->GetItemCount(), 1);  // the refresh hides the translated row
    }

    void saveWithNothingToDoShowsNothing()
    {
        QVERIFY(f->open(f->writeLanguageFile("ALL.xml", {R"(<L from="a" to="b"/>)"})));
        const QByteArray before = fileBytes(f->path("ALL.xml"));
        QCOMPARE(f->grid->GetItemCount(), 0);
        f->run(Command::FileSave);
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(fileBytes(f->path("ALL.xml")), before);
    }

    void emptyTranslationStopsTheSaveAtItsRow()
    {
        QVERIFY(f->open(deu));
        const QByteArray before = fileBytes(deu);
        f->grid->SetItemText(1, 1, QString());
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].text, QStringLiteral("Please enter a string."));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        QVERIFY(f->grid->isEditing());
        QCOMPARE(f->grid->editRow(), 1);
        QCOMPARE(f->grid->editColumn(), 1);
        QCOMPARE(fileBytes(deu), before);
    }

    void overLongRowsAskOnce()
    {
        QVERIFY(f->open(f->writeLanguageFile("LONG.xml", {
            R"(<L from="ab" to="ab"/>)", R"(<L from="cd" to="cd"/>)", R"(<L from="ef" to="ef"/>)"})));
        f->grid->SetItemText(0, 1, "12345");
        f->grid->SetItemText(2, 1, "67890");
        f->prompts.answer(PromptAnswer::No);
        const QByteArray before = fileBytes(f->path("LONG.xml"));
        QVERIFY(!f->view->ValidateAllRows());
        QCOMPARE(f->prompts.takeTexts(), QStringList({messageText(MsgTooLongSave)}));
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->view->ValidateAllRows());
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(fileBytes(f->path("LONG.xml")), before);
    }

    void failedSaveKeepsTheChangeMark()
    {
        // The file's folder goes while the file is shown.
        QVERIFY(QDir().mkpath(f->path("no-such-folder")));
        const QString gone = f->path("no-such-folder/DEU.xml");
        QVERIFY(QFile::copy(deu, gone));
        QVERIFY(f->open(gone));
        f->editTranslation(0, "Öffnen");
        QVERIFY(QDir(f->path("no-such-folder")).removeRecursively());
        f->prompts.messages.clear();
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith("Can not save file.\n\n"));
        QVERIFY(f->prompts.messages[0].text.contains("no-such-folder"));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        QVERIFY(f->view->isModified());
        QVERIFY(f->view->title().endsWith("*]"));
    }

    void saveAsAndSaveOnlyNonTranslated()
    {
        QVERIFY(f->open(deu));
        f->editTranslation(0, "Öffnen");
        f->prompts.messages.clear();

        // The untranslated strings go to another file; the shown file, its
        // unsaved change and the title stay.
        const QString todo = f->path("todo.xml");
        f->prompts.chooseFile(todo);
        f->run(Command::SaveNonTranslated);
        QCOMPARE(f->prompts.fileDialogs.last().defaultSuffix, QStringLiteral("xml"));
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Save OK"}));
        const QByteArray untranslated = fileBytes(todo);
        QVERIFY(untranslated.contains(R"(from="Save")"));
        QVERIFY(!untranslated.contains(R"(from="Open")"));
        QVERIFY(!untranslated.contains(R"(from="Done")"));
        QCOMPARE(f->view->currentPath(), deu);
        QVERIFY(f->view->isModified());
        f->run(Command::FileSave);
        QVERIFY(fileBytes(deu).contains(R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)"));
        QVERIFY(fileBytes(deu).contains(R"(<L from="Done" to="Fertig" key="IDS_DONE"/>)"));

        const QString copy = f->path("copy.xml");
        f->prompts.messages.clear();
        f->prompts.chooseFile(copy);
        f->run(Command::FileSaveAs);
        QCOMPARE(f->prompts.fileDialogs.last().startFolder, deu);
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Save OK"}));
        QCOMPARE(f->view->currentPath(), copy);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1]").arg(copy));
        QCOMPARE(fileBytes(copy), fileBytes(deu));
    }

    void newFileFromPastedRowsIsSavedAs()
    {
        f->run(Command::FileNew);
        f->run(Command::FileSave);  // no rows: nothing happens
        QVERIFY(f->prompts.messages.isEmpty());
        f->view->PasteText("Yes\tJa");
        const QString fresh = f->path("fresh.xml");
        f->prompts.chooseFile(fresh);
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Save OK"}));
        QVERIFY(fileBytes(fresh).contains(R"(<L from="Yes" to="Ja"/>)"));
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->view->currentPath(), fresh);
    }

    void unsavedPastedRowsAreAskedAbout()
    {
        f->run(Command::FileNew);
        f->view->PasteText("Yes\tJa");
        f->prompts.answer(PromptAnswer::Cancel);
        f->run(Command::FileNew);
        QCOMPARE(f->prompts.takeTexts(), QStringList({messageText(MsgSaveCurrent)}));
        QCOMPARE(f->grid->GetItemCount(), 1);
    }

    void droppedFiles()
    {
        QVERIFY(f->open(deu));
        const QString other = f->writeLanguageFile("FRA.xml", {R"(<L from="Yes" to="Yes"/>)"});
        f->drop({other, deu});
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].text, QStringLiteral("Please drag only one file."));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Information);
        QCOMPARE(f->view->currentPath(), deu);
        f->prompts.messages.clear();
        f->prompts.answer(PromptAnswer::Yes);
        f->drop({other});
        QCOMPARE(f->view->currentPath(), other);
        QCOMPARE(f->grid->GetItemText(0, 0), QStringLiteral("Yes"));
        QCOMPARE(f->document.catalogues().size(), size_t(2));
    }
};

RENDARO_GUI_TEST(FileCommandsTest)
#include "file_commands_test.moc"
