// Save As *.js and Save As *.php, for one file and for a language folder.

#include "gui_test_registry.h"
#include "editor_fixture.h"
#include "export/script_table.h"
#include "test_support.h"

#include <QDir>
#include <QDialog>
#include <QDirIterator>
#include <QTest>

class ScriptExportTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString deu;

    QStringList scriptFiles(const QString &folder) const
    {
        QStringList found;
        QDirIterator it(folder, {"*.js", "*.php"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(folder).relativeFilePath(it.next());
        found.sort();
        return found;
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("DEU.xml", {
            R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
            R"(<L from="Save" to="Save" key="IDS_SAVE"/>)",
        });
    }
    void cleanup() { f.reset(); }

    void oneFileToAChosenPath()
    {
        QVERIFY(f->open(deu));
        f->editTranslation(0, "Sichern");  // exported before it is saved
        f->prompts.messages.clear();
        const QString js = f->path("out/DEU.js");
        QDir().mkpath(f->path("out"));
        f->prompts.chooseFile(js);
        f->scriptExport().OnExportScript(ScriptJavaScript);
        const FileDialogRequest &request = f->prompts.fileDialogs.last();
        QCOMPARE(request.filter, QStringLiteral("Javascript Files (*.js)"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("js"));
        QCOMPARE(request.startFolder, deu);
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Save OK"}));
        QCOMPARE(f->prompts.messages.size(), 0);
        const QByteArray table = fileBytes(js);
        QVERIFY(table.contains("'IDS_SAVE':'Sichern'") || table.contains("'IDS_SAVE' : 'Sichern'")
                || table.contains("IDS_SAVE"));
        QVERIFY(table.contains("Sichern"));
        QCOMPARE(f->view->currentPath(), deu);
        QVERIFY(f->view->isModified());

        // The next export starts where the last one went; PHP has its own filter.
        const QString php = f->path("out/DEU.php");
        f->prompts.chooseFile(php);
        f->scriptExport().OnExportScript(ScriptPhp);
        QCOMPARE(f->prompts.fileDialogs.last().filter, QStringLiteral("PHP Files (*.php)"));
        QCOMPARE(f->prompts.fileDialogs.last().defaultSuffix, QStringLiteral("php"));
        QCOMPARE(f->prompts.fileDialogs.last().startFolder, f->path("out"));
        QVERIFY(fileBytes(php).startsWith("<?php"));
        QCOMPARE(f->view->currentPath(), deu);
    }

    void failureAndNothingToExport()
    {
        f->scriptExport().OnExportScript(ScriptJavaScript);  // nothing shown: no dialog
        QVERIFY(f->prompts.fileDialogs.isEmpty());
        QVERIFY(f->open(deu));
        f->prompts.chooseFile(f->path("no-such-folder/DEU.js"));
        f->scriptExport().OnExportScript(ScriptJavaScript);
        QCOMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith("Can not save file.\n\n"));
        QVERIFY(f->prompts.messages[0].text.contains("no-such-folder"));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        // Cancelling the dialog writes nothing and says nothing.
        f->prompts.chooseFile(QString());
        f->scriptExport().OnExportScript(ScriptJavaScript);
        QCOMPARE(f->prompts.messages.size(), 1);
    }

    void aFileWithNoRowsShownStillExports()
    {
        QVERIFY(f->open(f->writeLanguageFile("ALL.xml", {R"(<L from="a" to="b" key="K"/>)"})));
        QCOMPARE(f->grid->GetItemCount(), 0);
        f->prompts.chooseFile(f->path("ALL.js"));
        f->scriptExport().OnExportScript(ScriptJavaScript);
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Save OK"}));
        QVERIFY(fileBytes(f->path("ALL.js")).contains("K"));
    }

    void folderModeWritesEveryFileBesideItWithoutAWord()
    {
        const QString web = f->path("web");
        QDir().mkpath(web + "/sub");
        writeBytes(web + "/ViewResDEU.xml", languageFile("", {R"(<L from="Open" to="Open" key="IDS_OPEN"/>)"}));
        writeBytes(web + "/BackResDEU.xml", languageFile("", {R"(<L from="Save" to="Sichern" key="IDS_SAVE"/>)"}));
        writeBytes(web + "/sub/ViewResCHT.xml", languageFile("", {R"(<L from="Quit" to="Quit" key="IDS_QUIT"/>)"}));
        writeBytes(web + "/Other.xml", languageFile("", {R"(<L from="Help" to="Help" key="IDS_HELP"/>)"}));
        f->openFolder(web);
        f->editTranslation(f->rowOf("Open"), "Öffnen");
        f->prompts.messages.clear();

        f->scriptExport().OnExportScript(ScriptJavaScript);
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(f->prompts.fileDialogs.size(), 1);  // only the folder picker
        QCOMPARE(scriptFiles(web), QStringList({"DEU.js", "DEUWebRPB.js", "sub/CHT.js"}));
        // The edit made in the folder is in its file's table before it is saved.
        QVERIFY(fileBytes(web + "/DEU.js").contains("&#x00d6;ffnen"));
        QVERIFY(fileBytes(web + "/DEUWebRPB.js").contains("Sichern"));

        f->scriptExport().OnExportScript(ScriptPhp);
        QCOMPARE(scriptFiles(web), QStringList({"BackResDEU.php", "DEU.js", "DEUWebRPB.js", "Other.php",
                                                "ViewResDEU.php", "sub/CHT.js", "sub/ViewResCHT.php"}));
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(f->view->currentPath(), web + "/*");
    }
};

RENDARO_GUI_TEST(ScriptExportTest)
#include "script_export_test.moc"
