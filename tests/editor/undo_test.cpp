// Undo and redo of every kind of change the editor makes: the catalogue
// entry, its grid row with colours and check box, and the title's "*",
// which follows the state last saved.

#include "gui_test_registry.h"
#include "catalogue/entry_edits.h"
#include "editor/core/command_actions.h"
#include "editor/core/max_length_setting_dlg.h"
#include "batch_dialogs/res_parser_dlg.h"
#include "editor_fixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QUndoStack>

class UndoTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString deu;

    QUndoStack &stack() const { return *f->view->undoStack(); }
    bool hasEntry(const QString &original) const
    {
        return ReadEntryState(f->document, f->view->currentCatalogueId(), original).existed;
    }
    QRgb colour(const QString &original, int column) const
    {
        return f->grid->rowModel()->backColour(f->rowOf(original), column);
    }
    QString cleanTitle() const { return QStringLiteral("Rendaro - [%1]").arg(deu); }
    QString changedTitle() const { return QStringLiteral("Rendaro - [%1*]").arg(deu); }
    void clickCheckBox(int row)
    {
        const QRect cell = f->grid->visualRect(f->grid->rowModel()->index(row, 0));
        QTest::mouseClick(f->grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.left() + f->grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                                 cell.center().y()));
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("DEU.xml", {
            R"(<L from="Same" to="Same"/>)",
            R"(<L from="Open" to="Open"/>)",
            R"(<L from="Save" to="Sichern"/>)",
            R"(<L from="Hello %s" to="Hello %s"/>)",
        });
        QVERIFY(f->open(deu));
    }
    void cleanup() { f.reset(); }

    void editUndoneAndRedoneWithRowColourAndTitle()
    {
        QVERIFY(!stack().canUndo());
        f->editTranslation(f->rowOf("Same"), "Gleich");
        QCOMPARE(f->view->title(), changedTitle());
        QCOMPARE(stack().undoText(), QStringLiteral("Edit"));

        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Same"));
        QCOMPARE(f->grid->GetItemText(f->rowOf("Same"), 1), QStringLiteral("Same"));
        QCOMPARE(colour("Same", 1), kUntranslatedColour);  // as a refresh shows it
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->view->title(), cleanTitle());

        f->run(Command::EditRedo);
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich"));
        QCOMPARE(f->grid->GetItemText(f->rowOf("Same"), 1), QStringLiteral("Gleich"));
        QCOMPARE(colour("Same", 1), kMarkedColour);
        QVERIFY(f->view->isModified());
        QCOMPARE(f->view->title(), changedTitle());
    }

    void checkBoxUndoneAndRedone()
    {
        const int row = f->rowOf("Open");
        clickCheckBox(row);
        QCOMPARE(f->storedTranslatable("Open"), 0);
        QCOMPARE(f->view->title(), changedTitle());

        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslatable("Open"), 1);
        QVERIFY(!f->grid->GetCheck(row));
        QCOMPARE(colour("Open", 0), kDefaultColour);
        QCOMPARE(f->view->title(), cleanTitle());

        f->run(Command::EditRedo);
        QCOMPARE(f->storedTranslatable("Open"), 0);
        QVERIFY(f->grid->GetCheck(row));
        QCOMPARE(colour("Open", 0), kMarkedColour);
        // Unticking after an edit of the ticked row stores the cell's text
        // with the flag; undoing that restores both.
        f->editTranslation(row, "Öffnen");  // a ticked row records only its flag
        clickCheckBox(row);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QCOMPARE(f->storedTranslatable("Open"), 0);
        QVERIFY(f->grid->GetCheck(row));
        QCOMPARE(f->grid->GetItemText(row, 1), QStringLiteral("Open"));
    }

    void refusedEditNeverEntersTheStack()
    {
        const int row = f->rowOf("Hello %s");
        f->editTranslation(row, "Hallo %s");
        f->editTranslation(row, "Hallo %d");  // refused: the editor stays open
        QVERIFY(f->grid->isEditing());
        QTest::keyClick(f->grid->editor(), Qt::Key_Escape);
        QCOMPARE(stack().count(), 1);
        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Hello %s"), QStringLiteral("Hello %s"));
        f->run(Command::EditRedo);
        QCOMPARE(f->storedTranslation("Hello %s"), QStringLiteral("Hallo %s"));
        QCOMPARE(f->grid->GetItemText(row, 1), QStringLiteral("Hallo %s"));
        QVERIFY(!stack().canRedo());
    }

    void starFollowsTheStateLastSaved()
    {
        f->editTranslation(f->rowOf("Same"), "Gleich");
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Save OK"}));
        QCOMPARE(f->view->title(), cleanTitle());
        f->editTranslation(f->rowOf("Open"), "Öffnen");
        QCOMPARE(f->view->title(), changedTitle());
        f->run(Command::EditUndo);  // back at the saved state
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->view->title(), cleanTitle());
        f->run(Command::EditUndo);  // before it: changed again
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Same"));
        QVERIFY(f->view->isModified());
        QCOMPARE(f->view->title(), changedTitle());
        f->run(Command::EditRedo);
        QCOMPARE(f->view->title(), cleanTitle());
    }

    void pasteUndoneInOneStep()
    {
        f->view->PasteText("a\tb\r\nc\td\r\nOpen\tÖffnen\r\n");
        QCOMPARE(f->grid->GetItemCount(), 5);
        QCOMPARE(stack().count(), 1);
        f->run(Command::EditUndo);
        QVERIFY(!hasEntry("a"));
        QVERIFY(!hasEntry("c"));
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));  // was there: untouched
        QCOMPARE(f->grid->GetItemCount(), 3);
        QCOMPARE(f->rowOf("a"), -1);
        QCOMPARE(f->view->title(), cleanTitle());
        f->run(Command::EditRedo);
        QCOMPARE(f->storedTranslation("a"), QStringLiteral("b"));
        QCOMPARE(f->storedTranslation("c"), QStringLiteral("d"));
        QCOMPARE(f->grid->GetItemText(f->rowOf("c"), 1), QStringLiteral("d"));
        QCOMPARE(f->view->title(), changedTitle());
    }

    void largePasteUndoneRebuildsTheRows()
    {
        f->run(Command::HideTranslated);  // every row shown
        QString text;
        for (int i = 0; i < 100; ++i)
            text += QStringLiteral("line %1\tZeile %1\r\n").arg(i);
        f->view->PasteText(text);
        QCOMPARE(f->grid->GetItemCount(), 104);
        f->run(Command::EditUndo);
        QCOMPARE(f->grid->GetItemCount(), 4);
        QCOMPARE(f->document.findCatalogue(f->view->currentCatalogueId())->entries.size(), size_t(4));
        f->run(Command::EditRedo);
        QCOMPARE(f->grid->GetItemCount(), 104);
        QCOMPARE(f->storedTranslation("line 99"), QStringLiteral("Zeile 99"));
        QCOMPARE(f->grid->GetItemText(f->rowOf("line 50"), 1), QStringLiteral("Zeile 50"));
    }

    void pasteAfterNewUndoneLeavesNothingToSave()
    {
        f->prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        f->run(Command::FileNew);
        QVERIFY(!stack().canUndo());
        f->view->PasteText("One\tEins");
        QVERIFY(f->view->isModified());
        f->run(Command::EditUndo);
        QVERIFY(!f->view->isModified());
        QCOMPARE(f->grid->GetItemCount(), 0);
        QVERIFY(!hasEntry("One"));
        f->run(Command::EditRedo);
        QCOMPARE(f->storedTranslation("One"), QStringLiteral("Eins"));
    }

    // Strings written by a save cannot be taken back from the file: the
    // history ends there.
    void saveOfAddedStringsEndsTheHistory()
    {
        f->editTranslation(f->rowOf("Same"), "Gleich");
        f->view->PasteText("New\tNeu");
        f->run(Command::FileSave);
        f->prompts.takeTexts();
        QVERIFY(!stack().canUndo());
        QVERIFY(!f->view->isModified());
        QVERIFY(hasEntry("New"));
    }

    // Generate All writes copies from the shown file's tree, which then holds
    // the pasted strings: their paste can no longer be undone, but the file
    // still has unsaved changes. Edits alone stay undoable.
    void generatingCopiesAfterAPasteEndsTheHistoryKeepingTheChanges()
    {
        const QString english = f->writeLanguageFile("ViewResENG.xml", {R"(<L from="Open" to="Open"/>)"});
        QVERIFY(QDir().mkpath(f->path("tree/lang/DEU")));
        f->writeLanguageFile("tree/lang/DEU/VaridivUvaDEU.xml", {R"(<L from="Open" to="Öffnen"/>)"});
        f->prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        QVERIFY(f->open(english));
        auto generate = [this] {
            f->prompts.answer(PromptAnswer::Yes);
            f->prompts.chooseFile(f->path("tree"));
            f->prompts.answer(PromptAnswer::No);  // no auto-import
            f->batchTools().OnGenerateAll();
            QVERIFY(f->prompts.scriptUsed());
        };
        f->editTranslation(f->rowOf("Open"), "Open it");
        generate();
        QVERIFY(stack().canUndo());
        f->view->PasteText("New\tNeu");
        generate();
        QVERIFY(!stack().canUndo());
        QVERIFY(f->view->isModified());
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1*]").arg(english));
        f->run(Command::FileSave);
        QVERIFY(!f->view->isModified());
        QVERIFY(fileBytes(english).contains(R"(<L from="New" to="Neu"/>)"));
        f->prompts.takeTexts();
    }

    void importUndoneInOneStep()
    {
        const QString other = f->writeLanguageFile("OTHER.xml", {
            R"(<L from="Same" to="Gleich"/>)",
            R"(<L from="Open" to="Öffnen"/>)",
        });
        f->prompts.chooseFile(other);
        f->prompts.answer(PromptAnswer::No);  // keep translated ones
        f->importStrings().OnImportString();
        f->prompts.takeTexts();
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(stack().count(), 1);
        QCOMPARE(stack().undoText(), QStringLiteral("Import"));
        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Same"));
        QCOMPARE(f->grid->GetItemText(f->rowOf("Open"), 1), QStringLiteral("Open"));
        QCOMPARE(f->view->title(), cleanTitle());
    }

    void settingsUndoneAndRedone()
    {
        f->prompts.onDialog([](QDialog &dialog) {
            auto &settings = static_cast<CMaxLengthSettingDlg &>(dialog);
            settings.ratioEdit()->setText("3");
            settings.qtButton()->setChecked(true);
            settings.accept();
            return settings.result() == QDialog::Accepted;
        });
        f->run(Command::Settings);
        const CXMLStruct &catalogue = *f->document.findCatalogue(f->view->currentCatalogueId());
        QCOMPARE(catalogue.lengthRatio, 3.0f);
        QCOMPARE(catalogue.codeType, int(CodeTypeQt));
        QCOMPARE(f->view->title(), changedTitle());
        f->run(Command::EditUndo);
        QCOMPARE(catalogue.lengthRatio, 2.0f);
        QCOMPARE(catalogue.codeType, int(CodeTypeCpp));
        QCOMPARE(f->view->title(), cleanTitle());
        // The rows are checked with the style back in force: a "%s" edit
        // is refused again.
        f->editTranslation(f->rowOf("Hello %s"), "Hallo");
        QVERIFY(f->grid->isEditing());
        QTest::keyClick(f->grid->editor(), Qt::Key_Escape);
        f->run(Command::EditRedo);
        QCOMPARE(catalogue.codeType, int(CodeTypeQt));
        QCOMPARE(catalogue.lengthRatio, 3.0f);
    }

    void addNewStringUndoneInOneStep()
    {
        const QString fixtures = QStringLiteral(RENDARO_TESTS_DIR "/resparse/fixtures");
        f->prompts.onDialog([fixtures](QDialog &dialog) {
            auto &parser = static_cast<CResParserDlg &>(dialog);
            parser.executableEdit()->setText(fixtures + "/resources64.dll");
            parser.headerEdit()->setText(fixtures + "/resource.h");
            parser.startButton()->click();
            return parser.result() == QDialog::Accepted;
        });
        f->batchTools().OnAddNewString();
        f->prompts.takeTexts();
        const size_t added = f->document.findCatalogue(f->view->currentCatalogueId())->entries.size();
        QVERIFY(added > 10);
        QCOMPARE(stack().count(), 1);
        f->run(Command::EditUndo);
        QCOMPARE(f->document.findCatalogue(f->view->currentCatalogueId())->entries.size(), size_t(4));
        QCOMPARE(f->rowOf("Last of block"), -1);
        QCOMPARE(f->view->title(), cleanTitle());
        f->run(Command::EditRedo);
        QCOMPARE(f->document.findCatalogue(f->view->currentCatalogueId())->entries.size(), added);
        QVERIFY(f->rowOf("Last of block") >= 0);
    }

    // A row the filter hid after the edit comes back when the edit is undone.
    void undoShowsARowTheFilterHides()
    {
        f->editTranslation(f->rowOf("Same"), "Gleich");
        f->view->RefreshGrid();
        QCOMPARE(f->rowOf("Same"), -1);
        f->run(Command::EditUndo);
        QVERIFY(f->rowOf("Same") >= 0);
        QCOMPARE(colour("Same", 1), kUntranslatedColour);
    }

    void stackClearedOnNewOpenAndFolder()
    {
        f->editTranslation(f->rowOf("Same"), "Gleich");
        QVERIFY(stack().canUndo());
        f->prompts.answer(PromptAnswer::No);   // "Do you want to save current file?"
        f->prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        f->run(Command::FileNew);
        QVERIFY(!stack().canUndo());
        QVERIFY(f->open(deu));
        f->editTranslation(f->rowOf("Same"), "Gleich");
        f->prompts.answer(PromptAnswer::No);
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->open(f->writeLanguageFile("FRA.xml", {R"(<L from="Same" to="Same"/>)"})));
        QVERIFY(!stack().canUndo());
        f->run(Command::EditUndo);  // nothing to undo: the new file is untouched
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Same"));
        f->editTranslation(f->rowOf("Same"), "Pareil");
        f->view->ShowLanguageFolder(f->path(""), {deu});
        QVERIFY(!stack().canUndo());
        f->prompts.takeTexts();
    }

    // Ctrl+Z in the in-place editor undoes the typing there, not the
    // catalogue; in the grid it undoes the last change.
    void ctrlZInTheEditorUndoesTyping()
    {
        CommandActions &commands = f->commands;
        f->view->addActions({commands.action(Command::EditUndo), commands.action(Command::EditRedo)});
        f->view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->view));
        f->editTranslation(f->rowOf("Same"), "Gleich");
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Open")));
        f->grid->editor()->end(false);
        QTest::keyClicks(f->grid->editor(), "xy");
        QCOMPARE(f->grid->editor()->text(), QStringLiteral("Openxy"));
        QTest::keyClick(f->grid->editor(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f->grid->editor()->text(), QStringLiteral("Open"));
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich"));
        f->run(Command::EditRedo);  // the menu command goes to the editor too
        QCOMPARE(f->grid->editor()->text(), QStringLiteral("Openxy"));
        QTest::keyClick(f->grid->editor(), Qt::Key_Escape);
        QTest::keyClick(f->grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Same"));
        QTest::keyClick(f->grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich"));
        QTest::keyClick(f->grid, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(f->grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich"));
    }

    void menuCommandsFollowTheStack()
    {
        CommandActions &commands = f->commands;
        QAction *undo = commands.action(Command::EditUndo);
        QAction *redo = commands.action(Command::EditRedo);
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());
        f->editTranslation(f->rowOf("Same"), "Gleich");
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Edit"));
        QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
        QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
        undo->trigger();
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Same"));
        QVERIFY(!undo->isEnabled());
        QVERIFY(redo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("&Redo Edit"));
        redo->trigger();
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich"));
    }
};

RENDARO_GUI_TEST(UndoTest)
#include "undo_test.moc"
