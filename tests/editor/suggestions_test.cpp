// The Suggestions pane: it follows the selected row (score, translation,
// the memory's original with the differing words marked, the file; the
// accessible names), Ctrl+1 ... Ctrl+5 and a double-click put a suggestion
// in as an edit would (one undo step, yellow; the edit's message when a
// check refuses it; into the editor while one is open), Tool > Translation
// Memory keeps its files in the settings and names unreadable ones, and a
// language folder's files are part of the memory.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor/memory/tm_settings_dlg.h"
#include "memory_fixture.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

class SuggestionsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MemoryFixture> m;
    EditorFixture &f() const { return m->f; }

private slots:
    void cleanup()
    {
        if (m)
            QVERIFY(m->f.prompts.scriptUsed());
        m.reset();
    }

    void paneFollowsTheSelectedRow()
    {
        m = std::make_unique<MemoryFixture>();
        QVERIFY(f().open(m->shown));
        QCOMPARE(m->dock.objectName(), QStringLiteral("SuggestionsDock"));
        QCOMPARE(m->dock.noteLabel()->text(), QStringLiteral("Select a string to see its suggestions."));

        m->select("Delete %s file?");
        // The identical original's two translations (one file each: in file
        // order), then the near one.
        QCOMPARE(m->shownTranslations(),
                 QStringList({"%s Datei löschen?", "%s Datei entfernen?", "%s Dateien löschen?"}));
        QListWidget *list = m->dock.list();
        QCOMPARE(list->item(0)->data(CSuggestionsDock::ScoreRole).toInt(), 100);
        QCOMPARE(list->item(0)->data(CSuggestionsDock::FileRole).toString(), QStringLiteral("DEU_TM.xml"));
        QCOMPARE(list->item(1)->data(CSuggestionsDock::FileRole).toString(), QStringLiteral("DEU2.xml"));
        QVERIFY(list->item(0)->toolTip().contains("Keys: IDS_DELETE"));
        const int nearScore = list->item(2)->data(CSuggestionsDock::ScoreRole).toInt();
        QVERIFY(nearScore >= 85 && nearScore < 100);
        QCOMPARE(list->item(2)->data(CSuggestionsDock::OriginalRole).toString(), QStringLiteral("Delete %s files?"));
        QCOMPARE(list->item(2)->data(CSuggestionsDock::DifferencesRole).toList(), QVariantList{QPoint(10, 5)});
        QCOMPARE(list->item(0)->data(CSuggestionsDock::DifferencesRole).toList(), QVariantList());
        QCOMPARE(list->item(0)->data(CSuggestionsDock::ProblemRole).toString(), QString());
        QCOMPARE(m->dock.noteLabel()->text(), QStringLiteral("3 suggestions (Ctrl+1 ... Ctrl+3 put one in):"));

        // Screen readers read "score%: translation" for each.
        QAccessibleInterface *pane = QAccessible::queryAccessibleInterface(list);
        QVERIFY(pane);
        QStringList names;
        for (int i = 0; i < pane->childCount(); ++i)
            names << pane->child(i)->text(QAccessible::Name);
        QCOMPARE(names, QStringList({"100%: %s Datei löschen?", "100%: %s Datei entfernen?",
                                     QStringLiteral("%1%: %s Dateien löschen?").arg(nearScore)}));

        m->select("Nothing alike here");
        QCOMPARE(list->count(), 0);
        QCOMPARE(m->dock.noteLabel()->text(), QStringLiteral("No suggestions for this string."));
        m->select("Open the file");
        QCOMPARE(m->shownTranslations(), QStringList{"Datei öffnen"});
        // Closing the file empties the pane.
        f().prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        f().run(Command::FileNew);
        QCOMPARE(list->count(), 0);
    }

    void ctrlNumberPutsASuggestionInAsOneUndoStep()
    {
        m = std::make_unique<MemoryFixture>();
        QVERIFY(f().open(m->shown));
        m->select("Delete %s file?");
        QTest::keyClick(f().grid, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(f().storedTranslation("Delete %s file?"), QStringLiteral("%s Datei entfernen?"));
        const int row = f().rowOf("Delete %s file?");
        QCOMPARE(f().grid->GetItemText(row, 1), QStringLiteral("%s Datei entfernen?"));
        QCOMPARE(f().grid->rowModel()->backColour(row, 1), kMarkedColour);
        QCOMPARE(m->stack().count(), 1);
        QCOMPARE(m->stack().undoText(), QStringLiteral("Use Suggestion"));
        QVERIFY(f().view->isModified());

        // A double-click in the pane does the same; each is one step.
        QListWidget *list = m->dock.list();
        const QPoint first = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
        QCOMPARE(f().storedTranslation("Delete %s file?"), QStringLiteral("%s Datei löschen?"));
        QCOMPARE(m->stack().count(), 2);
        // Enter on an item too.
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(f().storedTranslation("Delete %s file?"), QStringLiteral("%s Dateien löschen?"));
        QCOMPARE(m->stack().count(), 3);
        f().run(Command::EditUndo);
        f().run(Command::EditUndo);
        QCOMPARE(f().storedTranslation("Delete %s file?"), QStringLiteral("%s Datei entfernen?"));
        f().run(Command::EditUndo);
        QCOMPARE(f().storedTranslation("Delete %s file?"), QStringLiteral("Delete %s file?"));
        QCOMPARE(f().grid->GetItemText(row, 1), QStringLiteral("Delete %s file?"));
        QVERIFY(!f().view->isModified());

        // No fourth suggestion: nothing happens.
        QTest::keyClick(f().grid, Qt::Key_4, Qt::ControlModifier);
        QCOMPARE(m->stack().index(), 0);
        QVERIFY(f().prompts.messages.isEmpty());
    }

    void aSuggestionFailingACheckIsRefusedWithTheEditsMessage()
    {
        m = std::make_unique<MemoryFixture>();
        QVERIFY(f().open(m->shown));
        m->select("Copy %s");
        QCOMPARE(m->shownTranslations(), QStringList{"%d kopieren"});
        // The pane says so before it is tried.
        QCOMPARE(m->dock.list()->item(0)->data(CSuggestionsDock::ProblemRole).toString(),
                 formatMessage(MsgPutPlaceholder, "%s"));
        QTest::keyClick(f().grid, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(f().prompts.messages.size(), 1);
        QCOMPARE(f().prompts.messages[0].text, formatMessage(MsgPutPlaceholder, "%s"));
        QCOMPARE(f().prompts.messages[0].icon, PromptIcon::Stop);
        QCOMPARE(f().storedTranslation("Copy %s"), QStringLiteral("Copy %s"));
        QCOMPARE(m->stack().count(), 0);
        QVERIFY(!f().view->isModified());
        // The arrow keys still move on: no edit is held open.
        QVERIFY(f().view->lastEditValid());
    }

    void whileEditingTheSuggestionGoesIntoTheEditor()
    {
        m = std::make_unique<MemoryFixture>();
        QVERIFY(f().open(m->shown));
        m->select("Open the file");
        QVERIFY(f().grid->StartEdit(1, f().rowOf("Open the file")));
        f().grid->editor()->setText("Dat");
        QTest::keyClick(f().grid->editor(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(f().grid->editor()->text(), QStringLiteral("Datei öffnen"));
        QCOMPARE(f().storedTranslation("Open the file"), QStringLiteral("Open the file"));
        f().grid->editor()->undo();  // the editor's own undo takes it back
        QCOMPARE(f().grid->editor()->text(), QStringLiteral("Dat"));
        f().grid->editor()->redo();
        QTest::keyClick(f().grid->editor(), Qt::Key_Return);
        QCOMPARE(f().storedTranslation("Open the file"), QStringLiteral("Datei öffnen"));
        QCOMPARE(m->stack().undoText(), QStringLiteral("Edit"));
    }

    void translationMemoryDialogKeepsItsPathsAndNamesUnreadableOnes()
    {
        m = std::make_unique<MemoryFixture>(false);
        QVERIFY(f().open(m->shown));
        QVERIFY(m->dock.noteLabel()->text().startsWith("No translation memory"));
        const QString missing = f().path("nowhere");
        f().prompts.chooseFile(m->memoryFile);  // Add File...
        f().prompts.chooseFile(missing);        // Add Folder...
        f().prompts.onDialog([&](QDialog &dialog) {
            auto &settings = static_cast<CTmSettingsDlg &>(dialog);
            [&] { QCOMPARE(settings.scoreBox()->value(), CEditorMemory::kDefaultMinimumScore); }();
            settings.addFileButton()->click();
            settings.addFolderButton()->click();
            settings.scoreBox()->setValue(95);
            dialog.accept();
            return true;
        });
        f().memory().OnTranslationMemory();
        QCOMPARE(m->settings.value("TranslationMemory/Paths").toStringList(), QStringList({m->memoryFile, missing}));
        QCOMPARE(m->settings.value("TranslationMemory/MinimumScore").toInt(), 95);
        QVERIFY(m->waitForMemory());
        QCOMPARE(f().prompts.messages.size(), 1);
        QCOMPARE(f().prompts.messages[0].text,
                 messageText(MsgCannotOpen) + "\n\n" + missing + " (No such file or directory)");
        QVERIFY(m->dock.noteLabel()->text().contains("Could not read: " + missing));
        // Only DEU_TM.xml, and only scores of 95 and more.
        m->select("Delete %s file?");
        QCOMPARE(m->shownTranslations(), QStringList{"%s Datei löschen?"});

        // Cancel keeps everything.
        f().prompts.onDialog([](QDialog &) { return false; });
        f().memory().OnTranslationMemory();
        QCOMPARE(m->memory().paths(), QStringList({m->memoryFile, missing}));
        QVERIFY(!m->memory().isBuilding());
    }

    void aTmxFileGivesTheShownLanguagesUnitsAndSaysWhatItLeftOut()
    {
        m = std::make_unique<MemoryFixture>(false);
        // Three units (languages in any case), one without German, then a
        // fault on line 11.
        const QString tmx = f().path("TM/agency.tmx");
        QFile file(tmx);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?>\n<tmx version=\"1.4\"><header srclang=\"en-US\"/><body>\n"
                   "<tu><tuv xml:lang=\"EN-us\"><seg>Delete <ph>%s</ph> file?</seg></tuv>\n"
                   "<tuv xml:lang=\"DE-de\"><seg><ph>%s</ph> Datei weg?</seg></tuv>\n"
                   "<tuv xml:lang=\"fr-FR\"><seg>Supprimer <ph>%s</ph> ?</seg></tuv></tu>\n"
                   "<tu><tuv xml:lang=\"en-US\"><seg>Open the file</seg></tuv>\n"
                   "<tuv xml:lang=\"fr-FR\"><seg>Ouvrir le fichier</seg></tuv></tu>\n"
                   "<tu><tuv xml:lang=\"en-US\"><seg>Copy %s</seg></tuv>\n"
                   "<tuv xml:lang=\"de\"><seg>%s kopieren</seg></tuv></tu>\n"
                   "<tu><tuv xml:lang=\"en-US\"><seg>Save</seg></tuv>\n"
                   "<tuv xml:lang=\"de\"><seg>Sichern</seg></tux></tu>\n");
        file.close();
        QVERIFY(f().open(m->shown));  // DEU.xml: German
        f().prompts.chooseFile(tmx);
        f().prompts.onDialog([&](QDialog &dialog) {
            static_cast<CTmSettingsDlg &>(dialog).addFileButton()->click();
            dialog.accept();
            return true;
        });
        f().memory().OnTranslationMemory();
        QVERIFY(f().prompts.fileDialogs.last().filter.contains("(*.xml *.tmx)"));
        QVERIFY(m->waitForMemory());
        QCOMPARE(m->memory().language(), QStringLiteral("de"));
        QCOMPARE(f().prompts.messages.size(), 1);
        const QString told = f().prompts.messages[0].text;
        QVERIFY2(told.startsWith(messageText(MsgCannotOpen) + "\n\n" + tmx + " (line 11: "), qPrintable(told));
        QVERIFY2(told.contains("the 3 units before it are used"), qPrintable(told));
        QVERIFY2(told.endsWith("Read in part:\n" + tmx + " (1 of 3 units were left out: they hold no English text, "
                               "no text in de, or no translation)"),
                 qPrintable(told));

        m->select("Delete %s file?");
        QCOMPARE(m->shownTranslations(), QStringList{"%s Datei weg?"});
        m->select("Copy %s");
        QCOMPARE(m->shownTranslations(), QStringList{"%s kopieren"});

        // A French file takes the French units.
        const QString french = f().writeLanguageFile("FRA.xml", {R"(<L from="Open the file" to="Open the file"/>)"});
        f().prompts.answer(PromptAnswer::Yes);  // close the shown file
        QVERIFY(f().open(french));
        QCOMPARE(m->memory().language(), QStringLiteral("fr"));
        QVERIFY(m->waitForMemory());
        m->select("Open the file");
        QCOMPARE(m->shownTranslations(), QStringList{"Ouvrir le fichier"});
    }

    void aLanguageFoldersFilesArePartOfTheMemory()
    {
        m = std::make_unique<MemoryFixture>(false);
        QDir(f().path("")).mkpath("lang");
        const QString a = f().writeLanguageFile("lang/A.xml", {R"(<L from="Close the file" to="Datei schließen"/>)"});
        const QString b = f().writeLanguageFile("lang/B.xml", {R"(<L from="Close the files" to="Close the files"/>)"});
        f().openFolder(f().path("lang"));
        QCOMPARE(m->memory().folderFiles(), QStringList({a, b}));
        QVERIFY(m->waitForMemory());
        m->select("Close the files");
        QCOMPARE(m->shownTranslations(), QStringList{"Datei schließen"});

        // Saved, the folder's files are read again: the new translation is in.
        QTest::keyClick(f().grid, Qt::Key_1, Qt::ControlModifier);
        f().run(Command::FileSave);
        QVERIFY(m->memory().isBuilding());
        QVERIFY(m->waitForMemory());
        QCOMPARE(m->memory().memory()->lookup("Close the files", 100, 5).size(), size_t(1));

        // Another file shown: the folder's files leave the memory.
        f().prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        QVERIFY(f().open(m->shown));
        QVERIFY(m->memory().folderFiles().isEmpty());
        QVERIFY(m->waitForMemory());
        QVERIFY(!m->memory().memory());
    }
};

RENDARO_GUI_TEST(SuggestionsTest)
#include "suggestions_test.moc"
