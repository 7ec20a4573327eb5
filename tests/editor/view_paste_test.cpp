// Cut, Copy and Paste in the view.

#include "gui_test_registry.h"
#include "editor_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

class ViewPasteTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;

    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < f->grid->GetItemCount(); ++row)
            texts << f->grid->GetItemText(row, 0) + " | " + f->grid->GetItemText(row, 1);
        return texts;
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", {R"(<L from="Shown"/>)", R"(<L from="Done" to="Fertig"/>)"})));
    }
    void cleanup() { f.reset(); }

    void twoLinesAppendedOnceEvenWhenPastedTwice()
    {
        const QString text = "a\tb\r\nc\td\r\n";
        f->view->PasteText(text);
        QCOMPARE(rows(), QStringList({"Shown | Shown", "a | b", "c | d"}));
        QCOMPARE(f->storedTranslation("a"), QStringLiteral("b"));
        QCOMPARE(f->storedTranslation("c"), QStringLiteral("d"));
        QVERIFY(f->view->isModified());
        f->view->PasteText(text);
        QCOMPARE(rows().size(), 3);
    }

    void lastTabSplitsAndLinesStandAlone()
    {
        // Line feeds alone end lines too; a line with an empty translation
        // adds nothing and does not carry its original into the next line.
        f->view->PasteText("x\ty\tz\nlonely\t\nsolo");
        QCOMPARE(rows(), QStringList({"Shown | Shown", "x\ty | z", "solo | solo"}));
        QCOMPARE(f->storedTranslation("x\ty"), QStringLiteral("z"));
        QCOMPARE(f->storedTranslation("lonely"), QString());
    }

    void originalHiddenByTheFilterIsLeftAlone()
    {
        // "Done" is in the catalogue but hidden: it keeps its translation
        // and no row claims another one.
        f->view->PasteText("Done\tErledigt");
        QCOMPARE(rows(), QStringList({"Shown | Shown"}));
        QCOMPARE(f->storedTranslation("Done"), QStringLiteral("Fertig"));
        QVERIFY(!f->view->isModified());
    }

    void clipboardTextKeepsItsCharacters()
    {
        QApplication::clipboard()->setText(QStringLiteral("Größe\tTaille ≥ 5 €"));
        f->run(Command::EditPaste);
        QCOMPARE(f->storedTranslation(QStringLiteral("Größe")), QStringLiteral("Taille ≥ 5 €"));
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1*]").arg(f->path("DEU.xml")));
    }

    void pasteAfterNewCreatesTheCatalogue()
    {
        f->prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        f->run(Command::FileNew);
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Are you sure to close current file?"}));
        QCOMPARE(f->view->currentCatalogueId(), -1);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [New]"));
        f->view->PasteText("One\tEins");
        QVERIFY(f->view->currentCatalogueId() > 0);
        QCOMPARE(f->storedTranslation("One"), QStringLiteral("Eins"));
        QCOMPARE(rows(), QStringList({"One | Eins"}));
    }

    void editCommandsGoToTheOpenEditor()
    {
        QApplication::clipboard()->setText("clip");
        QVERIFY(f->grid->StartEdit(1, 0));
        QLineEdit *editor = f->grid->editor();
        editor->selectAll();
        f->run(Command::EditCut);
        QCOMPARE(editor->text(), QString());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Shown"));
        f->run(Command::EditPaste);
        f->run(Command::EditPaste);
        QCOMPARE(editor->text(), QStringLiteral("ShownShown"));
        QCOMPARE(f->grid->GetItemCount(), 1);  // nothing pasted into the grid
        editor->selectAll();
        f->run(Command::EditCopy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ShownShown"));
        // Without an open edit, Cut and Copy do nothing.
        QTest::keyClick(editor, Qt::Key_Escape);
        QApplication::clipboard()->setText("kept");
        f->run(Command::EditCut);
        f->run(Command::EditCopy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
    }
};

RENDARO_GUI_TEST(ViewPasteTest)
#include "view_paste_test.moc"
