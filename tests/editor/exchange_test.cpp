// Export for Translation and Import Translations: XLIFF, PO or TMX by name
// or filter, translations checked as edits, one undo step, a summary naming
// what was refused.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor_fixture.h"
#include "exchange/tmx_reader.h"

#include <QTest>
#include <QUndoStack>

class ExchangeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString deu;

    QString exportTo(const QString &path, const QString &filter = QString())
    {
        f->prompts.chooseFile(path);
        if (!filter.isEmpty())
            f->prompts.chooseFilter(filter);
        f->exchange().OnExportForTranslation();
        const QStringList texts = f->prompts.takeTexts();
        return texts.value(0);
    }
    ShownMessage importFrom(const QString &path)
    {
        f->prompts.chooseFile(path);
        f->exchange().OnImportTranslations();
        return f->prompts.messages.value(f->prompts.messages.size() - 1);
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        writeBytes(f->path(name), bytes);
        return f->path(name);
    }
    static void writeBytes(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QRgb translationColour(const QString &original) const
    {
        return f->grid->rowModel()->backColour(f->rowOf(original), 1);
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("ViewResDEU.xml", {
            R"(<L from="Open" to="Open" key="IDS_OPEN"/>)",
            R"(<L from="Delete %s?" to="Delete %s?" key="IDS_DEL"/>)",
            R"(<L from="Hi" to="Hi" key="IDS_HI"/>)",
            R"(<L from="Two/nlines" to="Two/nlines" key="IDS_TWO"/>)",
            R"(<L from="Save" to="Sichern" key="IDS_SAVE"/>)",
            R"(<L from="Brand" to="Brand" IsTrans="false"/>)",
        });
        QVERIFY(f->open(deu));
        f->run(Command::HideTranslated);  // every row shown
    }
    void cleanup() { f.reset(); }

    void exportsXliffAndTakesTranslationsBackAsOneStep()
    {
        const QString xlf = f->path("out.xlf");
        QCOMPARE(exportTo(xlf), QStringLiteral("Strings exported for translation: 6, to %1.").arg(xlf));
        const FileDialogRequest &dialog = f->prompts.fileDialogs.last();
        QCOMPARE(dialog.filter, QStringLiteral("XLIFF Files (*.xlf *.xliff);;PO Files (*.po);;TMX 1.4b (*.tmx)"));
        QCOMPARE(dialog.startFolder, deu);
        QByteArray xliff = fileBytes(xlf);
        QVERIFY(xliff.contains(R"(<file original="ViewResDEU.xml" source-language="en" target-language="de")"));
        QCOMPARE(xliff.count("<trans-unit "), 6);

        // The translator fills in four units: one breaks a placeholder, one
        // is too long; and sends one the file never had.
        const auto translate = [&](const QByteArray &source, const QByteArray &target) {
            const QByteArray from = "<source>" + source + "</source>\n        <target state=\"needs-translation\"></target>";
            QVERIFY2(xliff.contains(from), source.constData());
            xliff.replace(from, "<source>" + source + "</source>\n        <target state=\"translated\">" + target + "</target>");
        };
        translate("Open", "Öffnen");
        translate("Delete %s?", "Löschen?");
        translate("Hi", "Hallo zusammen");
        translate("Two\nlines", "Zwei\nZeilen");
        xliff.replace("</body>", "<trans-unit id=\"99\"><source>Gone</source><target>Weg</target></trans-unit>\n</body>");
        const QString in = write("in.xlf", xliff);

        const ShownMessage summary = importFrom(in);
        QCOMPARE(summary.text,
                 QStringLiteral("Import finished: 3 changed, 2 unchanged, 1 refused, 1 unknown.\n"
                                "Kept although longer than the length limit (shown in red): 1."
                                "\n\nRefused (the file keeps its translation):\n"
                                "line 13: \"Delete %s?\" (IDS_DEL): Please put \"%s\" in String.\n\n"
                                "Not in the shown strings (not added):\nline 39: \"Gone\""));
        QCOMPARE(summary.icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompts.fileDialogs.last().filter,
                 QStringLiteral("Translation Files (*.xlf *.xliff *.po);;XLIFF Files (*.xlf *.xliff);;PO Files (*.po)"));
        QCOMPARE(f->prompts.progressLog,
                 QStringList({"[Import Translations]", "total 3", "show", "Reading " + in + "...",
                              "Checking the translations...", "Taking the translations...", "closed"}));

        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->storedTranslation("Two\\nlines"), QStringLiteral("Zwei\\nZeilen"));
        QCOMPARE(f->storedTranslation("Delete %s?"), QStringLiteral("Delete %s?"));
        QVERIFY(!f->document.HasEntry("Gone", f->view->currentCatalogueId()));
        QCOMPARE(f->grid->GetItemText(f->rowOf("Two\\nlines"), 1), QStringLiteral("Zwei\\nZeilen"));
        QCOMPARE(translationColour("Open"), kMarkedColour);
        QCOMPARE(translationColour("Hi"), kTooLongColour);
        QCOMPARE(translationColour("Delete %s?"), kUntranslatedColour);
        QVERIFY(f->view->isModified());
        QVERIFY(f->view->title().endsWith("*]"));

        // One undo step takes it all back.
        QCOMPARE(f->view->undoStack()->count(), 1);
        QCOMPARE(f->view->undoStack()->undoText(), QStringLiteral("Import Translations"));
        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QCOMPARE(f->storedTranslation("Hi"), QStringLiteral("Hi"));
        QVERIFY(!f->view->isModified());
        f->run(Command::EditRedo);
        QCOMPARE(f->storedTranslation("Hi"), QStringLiteral("Hallo zusammen"));

        // Saved (the long one confirmed), the file holds them.
        f->prompts.answer(PromptAnswer::Yes);
        f->run(Command::FileSave);
        QVERIFY(fileBytes(deu).contains(R"(from="Two/nlines" to="Zwei/nZeilen")"));
    }

    void poByNameOrByTheChosenFilter()
    {
        QCOMPARE(exportTo(f->path("a.po")), QStringLiteral("Strings exported for translation: 5, to %1.").arg(f->path("a.po")));
        QVERIFY(fileBytes(f->path("a.po")).contains("msgctxt \"IDS_OPEN\"\nmsgid \"Open\"\nmsgstr \"\"\n"));
        // A name without a known suffix goes by the filter chosen.
        exportTo(f->path("plain"), "PO Files (*.po)");
        QVERIFY(fileBytes(f->path("plain")).contains("msgid \"Open\""));
        exportTo(f->path("other"), "XLIFF Files (*.xlf *.xliff)");
        QVERIFY(fileBytes(f->path("other")).contains("<xliff version=\"1.2\""));
        QVERIFY(f->prompts.scriptUsed());

        QByteArray po = fileBytes(f->path("a.po"));
        po.replace("msgid \"Open\"\nmsgstr \"\"", "msgid \"Open\"\nmsgstr \"Öffnen\"");
        const ShownMessage summary = importFrom(write("back.po", po));
        QCOMPARE(summary.text, QStringLiteral("Import finished: 1 changed, 4 unchanged, 0 refused, 0 unknown."));
        QCOMPARE(summary.icon, PromptIcon::Information);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
    }

    void tmxByNameOrFilterReadsBackWithItsUnits()
    {
        QString status;
        QObject::connect(f->view, &CRendaroView::statusMessage, f->view, [&](const QString &text) { status = text; });
        f->editTranslation(f->rowOf("Two\\nlines"), "Zwei\\nZeilen");
        f->editTranslation(f->rowOf("Delete %s?"), "%s löschen?");
        const QString tmx = f->path("memory.tmx");
        QCOMPARE(exportTo(tmx), QString());  // no message box: the status says it
        QCOMPARE(status, QStringLiteral("Translation units written: 3, to %1.").arg(tmx));

        struct Unit {
            QString tuid, file, source, language, target;
        };
        std::vector<Unit> units;
        const TmxReadResult read = ReadTmxFile(tmx, [&](const TmxUnit &unit) {
            Unit copy{unit.tuid, unit.file, {}, {}, {}};
            if (unit.variants.size() == 2) {
                copy.source = unit.variants[0].language + u'|' + unit.variants[0].text;
                copy.language = unit.variants[1].language;
                copy.target = unit.variants[1].text;
            }
            units.push_back(copy);
            return true;
        });
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.sourceLanguage, QStringLiteral("en-US"));
        // In file order: the translated, translatable strings only.
        QCOMPARE(units.size(), size_t(3));
        QCOMPARE(units[0].tuid, QStringLiteral("IDS_DEL"));
        QCOMPARE(units[0].source, QStringLiteral("en-US|Delete %s?"));
        QCOMPARE(units[0].target, QStringLiteral("%s löschen?"));
        QCOMPARE(units[1].tuid, QStringLiteral("IDS_TWO"));
        QCOMPARE(units[1].target, QStringLiteral("Zwei\\nZeilen"));  // the escape as text
        QCOMPARE(units[2].tuid, QStringLiteral("IDS_SAVE"));
        QCOMPARE(units[2].file, QStringLiteral("ViewResDEU.xml"));
        QCOMPARE(units[2].language, QStringLiteral("de"));
        QCOMPARE(units[2].target, QStringLiteral("Sichern"));

        // A name of no known kind goes by the filter.
        exportTo(f->path("memory.out"), "TMX 1.4b (*.tmx)");
        QVERIFY(fileBytes(f->path("memory.out")).contains("<tmx version=\"1.4\">"));
        QVERIFY(f->prompts.scriptUsed());

        // A file whose name names no language gives no TMX.
        const QString plain = f->writeLanguageFile("strings.xml", {R"(<L from="Open" to="Auf"/>)"});
        f->prompts.answer(PromptAnswer::Yes);  // save the changes first
        f->prompts.answer(PromptAnswer::Yes);  // close the shown file
        QVERIFY(f->open(plain));
        f->prompts.messages.clear();
        status.clear();
        const QString refused = f->path("none.tmx");
        QVERIFY(exportTo(refused).contains("the name of strings.xml names no language"));
        QVERIFY(!QFile::exists(refused));
        QVERIFY(status.isEmpty());
    }

    void aFileThatCannotBeReadChangesNothing()
    {
        const QString broken = write("broken.po", "msgid \"Open\"\nmsgstr \"Öffnen\"\nmsgid \"x\"\n");
        const ShownMessage shown = importFrom(broken);
        QCOMPARE(shown.text, QStringLiteral("Can not read %1:\nline 3: the message has no msgstr\n\n"
                                            "Nothing was changed.").arg(broken));
        QCOMPARE(shown.icon, PromptIcon::Stop);
        const QString french = write("fr.xlf", "<xliff version=\"1.2\"><file original=\"x\" target-language=\"fr\">"
                                               "<body><trans-unit id=\"1\"><source>Open</source><target>Ouvrir</target>"
                                               "</trans-unit></body></file></xliff>");
        QCOMPARE(importFrom(french).text,
                 QStringLiteral("%1 holds translations into fr, but the shown strings are in de.\n\nNothing was changed.")
                     .arg(french));
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->view->undoStack()->count(), 0);
    }

    void languageFolderExportsAFileEachAndImportsIntoTheGrid()
    {
        QDir().mkpath(f->path("lang/DEU"));
        f->writeLanguageFile("lang/DEU/ViewResDEU.xml", {R"(<L from="Open" to="Open" key="A"/>)"});
        f->writeLanguageFile("lang/DEU/BackResDEU.xml", {R"(<L from="Open" to="Open" key="B"/>)",
                                                         R"(<L from="Back" to="Back" key="C"/>)"});
        f->openFolder(f->path("lang/DEU"));
        QCOMPARE(f->view->currentCatalogueId(), 0);
        f->prompts.messages.clear();
        f->editTranslation(f->rowOf("Open"), "Öffnen");  // in the master until Save

        const QString xlf = f->path("folder.xlf");
        QCOMPARE(exportTo(xlf), QStringLiteral("Strings exported for translation: 3, to %1.").arg(xlf));
        QCOMPARE(f->prompts.fileDialogs.last().startFolder, f->path("lang/DEU"));
        const QByteArray xliff = fileBytes(xlf);
        QCOMPARE(xliff.count("<file "), 2);
        QVERIFY(xliff.contains("<file original=\"BackResDEU.xml\""));
        QCOMPARE(xliff.count("<target state=\"translated\">Öffnen</target>"), 2);

        QByteArray back = xliff;
        back.replace("<source>Back</source>\n        <target state=\"needs-translation\"></target>",
                     "<source>Back</source>\n        <target state=\"translated\">Zurück</target>");
        QCOMPARE(importFrom(write("back.xlf", back)).text,
                 QStringLiteral("Import finished: 1 changed, 2 unchanged, 0 refused, 0 unknown."));
        QCOMPARE(f->storedTranslation("Back"), QStringLiteral("Zurück"));
        QCOMPARE(f->grid->GetItemText(f->rowOf("Back"), 1), QStringLiteral("Zurück"));
    }

    void commandsAreInTheFileMenu()
    {
        CommandActions &commands = f->commands;
        QCOMPARE(commands.action(Command::ExportForTranslation)->text(), QStringLiteral("Export for Translation..."));
        QCOMPARE(commands.action(Command::ImportTranslations)->text(), QStringLiteral("Import Translations..."));
        QVERIFY(commands.action(Command::ExportForTranslation)->isEnabled());
        f->prompts.answer(PromptAnswer::Yes);
        f->run(Command::FileNew);
        emit commands.aboutToShowMenu();
        QVERIFY(!commands.action(Command::ImportTranslations)->isEnabled());
    }
};

RENDARO_GUI_TEST(ExchangeTest)
#include "exchange_test.moc"
