// Find and Replace: only translations change, each replacement is checked
// as an edit is, a refused one is named, Replace All is one undo step and
// covers the rows the filter hides.

#include "gui_test_registry.h"
#include "editor/core/command_actions.h"
#include "editor/search/find_replace_dlg.h"
#include "editor_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

class FindReplaceTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString deu;

    // Runs the dialog: fills it in, presses the buttons named ("replace",
    // "all") in order, then closes it.
    void runReplace(const QString &find, const QString &replacement, bool matchCase, const QStringList &presses)
    {
        f->prompts.onDialog([=](QDialog &dialog) {
            auto &replace = static_cast<CFindReplaceDlg &>(dialog);
            replace.findEdit()->setText(find);
            replace.replaceEdit()->setText(replacement);
            replace.matchCaseBox()->setChecked(matchCase);
            for (const QString &press : presses)
                (press == "all" ? replace.replaceAllButton() : replace.replaceButton())->click();
            return false;
        });
        f->search().OnFindReplace();
        QVERIFY(f->prompts.scriptUsed());
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("DEU.xml", {
            R"(<L from="Hello %s" to="Hallo %s"/>)",      // translated: hidden by the filter
            R"(<L from="Count %d" to="Anzahl %s"/>)",     // a wrong placeholder, mended
            R"(<L from="Name %d" to="Name %s"/>)",
            R"(<L from="Size %s" to="Size %s" IsTrans="false"/>)",
            R"(<L from="Width %s" to="Width %s"/>)",       // untranslated: shown
        });
        QVERIFY(f->open(deu));
    }
    void cleanup() { f.reset(); }

    void replaceAllChecksEachAndIsOneUndoStep()
    {
        runReplace("%s", "%d", false, {"all"});
        const QStringList texts = f->prompts.takeTexts();
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts[0], QStringLiteral("2 replaced, 2 refused:\n\"Hello %s\" (Please put \"%s\" in String.)\n"
                                          "\"Width %s\" (Please put \"%s\" in String.)"));
        QCOMPARE(f->storedTranslation("Count %d"), QStringLiteral("Anzahl %d"));
        QCOMPARE(f->storedTranslation("Name %d"), QStringLiteral("Name %d"));
        QCOMPARE(f->storedTranslation("Hello %s"), QStringLiteral("Hallo %s"));  // refused: unchanged
        QCOMPARE(f->storedTranslation("Size %s"), QStringLiteral("Size %s"));    // not to be translated
        QCOMPARE(f->storedTranslation("Width %s"), QStringLiteral("Width %s"));
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1*]").arg(deu));

        QCOMPARE(f->view->undoStack()->count(), 1);
        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Count %d"), QStringLiteral("Anzahl %s"));
        QCOMPARE(f->storedTranslation("Name %d"), QStringLiteral("Name %s"));
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1]").arg(deu));
    }

    void originalsAndCaseAreRespected()
    {
        // "Width" is in the original and the translation: only the
        // translation changes. Match Case finds nothing in lower case.
        runReplace("width", "Breite", true, {"all"});
        QCOMPARE(f->prompts.takeTexts(), QStringList({"0 replaced"}));
        runReplace("width", "Breite", false, {"all"});
        QCOMPARE(f->prompts.takeTexts(), QStringList({"1 replaced"}));
        QCOMPARE(f->storedTranslation("Width %s"), QStringLiteral("Breite %s"));
        const int row = f->rowOf("Width %s");
        QVERIFY(row >= 0);
        QCOMPARE(f->grid->GetItemText(row, 1), QStringLiteral("Breite %s"));
        QCOMPARE(f->grid->rowModel()->backColour(row, 1), kMarkedColour);
    }

    // Replace works on the shown rows from the selection, selecting each row
    // it reaches; a refused one is said at once and left.
    void replaceGoesRowByRowAndWraps()
    {
        f->run(Command::HideTranslated);  // every row shown: Count, Hello, Name, Size, Width
        f->grid->SelectOnly(f->rowOf("Name %d"));
        runReplace("%s", "%d", true, {"replace", "replace", "replace", "replace"});
        // Name (the selection), Width (refused), round to Count, Hello (refused).
        QCOMPARE(f->prompts.takeTexts(), QStringList({"\"Width %s\" was not replaced: Please put \"%s\" in String.",
                                                      "\"Hello %s\" was not replaced: Please put \"%s\" in String."}));
        QCOMPARE(f->grid->FirstSelectedRow(), f->rowOf("Hello %s"));
        QCOMPARE(f->storedTranslation("Name %d"), QStringLiteral("Name %d"));
        QCOMPARE(f->storedTranslation("Count %d"), QStringLiteral("Anzahl %d"));
        QCOMPARE(f->view->undoStack()->count(), 2);  // one step per replacement
        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Count %d"), QStringLiteral("Anzahl %s"));
        QCOMPARE(f->storedTranslation("Name %d"), QStringLiteral("Name %d"));
    }

    void nothingFoundIsSaid()
    {
        runReplace("Zebra", "Pferd", false, {"replace"});
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Cannot find \"Zebra\"."}));
        QVERIFY(!f->view->undoStack()->canUndo());
    }

    // In a language folder the master catalogue is shown and edited: Replace
    // All changes it, and Save writes the new translations to every file
    // holding the original.
    void replaceAllInALanguageFolderReachesEveryFile()
    {
        const QString a = f->writeLanguageFile("A.xml", {R"(<L from="File" to="Datei"/>)"});
        const QString b = f->writeLanguageFile(
            "B.xml", {R"(<L from="File" to="Datei"/>)", R"(<L from="Files" to="Datei-Liste"/>)"});
        const QString folder = f->path("");
        f->view->ShowLanguageFolder(folder, {a, b});
        runReplace("Datei", "Akte", true, {"all"});
        QCOMPARE(f->prompts.takeTexts(), QStringList({"2 replaced"}));
        QVERIFY(f->view->title().contains("GLOBAL*["));
        f->run(Command::EditUndo);
        QVERIFY(f->view->title().contains("GLOBAL["));
        f->run(Command::EditRedo);
        f->run(Command::FileSave);
        QVERIFY(fileBytes(a).contains(R"(<L from="File" to="Akte"/>)"));
        QVERIFY(fileBytes(b).contains(R"(<L from="File" to="Akte"/>)"));
        QVERIFY(fileBytes(b).contains(R"(<L from="Files" to="Akte-Liste"/>)"));
    }

    void commandIsInTheEditMenuWithCtrlH()
    {
        CommandActions &commands = f->commands;
        QAction *replace = commands.action(Command::FindReplace);
        QVERIFY(replace->isEnabled());
        QCOMPARE(replace->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        CFindReplaceDlg dialog;
        QVERIFY(!dialog.replaceAllButton()->isEnabled());  // nothing to find yet
        dialog.findEdit()->setText("x");
        QVERIFY(dialog.replaceAllButton()->isEnabled());
    }
};

RENDARO_GUI_TEST(FindReplaceTest)
#include "find_replace_test.moc"
