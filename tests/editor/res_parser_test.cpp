// The ResParser dialog and the Add new string command: the order of Start's
// checks, the choosers, and the texts of the resource reader's test
// programs added to the shown catalogue (or to a new one).

#include "gui_test_registry.h"
#include "editor/core/command_actions.h"
#include "batch_dialogs/res_parser_dlg.h"
#include "catalogue/messages.h"
#include "editor_fixture.h"
#include "special_files.h"
#include "test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kFixtures = QStringLiteral(RENDARO_TESTS_DIR "/resparse/fixtures");

// The distinct, non-empty texts of resources64.dll that its header lets
// through, in the reader's order, as AddExtractedString stores them.
const QStringList kAdded = {"File", "Open...", "Exit", "Help", "About", "Edit", "Cut", "More", "Save & Close",
                            "Window", "Options", "Name:", "OK", "Extended", "Check me", "Label", "Hallo",
                            "Ninety-six", "Hello", "&Not stripped", "Last of block"};

} // namespace

class ResParserTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;

    // A dialog script: fills in the two paths and presses Start.
    std::function<bool(QDialog &)> start(const QString &executable, const QString &header)
    {
        return [executable, header](QDialog &dialog) {
            auto &parser = static_cast<CResParserDlg &>(dialog);
            parser.executableEdit()->setText(executable);
            parser.headerEdit()->setText(header);
            parser.startButton()->click();
            return parser.result() == QDialog::Accepted;
        };
    }
    QStringList originals() const
    {
        QStringList texts;
        const CXMLStruct *catalogue = f->document.findCatalogue(f->view->currentCatalogueId());
        if (catalogue) {
            for (const auto &[original, entry] : catalogue->entries)
                texts << original;
        }
        return texts;
    }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup()
    {
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
    }

    void startChecksTheHeaderFirstAndStaysOpen()
    {
        CResParserDlg dialog(f->prompts, *f->view);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ResParser"));
        QVERIFY(dialog.executableEdit()->text().endsWith("/Rendaro/TestHubDesk/HubDesk.exe"));
        QVERIFY(dialog.headerEdit()->text().endsWith("/Rendaro/TestHubDesk/resource.h"));
        QSignalSpy finished(&dialog, &QDialog::finished);

        dialog.executableEdit()->clear();
        dialog.headerEdit()->clear();
        dialog.startButton()->click();
        dialog.headerEdit()->setText(kFixtures + "/resource.h");
        dialog.startButton()->click();
        QCOMPARE(f->prompts.messages.size(), 2);
        QCOMPARE(f->prompts.messages[0].text, QStringLiteral("Please choose C++ resource file."));
        QCOMPARE(f->prompts.messages[1].text, QStringLiteral("Please choose a EXE to generate XML."));
        for (const ShownMessage &message : f->prompts.messages) {
            QCOMPARE(message.caption, QStringLiteral("Parser"));
            QCOMPARE(message.icon, PromptIcon::Information);
        }
        QVERIFY(dialog.startButton()->isEnabled());
        QCOMPARE(finished.count(), 0);

        // A program that cannot be read is named, and the dialog stays open.
        f->prompts.messages.clear();
        dialog.executableEdit()->setText(f->path("missing.exe"));
        dialog.startButton()->click();
        const QString fifo = f->path("pipe.exe");
        QVERIFY(makeFifo(fifo));
        dialog.executableEdit()->setText(fifo);
        dialog.startButton()->click();  // never opened, so nothing waits for a writer
        QCOMPARE(f->prompts.messages.size(), 2);
        QVERIFY(f->prompts.messages[0].text.startsWith("Can not open the executable " + f->path("missing.exe")));
        QCOMPARE(f->prompts.messages[1].text,
                 "Can not open the executable " + fifo + " (it is a FIFO, not a regular file)");
        QCOMPARE(f->prompts.messages[1].icon, PromptIcon::Stop);
        QVERIFY(dialog.startButton()->isEnabled());
        QCOMPARE(finished.count(), 0);
        QVERIFY(originals().isEmpty());

        // Exit adds nothing and returns Cancel.
        dialog.reject();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void choosersUseTheirFiltersAndKeepTypedText()
    {
        CResParserDlg dialog(f->prompts, *f->view);
        dialog.headerEdit()->setText("typed.h");
        f->prompts.chooseFile("/programs/App.exe");
        f->prompts.chooseFile(QString());
        const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
        QList<QPushButton *> choosers;
        for (QPushButton *button : buttons) {
            if (button->text() == u"Choose File")
                choosers << button;
        }
        QCOMPARE(choosers.size(), 2);
        choosers[0]->click();
        QCOMPARE(dialog.executableEdit()->text(), QStringLiteral("/programs/App.exe"));
        QCOMPARE(dialog.headerEdit()->text(), QStringLiteral("typed.h"));
        choosers[1]->click();  // cancelled: nothing changes
        QCOMPARE(dialog.headerEdit()->text(), QStringLiteral("typed.h"));
        QCOMPARE(f->prompts.fileDialogs[0].filter, QStringLiteral("Exe Files (*.exe);;DLL Files (*.dll)"));
        QCOMPARE(f->prompts.fileDialogs[1].filter, QStringLiteral("C++ Header Files (*.h)"));
        QCOMPARE(f->prompts.fileDialogs[0].startFolder, QDir::currentPath());
    }

    void addNewStringFillsTheShownFile()
    {
        // "OK" and "Hello" are present: they keep their entries.
        const QString path = f->writeLanguageFile(
            "ENG.xml", {R"(<L from="OK" to="Okay"/>)", R"(<L from="Hello" to="Hello" key="IDS_HELLO"/>)"});
        QVERIFY(f->open(path));
        f->prompts.onDialog(start(kFixtures + "/resources64.dll", kFixtures + "/resource.h"));
        f->batchTools().OnAddNewString();
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Complete!"}));
        QStringList expected = kAdded;
        expected.sort();
        QStringList stored = originals();
        QCOMPARE(stored, expected);  // each text once, the empty one left out, the tab hint cut
        QCOMPARE(f->storedTranslation("OK"), QStringLiteral("Okay"));
        QCOMPARE(f->storedTranslation("Open..."), QStringLiteral("Open..."));
        QCOMPARE(f->storedTranslatable("Label"), 1);
        // The grid shows the new strings, the title the change.
        QVERIFY(f->rowOf("Save & Close") >= 0);
        QCOMPARE(f->view->title(), "Rendaro - [" + path + "*]");
        QVERIFY(f->view->isModified());

        // Saved, a second run finds nothing new.
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList({messageText(MsgSaveOk)}));
        f->prompts.onDialog(start(kFixtures + "/resources32.dll", kFixtures + "/resource.h"));
        f->batchTools().OnAddNewString();
        QCOMPARE(originals(), expected);
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->view->title(), "Rendaro - [" + path + "]");
        f->prompts.takeTexts();
    }

    void addNewStringWithNothingShownMakesOneNewCatalogue()
    {
        QCOMPARE(f->view->currentCatalogueId(), -1);
        f->prompts.onDialog(start(kFixtures + "/resources32.dll", kFixtures + "/resource.h"));
        f->batchTools().OnAddNewString();
        QVERIFY(f->view->currentCatalogueId() >= 1);
        QStringList expected = kAdded;
        expected.sort();
        QCOMPARE(originals(), expected);
        QCOMPARE(f->grid->GetItemCount(), kAdded.size());
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [New*]"));
        int catalogues = 0;
        for (const CXMLStruct &catalogue : f->document.catalogues())
            catalogues += catalogue.catalogueId >= 1 ? 1 : 0;
        QCOMPARE(catalogues, 1);

        // A dialog left with Exit changes nothing.
        f->prompts.onDialog([](QDialog &dialog) {
            dialog.reject();
            return false;
        });
        f->batchTools().OnAddNewString();
        QCOMPARE(f->grid->GetItemCount(), kAdded.size());
        f->prompts.takeTexts();
    }

    void toolMenuCommandsAreAlwaysEnabled()
    {
        CommandActions &commands = f->commands;
        QVERIFY(commands.action(Command::AddNewString)->isEnabled());
        QVERIFY(commands.action(Command::GenerateZiv)->isEnabled());
        QString caption;
        f->prompts.onDialog([&caption](QDialog &dialog) {
            caption = dialog.windowTitle();
            return false;
        });
        commands.action(Command::AddNewString)->trigger();
        QCOMPARE(caption, QStringLiteral("ResParser"));
    }
};

RENDARO_GUI_TEST(ResParserTest)
#include "res_parser_test.moc"
