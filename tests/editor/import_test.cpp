// Import String From: translations of another file taken into the rows.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor_fixture.h"

#include <QTest>

class ImportTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString source;

    void openShown()
    {
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", {
            R"(<L from="Open" to="Open"/>)",
            R"(<L from="Save" to="Sichern"/>)",
            R"(<L from="Exit" to="Exit" IsTrans="false"/>)",
            R"(<L from="Close" to="Close"/>)",
            R"(<L from="Help" to="Help"/>)",
            R"(<L from="Print" to="Drucken"/>)",
            R"(<L from="Find" to="Find"/>)",
            R"(<L from="Long" to="Long"/>)",
        })));
    }
    // Imports from `path`, answering the replace question with `replace`.
    void importFrom(const QString &path, PromptAnswer replace)
    {
        f->prompts.chooseFile(path);
        f->prompts.answer(replace);
        f->importStrings().OnImportString();
        QVERIFY(f->prompts.scriptUsed());
    }
    QString shown(const QString &original) const { return f->grid->GetItemText(f->rowOf(original), 1); }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        source = f->writeLanguageFile("OTHER.xml", {
            R"(<L from="Open" to="Öffnen"/>)",
            R"(<L from="Save" to="Speichern"/>)",
            R"(<L from="Exit" to="Beenden"/>)",
            R"(<L from="Help" to="Help"/>)",
            R"(<L from="Print" to="Print"/>)",   // untranslated there
            R"(<L from="Find"/>)",               // no translation: reads as its original
            R"(<L from="Long" to="Langlanglang"/>)",
        });
    }
    void cleanup() { f.reset(); }

    void noKeepsTranslatedRowsAndFillsTheOthers()
    {
        openShown();
        f->run(Command::HideTranslated);  // every row shown
        importFrom(source, PromptAnswer::No);
        QCOMPARE(f->prompts.fileDialogs[0].startFolder, f->path("DEU.xml"));
        QCOMPARE(f->prompts.fileDialogs[0].filter, QStringLiteral("XML Files (*.xml)"));
        const QList<ShownMessage> &messages = f->prompts.messages;
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].text, QStringLiteral("Do you want to replace previous translated one?"));
        QCOMPARE(messages[0].icon, PromptIcon::Question);
        QCOMPARE(messages[1].text, QStringLiteral("2 strings have been substitute."));
        QCOMPARE(messages[1].icon, PromptIcon::Information);

        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->storedTranslation("Long"), QStringLiteral("Langlanglang"));
        QCOMPARE(f->storedTranslation("Save"), QStringLiteral("Sichern"));
        QCOMPARE(f->storedTranslation("Exit"), QStringLiteral("Exit"));
        QCOMPARE(f->storedTranslatable("Exit"), 0);
        QCOMPARE(f->storedTranslation("Find"), QStringLiteral("Find"));
        QCOMPARE(shown("Open"), QStringLiteral("Öffnen"));
        const ReportRowModel &rows = *f->grid->rowModel();
        QCOMPARE(rows.backColour(f->rowOf("Open"), 1), kMarkedColour);
        QCOMPARE(rows.backColour(f->rowOf("Long"), 1), kTooLongColour);  // 12 > 4 x 2
        QCOMPARE(rows.backColour(f->rowOf("Help"), 1), kUntranslatedColour);
        QVERIFY(f->view->isModified());
        QVERIFY(f->view->title().endsWith("*]"));
        // The source file is closed again.
        QCOMPARE(f->document.catalogues().size(), size_t(2));
    }

    void yesReplacesButNeverWithTheEnglishText()
    {
        openShown();
        f->run(Command::HideTranslated);
        importFrom(source, PromptAnswer::Yes);
        QCOMPARE(f->prompts.messages.last().text, QStringLiteral("3 strings have been substitute."));
        QCOMPARE(f->storedTranslation("Save"), QStringLiteral("Speichern"));
        // The source's "Print" is untranslated: the row keeps its translation.
        QCOMPARE(f->storedTranslation("Print"), QStringLiteral("Drucken"));
        QCOMPARE(shown("Print"), QStringLiteral("Drucken"));
        // A ticked row is never replaced.
        QCOMPARE(f->storedTranslation("Exit"), QStringLiteral("Exit"));
        QCOMPARE(shown("Exit"), QStringLiteral("Exit"));
    }

    void hiddenRowsAreNotTouched()
    {
        openShown();  // translated rows hidden
        importFrom(source, PromptAnswer::Yes);
        QCOMPARE(f->prompts.messages.last().text, QStringLiteral("2 strings have been substitute."));
        QCOMPARE(f->storedTranslation("Save"), QStringLiteral("Sichern"));
    }

    void theShownFileItselfGivesNothing()
    {
        openShown();
        importFrom(f->path("DEU.xml"), PromptAnswer::Yes);
        QCOMPARE(f->prompts.messages.last().text, QStringLiteral("Import finished"));
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->document.catalogues().size(), size_t(2));
    }

    void unreadableFileOrCancel()
    {
        openShown();
        f->prompts.chooseFile(f->path("missing.xml"));
        f->importStrings().OnImportString();  // no question follows
        QCOMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith("Can't open file.\n\n"));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        QCOMPARE(f->document.catalogues().size(), size_t(2));
        f->prompts.messages.clear();
        f->prompts.chooseFile(QString());
        f->importStrings().OnImportString();
        QVERIFY(f->prompts.messages.isEmpty());
        QVERIFY(!f->view->isModified());
    }

    void rowsShowingReferenceTextsAreMatchedByTheirOriginals()
    {
        openShown();
        f->showReference("Open", "Ouvrir");
        const int row = f->rowOf("Ouvrir");
        QVERIFY(row >= 0);
        importFrom(source, PromptAnswer::No);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->grid->GetItemText(row, 1), QStringLiteral("Öffnen"));
    }
};

RENDARO_GUI_TEST(ImportTest)
#include "import_test.moc"
