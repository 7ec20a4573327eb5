// File > Resolve Conflicts...: a real merge's conflicts shown one at a
// time, each choice (theirs, ours, an edited text, a setting, a mark) an
// undo step that undo takes back and the list follows, the conflicts file
// written again at a save with the open ones, a key written into the file
// on disk after a save, and the conflicts file gone when all are resolved.

#include "gui_test_registry.h"
#include "catalogue/entry_edits.h"
#include "editor/conflicts/conflict_session.h"
#include "editor/conflicts/resolve_conflicts_dlg.h"
#include "editor_fixture.h"
#include "merge/merge_conflicts.h"
#include "test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

class ConflictsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString fra, conflicts;

    static QByteArray version(const QByteArray &root, const QByteArray &open, const QByteArray &close,
                              const QByteArray &two, const QByteArray &brand, const QByteArray &saveKey)
    {
        return languageFile(root, {
            "<L from=\"Open\" to=\"" + open + "\" key=\"IDS_OPEN\"/>",
            "<L from=\"Close\" to=\"" + close + "\" key=\"IDS_CLOSE\"/>",
            "<L from=\"Two/nlines\" to=\"" + two + "\" key=\"IDS_TWO\"/>",
            "<L from=\"Brand\" to=\"Brand\"" + brand + "/>",
            "<L from=\"Save\" to=\"Sauver\" key=\"" + saveKey + "\"/>",
            "<L from=\"Quit\" to=\"Quitter\" key=\"IDS_QUIT\"/>",
        });
    }
    static QByteArray root(const char *ratio)
    {
        return "AllowLength=\"" + QByteArray(ratio) + "\" CodeType=\"CPlus2\"";
    }
    // The conflict whose description starts with `text`.
    static QListWidgetItem *itemOf(CResolveConflictsDlg &dialog, const QString &text)
    {
        QListWidget *list = dialog.conflictList();
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text().section(QStringLiteral(". "), 1).startsWith(text))
                return list->item(row);
        }
        return nullptr;
    }
    static void select(CResolveConflictsDlg &dialog, const QString &text)
    {
        QListWidgetItem *item = itemOf(dialog, text);
        QVERIFY2(item, qPrintable("no conflict " + text));
        dialog.conflictList()->setCurrentItem(item);
    }
    QString stateOf(CResolveConflictsDlg &dialog) const { return dialog.stateLabel()->text(); }

    // Theirs, ours and an edited text for three translations; undo and redo.
    void firstChoices(CResolveConflictsDlg &dialog, QUndoStack *stack)
    {
        QCOMPARE(dialog.conflictList()->count(), 6);
        QCOMPARE(dialog.conflictList()->currentRow(), 0);
        QCOMPARE(dialog.conflictList()->accessibleName(), QStringLiteral("Conflicts"));
        QCOMPARE(stateOf(dialog), QStringLiteral("0 of 6 conflicts resolved."));

        select(dialog, "\"Open\" (IDS_OPEN): the translation");
        QCOMPARE(dialog.versionView(ConflictChoice::Base)->toPlainText(), QStringLiteral("Open"));
        QCOMPARE(dialog.versionView(ConflictChoice::Ours)->toPlainText(), QStringLiteral("Ouvrir..."));
        QCOMPARE(dialog.versionView(ConflictChoice::Theirs)->toPlainText(), QStringLiteral("Ouvre"));
        QCOMPARE(dialog.editor()->text(), QStringLiteral("Ouvrir..."));  // ours to start from
        dialog.choiceButton(ConflictChoice::Theirs)->click();
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Ouvre"));
        QVERIFY(itemOf(dialog, "\"Open\"")->text().endsWith(" (resolved)"));
        // On to the next open conflict.
        QVERIFY(!dialog.conflictList()->currentItem()->text().endsWith(" (resolved)"));
        QVERIFY(dialog.choiceButton(ConflictChoice::Theirs)->isEnabled());

        select(dialog, "\"Close\"");
        dialog.choiceButton(ConflictChoice::Ours)->click();
        QCOMPARE(f->storedTranslation("Close"), QStringLiteral("Fermer"));

        // A translation is shown and edited as the grid shows it; one whose
        // line breaks do not fit is refused as an edit is.
        select(dialog, "\"Two/nlines\"");
        QCOMPARE(dialog.versionView(ConflictChoice::Theirs)->toPlainText(), QStringLiteral("Deux\\nlignes!"));
        dialog.editor()->setText(QStringLiteral("Deux lignes"));
        dialog.choiceButton(ConflictChoice::Edited)->click();
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        QCOMPARE(f->storedTranslation("Two\\nlines"), QStringLiteral("Deux\\nlignes"));
        QCOMPARE(stateOf(dialog), QStringLiteral("2 of 6 conflicts resolved."));
        dialog.editor()->setText(QStringLiteral("Deux\\nlignes."));
        QTest::keyClick(dialog.editor(), Qt::Key_Return);
        QCOMPARE(f->storedTranslation("Two\\nlines"), QStringLiteral("Deux\\nlignes."));
        QCOMPARE(stateOf(dialog), QStringLiteral("3 of 6 conflicts resolved."));
        QVERIFY(stack->undoText().startsWith("Resolve Conflict "));

        // Undo brings the conflict back; redo resolves it again.
        dialog.undoButton()->click();
        QCOMPARE(f->storedTranslation("Two\\nlines"), QStringLiteral("Deux\\nlignes"));
        QCOMPARE(stateOf(dialog), QStringLiteral("2 of 6 conflicts resolved."));
        select(dialog, "\"Two/nlines\"");
        QVERIFY(dialog.choiceButton(ConflictChoice::Edited)->isEnabled());
        stack->redo();
        QCOMPARE(stateOf(dialog), QStringLiteral("3 of 6 conflicts resolved."));
    }
    // The mark, the setting (undone and taken again) and a key, the last.
    void lastChoices(CResolveConflictsDlg &dialog)
    {
        QCOMPARE(stateOf(dialog), QStringLiteral("3 of 6 conflicts resolved."));
        QVERIFY(!dialog.conflictList()->currentItem()->text().endsWith(" (resolved)"));

        select(dialog, "\"Brand\"");
        dialog.choiceButton(ConflictChoice::Theirs)->click();
        QCOMPARE(f->storedTranslatable("Brand"), 0);
        select(dialog, "The file's setting AllowLength");
        dialog.choiceButton(ConflictChoice::Theirs)->click();
        QCOMPARE(ReadCatalogueSettings(f->document, f->view->currentCatalogueId()).lengthRatio, 2.5f);
        dialog.undoButton()->click();
        QCOMPARE(ReadCatalogueSettings(f->document, f->view->currentCatalogueId()).lengthRatio, 3.0f);
        QCOMPARE(stateOf(dialog), QStringLiteral("4 of 6 conflicts resolved."));
        select(dialog, "The file's setting AllowLength");
        dialog.choiceButton(ConflictChoice::Theirs)->click();

        // A key is written into the file on disk: saved first.
        select(dialog, "\"Save\" (IDS_SAVE2): the key");
        f->prompts.answer(PromptAnswer::Yes);  // save the file first
        dialog.choiceButton(ConflictChoice::Theirs)->click();
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        const QByteArray base = version(root("2.000000"), "Open", "Close", "Two/nlines", "", "IDS_SAVE");
        const QByteArray ours =
            version(root("3.000000"), "Ouvrir...", "Fermer", "Deux/nlignes", " IsTrans=\"true\"", "IDS_SAVE2");
        const QByteArray theirs =
            version(root("2.500000"), "Ouvre", "Clore", "Deux/nlignes!", " IsTrans=\"false\"", "IDS_SAVE3");
        const LanguageMergeResult merged = MergeLanguageFiles(base, ours, theirs);
        QVERIFY2(merged.merged, qPrintable(merged.error + merged.notLanguageFile));
        QCOMPARE(merged.conflicts.size(), size_t(6));
        fra = f->path("FRA.xml");
        QVERIFY(writeBytes(fra, merged.bytes));
        conflicts = ConflictsFilePath(fra);
        QString error;
        QVERIFY2(WriteConflictsFile(conflicts, {"FRA.xml", merged.conflicts}, &error), qPrintable(error));
        QVERIFY(f->open(fra));
    }
    void cleanup()
    {
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
    }

    void eachChoiceIsAnUndoStepAndTheFileGoesWhenAllAreResolved()
    {
        f->view->updateCommandStates();
        QAction *command = f->commands.action(Command::ResolveConflicts);
        QVERIFY(command->isEnabled());
        QUndoStack *stack = f->view->undoStack();

        f->prompts.onDialog([this, stack](QDialog &shown) {
            firstChoices(static_cast<CResolveConflictsDlg &>(shown), stack);
            return false;  // closed with three open
        });
        f->run(Command::ResolveConflicts);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(f->view->isModified());

        // A save leaves the open conflicts in the conflicts file.
        f->run(Command::FileSave);
        ConflictsFile open;
        QString error;
        QVERIFY2(ReadConflictsFile(conflicts, &open, &error), qPrintable(error));
        QStringList attributes;
        for (const MergeConflict &conflict : open.conflicts)
            attributes << conflict.attribute;
        attributes.sort();
        QCOMPARE(attributes, QStringList({"AllowLength", "IsTrans", "key"}));
        QVERIFY(fileBytes(fra).contains(R"(from="Two/nlines" to="Deux/nlignes.")"));

        // The dialog again: the session goes on where it was.
        f->prompts.onDialog([this](QDialog &shown) {
            lastChoices(static_cast<CResolveConflictsDlg &>(shown));
            return shown.result() == QDialog::Accepted;  // the last one closes it
        });
        f->run(Command::ResolveConflicts);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!QFile::exists(conflicts));
        QVERIFY(!f->view->isModified());
        const QByteArray saved = fileBytes(fra);
        QVERIFY(saved.contains(R"(from="Open" to="Ouvre")"));
        QVERIFY(saved.contains(R"(from="Close" to="Fermer")"));
        QVERIFY(saved.contains(R"(key="IDS_SAVE3")"));
        QVERIFY(saved.contains(R"(IsTrans="false")"));
        QVERIFY(saved.contains(R"(AllowLength="2.500000")"));
        f->view->updateCommandStates();
        QVERIFY(!command->isEnabled());
    }

    void aConflictsFileThatIsNotOneIsNamedAndNothingOpens()
    {
        QVERIFY(writeBytes(conflicts, "{\"rendaroConflicts\": 7}"));
        f->run(Command::ResolveConflicts);
        QCOMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith("Can not read the conflicts of " + fra + ":\n"));
        QVERIFY(!f->conflicts().session());
    }
};

RENDARO_GUI_TEST(ConflictsTest)
#include "conflicts_test.moc"
