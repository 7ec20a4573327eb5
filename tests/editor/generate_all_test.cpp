// Generate All Language File From this: copies of the shown English file
// for every language of a reference application, and the auto-import.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class GenerateAllTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString english;
    QString tree;

    QString writeAt(const QString &path, const QList<QByteArray> &lines)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeBytes(path, languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", lines));
        return path;
    }
    // Runs the command: Yes to the first question, `folder` picked (empty:
    // cancelled), `autoImport` to the second question.
    void generate(const QString &folder, PromptAnswer autoImport)
    {
        f->prompts.answer(PromptAnswer::Yes);
        f->prompts.chooseFile(folder);
        f->prompts.answer(autoImport);
        f->batchTools().OnGenerateAll();
        QVERIFY(f->prompts.scriptUsed());
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        english = writeAt(f->path("ENG/ViewResENG.xml"), {
            R"(<L from="Open" to="Open" key="IDS_OPEN"/>)",
            R"(<L from="Save" to="Save" key="IDS_SAVE"/>)",
            R"(<L from="Quit" to="Quit" key="IDS_QUIT"/>)",
        });
        tree = f->path("tree");
        writeAt(tree + "/lang/CHT/VaridivUvaCHT.xml", {R"(<L from="Open" to="開啟"/>)", R"(<L from="Quit" to="結束"/>)"});
        writeAt(tree + "/lang/CHT/OtherResCHT.xml", {R"(<L from="Open" to="打開"/>)"});
        writeAt(tree + "/lang/CHT/AnotherResCHT.xml", {R"(<L from="Save" to="儲存"/>)", R"(<L from="Quit" to="Quit"/>)"});
        writeAt(tree + "/lang/DEU/VaridivUvaDEU.xml", {R"(<L from="Open" to="Öffnen"/>)"});
        writeAt(tree + "/lang/.svn/VaridivUvaFRA.xml", {R"(<L from="Open" to="Ouvrir"/>)"});
        writeAt(tree + "/lang/ENG/VaridivUvaViewResENG.xml", {R"(<L from="Open" to="Open"/>)"});
        QVERIFY(f->open(english));
    }
    void cleanup() { f.reset(); }

    void copiesForEveryLanguageOfTheReference()
    {
        f->editTranslation(f->rowOf("Quit"), "Exit");  // not saved yet
        const QByteArray shownBefore = fileBytes(english);
        const QString title = f->view->title();
        const int rows = f->grid->GetItemCount();
        f->prompts.messages.clear();
        generate(tree, PromptAnswer::No);

        const QList<ShownMessage> &messages = f->prompts.messages;
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].text, messageText(MsgGenerateAll));
        QCOMPARE(messages[0].icon, PromptIcon::Exclamation);
        QCOMPARE(messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(messages[1].text, QStringLiteral("Do you want to auto import translated string from other AP XML?"));
        QCOMPARE(f->prompts.fileDialogs[0].caption, QStringLiteral("Please select directory to find XML files."));
        QCOMPARE(f->prompts.fileDialogs[0].startFolder, QDir::currentPath());

        const QString cht = tree + "/lang/CHT/ViewResCHT.xml", deu = tree + "/lang/DEU/ViewResDEU.xml";
        QCOMPARE(f->batchTools().generatedFiles(), QStringList({cht, deu}));
        for (const QString &copy : {cht, deu}) {
            const QByteArray bytes = fileBytes(copy);
            QVERIFY(bytes.contains(R"(<L from="Open" to="Open" key="IDS_OPEN"/>)"));
            QVERIFY(bytes.contains(R"(<L from="Quit" to="Exit" key="IDS_QUIT"/>)"));
        }
        QVERIFY(!QFileInfo::exists(tree + "/lang/.svn/ViewResFRA.xml"));
        QVERIFY(fileBytes(tree + "/lang/ENG/VaridivUvaViewResENG.xml").contains(R"(to="Open"/>)"));
        QVERIFY(!QFileInfo::exists(tree + "/lang/ENG/ViewResViewResENG.xml"));
        // The shown file is neither written nor changed in the view.
        QCOMPARE(fileBytes(english), shownBefore);
        QCOMPARE(f->view->currentPath(), english);
        QCOMPARE(f->view->title(), title);
        QCOMPARE(f->grid->GetItemCount(), rows);
        QVERIFY(f->view->isModified());
        QCOMPARE(f->document.catalogues().size(), size_t(2));
        f->run(Command::FileSave);
        QVERIFY(fileBytes(english).contains(R"(to="Exit")"));
    }

    void autoImportFillsEachCopyFromItsFolder()
    {
        generate(tree, PromptAnswer::Yes);
        QCOMPARE(f->prompts.messages.size(), 2);
        const QByteArray cht = fileBytes(tree + "/lang/CHT/ViewResCHT.xml");
        // Files in name order: AnotherRes, OtherRes, then the reference file,
        // which only fills what the others left untranslated.
        QVERIFY(cht.contains(R"(<L from="Save" to="儲存" key="IDS_SAVE"/>)"));
        QVERIFY(cht.contains(R"(<L from="Open" to="打開" key="IDS_OPEN"/>)"));
        QVERIFY(cht.contains(R"(<L from="Quit" to="結束" key="IDS_QUIT"/>)"));
        QVERIFY(fileBytes(tree + "/lang/DEU/ViewResDEU.xml").contains(R"(<L from="Open" to="Öffnen")"));
        QCOMPARE(f->document.catalogues().size(), size_t(2));
        QCOMPARE(f->prompts.progressLog.first(), QStringLiteral("[Import Progress]"));
        QVERIFY(f->prompts.progressLog.contains("Importing into " + tree + "/lang/DEU/ViewResDEU.xml..."));
    }

    void aCopyThatCannotBeReadIsNamedAndTheOthersGoOn()
    {
        const QString deu = tree + "/lang/DEU/ViewResDEU.xml";
        // The DEU copy is spoilt while the second question is asked.
        f->prompts.onMessage = [deu](const ShownMessage &message) {
            if (message.text == messageText(MsgAutoImport))
                writeBytes(deu, "<Language><L from=\"a\"></Language>");
        };
        const int rows = f->grid->GetItemCount();
        generate(tree, PromptAnswer::Yes);
        QCOMPARE(f->prompts.messages.size(), 3);
        QVERIFY(f->prompts.messages[2].text.startsWith("Can not open this file.\n\n" + deu + ": "));
        QCOMPARE(f->prompts.messages[2].icon, PromptIcon::Stop);
        QVERIFY(fileBytes(tree + "/lang/CHT/ViewResCHT.xml").contains(R"(to="打開")"));
        // The shown file is still loaded and shown.
        QCOMPARE(f->document.catalogues().size(), size_t(2));
        QVERIFY(f->document.findCatalogue(f->view->currentCatalogueId()));
        QCOMPARE(f->grid->GetItemCount(), rows);
    }

    void noAnswersAndNamesWithoutRes()
    {
        f->prompts.answer(PromptAnswer::No);
        f->batchTools().OnGenerateAll();  // nothing follows
        QCOMPARE(f->prompts.messages.size(), 1);
        // A cancelled folder picker still asks about the import.
        generate(QString(), PromptAnswer::Yes);
        QVERIFY(f->batchTools().generatedFiles().isEmpty());
        QVERIFY(!QFileInfo::exists(tree + "/lang/CHT/ViewResCHT.xml"));

        f->prompts.messages.clear();
        f->prompts.answer(PromptAnswer::Yes);  // close the shown file
        QVERIFY(f->open(writeAt(f->path("Strings.xml"), {R"(<L from="a" to="a"/>)"})));
        f->prompts.answer(PromptAnswer::Yes);
        f->batchTools().OnGenerateAll();  // no folder picker follows
        QVERIFY(f->prompts.scriptUsed());
        QCOMPARE(f->prompts.messages.size(), 3);
        QVERIFY(f->prompts.messages[2].text.contains("Strings.xml"));
    }

    void enabledWhileASingleFileIsShown()
    {
        CommandActions &commands = f->commands;
        QVERIFY(commands.action(Command::GenerateAll)->isEnabled());
        f->prompts.answer(PromptAnswer::Yes);
        f->run(Command::FileNew);
        QVERIFY(!commands.action(Command::GenerateAll)->isEnabled());
        f->view->ShowLanguageFolder(tree + "/lang/CHT", {tree + "/lang/CHT/OtherResCHT.xml"});
        QCOMPARE(f->view->currentCatalogueId(), 0);
        QVERIFY(!commands.action(Command::GenerateAll)->isEnabled());
        QVERIFY(commands.action(Command::ImportString)->isEnabled());
    }
};

RENDARO_GUI_TEST(GenerateAllTest)
#include "generate_all_test.moc"
