// Next/Previous Untranslated and Next/Previous Problem: wrapping both ways,
// rows hidden by the filter skipped, an open edit committed first and a
// refused one keeping the selection, the keys reaching the view from the
// in-place editor, and the commands' enabled states.

#include "gui_test_registry.h"
#include "editor/core/command_actions.h"
#include "editor_fixture.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class NavigationTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<QSignalSpy> messages;

    // In row order with every row shown: A1 and D4 untranslated, C3 a
    // placeholder missing, E5 too long (ratio 2), F6 not to be translated.
    void openSample(bool showAll)
    {
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", {
                                                            R"(<L from="A1" to="A1"/>)",
                                                            R"(<L from="B2" to="Bee"/>)",
                                                            R"(<L from="C3 %s" to="Zeh"/>)",
                                                            R"(<L from="D4" to="D4"/>)",
                                                            R"(<L from="E5" to="Eeeeeeeeeeeeee"/>)",
                                                            R"(<L from="F6" to="F6" IsTrans="false"/>)",
                                                        })));
        if (showAll)
            f->run(Command::HideTranslated);
        messages = std::make_unique<QSignalSpy>(f->view, &CRendaroView::statusMessage);
    }
    QString selectedOriginal() const
    {
        const int row = f->grid->FirstSelectedRow();
        return row < 0 ? QString() : f->view->DisplayedToOriginal(row);
    }
    QString lastMessage() const { return messages->isEmpty() ? QStringLiteral("<none>") : messages->last()[0].toString(); }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup()
    {
        messages.reset();
        f.reset();
    }

    void untranslatedWrapsBothWays()
    {
        openSample(true);
        QCOMPARE(f->grid->GetItemCount(), 6);
        // Nothing selected: forward starts at the first row, backward at the last.
        f->grid->clearSelection();
        f->navigation().OnNextUntranslated();
        QCOMPARE(selectedOriginal(), QStringLiteral("A1"));
        QCOMPARE(lastMessage(), QString());
        f->grid->clearSelection();
        f->navigation().OnPreviousUntranslated();
        QCOMPARE(selectedOriginal(), QStringLiteral("D4"));
        QCOMPARE(lastMessage(), QString());

        // Past the last untranslated row the search goes on from the top, and says so.
        f->navigation().OnNextUntranslated();
        QCOMPARE(selectedOriginal(), QStringLiteral("A1"));
        QCOMPARE(lastMessage(), QStringLiteral("Search wrapped to the first row."));
        f->navigation().OnNextUntranslated();
        QCOMPARE(selectedOriginal(), QStringLiteral("D4"));
        QCOMPARE(lastMessage(), QString());
        f->grid->SelectOnly(1);
        f->navigation().OnPreviousUntranslated();
        QCOMPARE(selectedOriginal(), QStringLiteral("A1"));
        f->navigation().OnPreviousUntranslated();
        QCOMPARE(selectedOriginal(), QStringLiteral("D4"));
        QCOMPARE(lastMessage(), QStringLiteral("Search wrapped to the last row."));
        QVERIFY(f->prompts.messages.isEmpty());  // the status bar speaks, no message box
    }

    void problemsWrapAndFilteredRowsAreSkipped()
    {
        openSample(true);
        f->grid->SelectOnly(f->rowOf("D4"));
        f->navigation().OnNextProblem();
        QCOMPARE(selectedOriginal(), QStringLiteral("E5"));
        f->navigation().OnNextProblem();
        QCOMPARE(selectedOriginal(), QStringLiteral("C3 %s"));
        QCOMPARE(lastMessage(), QStringLiteral("Search wrapped to the first row."));
        f->navigation().OnPreviousProblem();
        QCOMPARE(selectedOriginal(), QStringLiteral("E5"));
        QCOMPARE(lastMessage(), QStringLiteral("Search wrapped to the last row."));

        // With Hide Translated Item on, the failing rows are not rows.
        f->run(Command::HideTranslated);
        QCOMPARE(f->grid->GetItemCount(), 3);  // A1, D4, F6
        f->grid->SelectOnly(0);
        f->navigation().OnNextProblem();
        QCOMPARE(selectedOriginal(), QStringLiteral("A1"));
        QCOMPARE(lastMessage(), QStringLiteral("No problem found."));

        // A shown row that becomes too long is found at once (the warning is
        // an OK box), and the other rows still are not.
        f->editTranslation(f->rowOf("D4"), "Dddddddddd");
        QCOMPARE(f->prompts.messages.size(), 1);
        f->grid->SelectOnly(0);
        f->navigation().OnNextProblem();
        QCOMPARE(selectedOriginal(), QStringLiteral("D4"));
        QCOMPARE(lastMessage(), QString());
        f->navigation().OnPreviousProblem();
        QCOMPARE(selectedOriginal(), QStringLiteral("D4"));
        QCOMPARE(lastMessage(), QStringLiteral("Search wrapped to the last row."));

        f->editTranslation(f->rowOf("A1"), "Ah");
        f->navigation().OnNextUntranslated();
        QCOMPARE(lastMessage(), QStringLiteral("No untranslated string."));
        QCOMPARE(selectedOriginal(), QStringLiteral("A1"));
    }

    void keysCommitTheOpenEditAndARefusedEditStays()
    {
        openSample(true);
        // Ctrl+J from the editor: the text is kept, then the selection moves on.
        QVERIFY(f->grid->StartEdit(1, f->rowOf("A1")));
        f->grid->editor()->setText("Ah");
        QTest::keyClick(f->grid->editor(), Qt::Key_J, Qt::ControlModifier);
        QVERIFY(!f->grid->isEditing());
        QCOMPARE(f->storedTranslation("A1"), QStringLiteral("Ah"));
        QCOMPARE(selectedOriginal(), QStringLiteral("D4"));
        QVERIFY(f->view->isModified());

        // A placeholder dropped: the check refuses, the editor stays on its
        // row with its text (Ctrl+K is not the editor's delete-to-end here).
        const int row = f->rowOf("B2");
        QVERIFY(f->grid->StartEdit(1, row));
        f->grid->editor()->setText("%s nicht");
        f->grid->editor()->setCursorPosition(0);
        QTest::keyClick(f->grid->editor(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        QVERIFY(f->grid->isEditing());
        QCOMPARE(f->grid->editRow(), row);
        QCOMPARE(f->grid->editor()->text(), QStringLiteral("%s nicht"));
        QCOMPARE(f->storedTranslation("B2"), QStringLiteral("Bee"));
        QCOMPARE(selectedOriginal(), QStringLiteral("B2"));

        // Esc drops the refused text; moving works again (back past the top).
        QTest::keyClick(f->grid->editor(), Qt::Key_Escape);
        QTest::keyClick(f->grid, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(selectedOriginal(), QStringLiteral("E5"));
        QCOMPARE(lastMessage(), QStringLiteral("Search wrapped to the last row."));
    }

    void enabledWhenTheGridHasRows()
    {
        CommandActions &commands = f->commands;
        const Command navigation[] = {Command::NextUntranslated, Command::PreviousUntranslated, Command::NextProblem,
                                      Command::PreviousProblem};
        for (Command command : navigation)
            QVERIFY(!commands.action(command)->isEnabled());
        openSample(false);
        for (Command command : navigation)
            QVERIFY(commands.action(command)->isEnabled());
        QCOMPARE(commands.action(Command::NextProblem)->shortcut(), QKeySequence("Ctrl+K"));
        QCOMPARE(commands.action(Command::PreviousUntranslated)->shortcut(), QKeySequence("Ctrl+Shift+J"));
        f->view->ResetView();
        for (Command command : navigation)
            QVERIFY(!commands.action(command)->isEnabled());
    }
};

RENDARO_GUI_TEST(NavigationTest)
#include "navigation_test.moc"
