// The view's rows, colours, checks of edited translations, check boxes,
// keys and title.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor_fixture.h"

#include <QAccessible>
#include <QLineEdit>
#include <QHeaderView>
#include <QTest>
#include <QWindow>

class ViewGridTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;

    // Ratio 2.0: "abcde" allows ten characters.
    void openSample()
    {
        const QString file = f->writeLanguageFile("DEU.xml", {
            R"(<L from="Translated" to="Übersetzt"/>)",
            R"(<L from="Same" to="Same"/>)",
            R"(<L from="Empty"/>)",
            R"(<L from="abcde" to="0123456789"/>)",
            R"(<L from="fghij" to="01234567890"/>)",
            R"(<L from="Marked" to="Marked" IsTrans="false"/>)",
            R"(<L from="Two\nlines\nhere" to="Two\nlines\nhere"/>)",
            R"(<L from="Hello %s" to="Hello %s"/>)",
        });
        QVERIFY(f->open(file));
    }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup() { f.reset(); }

    void rowsFilterAndColours()
    {
        openSample();
        // The translated entries are hidden at first, the others shown in order.
        QStringList shown;
        for (int row = 0; row < f->grid->GetItemCount(); ++row)
            shown << f->grid->GetItemText(row, 0);
        QCOMPARE(shown, QStringList({"Empty", "Hello %s", "Marked", "Same", "Two\\nlines\\nhere"}));
        const ReportRowModel &rows = *f->grid->rowModel();
        QCOMPARE(rows.backColour(f->rowOf("Same"), 1), kUntranslatedColour);
        QCOMPARE(rows.backColour(f->rowOf("Same"), 0), kDefaultColour);
        QCOMPARE(rows.backColour(f->rowOf("Marked"), 0), kMarkedColour);
        QVERIFY(f->grid->GetCheck(f->rowOf("Marked")));
        QVERIFY(!f->grid->GetCheck(f->rowOf("Same")));

        f->run(Command::HideTranslated);
        QCOMPARE(f->grid->GetItemCount(), 8);
        QCOMPARE(f->grid->GetItemText(7, 0), QStringLiteral("fghij"));  // code-unit order: upper case first
        QCOMPARE(rows.backColour(f->rowOf("abcde"), 1), kDefaultColour);    // exactly twice as long
        QCOMPARE(rows.backColour(f->rowOf("fghij"), 1), kTooLongColour);    // one more
        QCOMPARE(f->grid->GetItemText(f->rowOf("Translated"), 1), QStringLiteral("Übersetzt"));
    }

    void escapeFailureKeepsCatalogueAndBlocksArrows()
    {
        openSample();
        const int row = f->rowOf("Two\\nlines\\nhere");
        f->editTranslation(row, "Zwei\\nZeilen");
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Please put \"\\n\" in String."}));
        QCOMPARE(f->prompts.messages.size(), 0);
        QCOMPARE(f->storedTranslation("Two\\nlines\\nhere"), QStringLiteral("Two\\nlines\\nhere"));
        QVERIFY(f->grid->isEditing());
        QVERIFY(!f->view->lastEditValid());
        QVERIFY(f->view->isModified());

        // Up and Down cannot leave the row, whether the editor is open or not.
        QTest::keyClick(f->grid->editor(), Qt::Key_Up);
        QCOMPARE(f->grid->editRow(), row);
        QTest::keyClick(f->grid->editor(), Qt::Key_Escape);
        QVERIFY(!f->grid->isEditing());
        QTest::keyClick(f->grid, Qt::Key_Up);
        QTest::keyClick(f->grid, Qt::Key_Down);
        QCOMPARE(f->grid->currentIndex().row(), row);
        QVERIFY(f->prompts.messages.isEmpty());

        // An edit that passes lifts the block.
        f->editTranslation(row, "Zwei\\nZeilen\\nhier");
        QVERIFY(f->prompts.messages.isEmpty());
        QVERIFY(f->view->lastEditValid());
        QVERIFY(!f->grid->isEditing());
        QCOMPARE(f->storedTranslation("Two\\nlines\\nhere"), QStringLiteral("Zwei\\nZeilen\\nhier"));
        QCOMPARE(f->grid->rowModel()->backColour(row, 1), kMarkedColour);
        QTest::keyClick(f->grid, Qt::Key_Up);
        QCOMPARE(f->grid->currentIndex().row(), row - 1);
    }

    void placeholderFailureKeepsTheEditorOpen()
    {
        openSample();
        const int row = f->rowOf("Hello %s");
        f->editTranslation(row, "Hallo %d");
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].text, QStringLiteral("Please put \"%s\" in String."));
        QCOMPARE(f->prompts.messages[0].caption, QStringLiteral("Rendaro"));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Stop);
        QVERIFY(f->grid->isEditing());
        QCOMPARE(f->grid->editor()->selectedText(), QStringLiteral("Hallo %d"));
        QCOMPARE(f->storedTranslation("Hello %s"), QStringLiteral("Hello %s"));
        QCOMPARE(f->grid->GetItemText(row, 1), QStringLiteral("Hallo %d"));
        QVERIFY(f->view->title().endsWith("*]"));
    }

    void overLongEditIsStoredWarnedAndRed()
    {
        openSample();
        const int row = f->rowOf("Same");
        f->editTranslation(row, "Gleich123");
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].text, messageText(MsgTooLong));
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Exclamation);
        QVERIFY(!f->grid->isEditing());
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich123"));
        QCOMPARE(f->grid->rowModel()->backColour(row, 1), kTooLongColour);
    }

    void editOfTickedRowRecordsOnlyTheFlag()
    {
        openSample();
        const int row = f->rowOf("Marked");
        f->editTranslation(row, "Markiert");
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(f->storedTranslation("Marked"), QStringLiteral("Marked"));
        QCOMPARE(f->storedTranslatable("Marked"), 0);
        f->view->RefreshGrid();
        QCOMPARE(f->grid->GetItemText(f->rowOf("Marked"), 1), QStringLiteral("Marked"));
    }

    void checkBoxSetsTheFlagAndMarksTheFileChanged()
    {
        openSample();
        QVERIFY(!f->view->isModified());
        const int row = f->rowOf("Same");
        const QRect cell = f->grid->visualRect(f->grid->rowModel()->index(row, 0));
        QTest::mouseClick(f->grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.left() + f->grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                                 cell.center().y()));
        QVERIFY(f->grid->GetCheck(row));
        QCOMPARE(f->storedTranslatable("Same"), 0);
        QCOMPARE(f->grid->rowModel()->backColour(row, 0), kMarkedColour);
        QVERIFY(f->view->isModified());
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1*]").arg(f->path("DEU.xml")));

        // Unticking stores the cell's translation with the flag.
        f->grid->SetItemText(row, 1, "Gleich");
        QTest::mouseClick(f->grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.left() + f->grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                                 cell.center().y()));
        QCOMPARE(f->storedTranslatable("Same"), 1);
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich"));
    }

    void searchKeysNeedACatalogue()
    {
        // With nothing shown, Ctrl+F opens no dialog (the script has none).
        QTest::keyClick(f->grid, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f->prompts.scriptUsed());
        openSample();
        f->prompts.onDialog([](QDialog &) { return false; });
        QTest::keyClick(f->grid, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f->prompts.scriptUsed());
    }

    void titleFormats()
    {
        f->view->UpdateTitle("/data/DEU.xml", false);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [/data/DEU.xml]"));
        f->view->UpdateTitle("/data/DEU.xml", true);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [/data/DEU.xml*]"));
        f->view->ShowLanguageFolder(f->path(QString()), {});  // the master of a language folder
        f->view->UpdateTitle("/data/lang/DEU/*", true);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - GLOBAL*[/data/lang/DEU/*]"));
        f->view->UpdateTitle("/data/lang/DEU/*", false);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - GLOBAL[/data/lang/DEU/*]"));
        // A new file with changes: the window shows "[*]" as it stands.
        f->view->ResetView();
        f->view->UpdateTitle(QString(), true);
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [*]"));
        QCOMPARE(f->view->windowHandle()->title(), QStringLiteral("Rendaro - [*]"));
    }

    void referenceOriginalsMapBack()
    {
        openSample();
        f->showReference("Same", "Pareil");
        const int row = f->rowOf("Pareil");
        QVERIFY(row >= 0);
        QCOMPARE(f->view->DisplayedToOriginal(row), QStringLiteral("Same"));
        f->editTranslation(row, "Gleich");
        QCOMPARE(f->storedTranslation("Same"), QStringLiteral("Gleich"));
    }

    void editorIsAmongTheViewsAccessibleChildren()
    {
        openSample();
        QVERIFY(f->grid->StartEdit(1, 1));
        QLineEdit *editor = f->grid->editor();
        QCOMPARE(editor->parentWidget(), f->view);
        const QRect cell = f->grid->visualRect(f->grid->rowModel()->index(1, 1));
        QCOMPARE(editor->geometry(), cell.translated(f->grid->viewport()->mapTo(f->view, QPoint(0, 0))));
        QAccessibleInterface *view = QAccessible::queryAccessibleInterface(f->view);
        bool found = false;
        for (int i = 0; i < view->childCount(); ++i) {
            QAccessibleInterface *child = view->child(i);
            if (child->role() == QAccessible::EditableText) {
                found = true;
                QCOMPARE(child->text(QAccessible::Name), QStringLiteral("Translation"));
                QCOMPARE(child->text(QAccessible::Value), f->grid->GetItemText(1, 1));
            }
        }
        QVERIFY(found);
    }

    void columnsShareTheWidth()
    {
        openSample();
        f->view->resize(700, 400);
        QTest::qWait(0);
        const int half = f->grid->viewport()->width() / 2;
        QCOMPARE(f->grid->columnWidth(0), half);
        QCOMPARE(f->grid->columnWidth(1), half);

        // A column edge the user moved keeps its share of the width as the
        // window changes size; the translation column takes the rest.
        f->grid->horizontalHeader()->resizeSection(0, half / 2);
        f->view->resize(1400, 400);
        QTest::qWait(0);
        const int width = f->grid->viewport()->width();
        QVERIFY(qAbs(f->grid->columnWidth(0) - width / 4) <= 2);
        QCOMPARE(f->grid->columnWidth(0) + f->grid->columnWidth(1), width);
        QCOMPARE(f->grid->columnWidths(), QList<int>({f->grid->columnWidth(0), f->grid->columnWidth(1)}));
    }
};

RENDARO_GUI_TEST(ViewGridTest)
#include "view_grid_test.moc"
