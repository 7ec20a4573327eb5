// The status bar's live counts after edits, check boxes, pastes, imports,
// new settings and their undo and redo (always equal to a full count), and
// the length pane of the translation being edited, red when over, in the
// real main window.

#include "gui_test_registry.h"
#include "app/main_frame.h"
#include "app/rendaro_app.h"
#include "controls/status_panes.h"
#include "editor/spelling/spelling_session.h"
#include "editor/core/max_length_setting_dlg.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTest>

namespace {

const QList<QByteArray> kSample = {
    R"(<L from="A1" to="A1"/>)",           R"(<L from="B2" to="Bee"/>)",
    R"(<L from="C3 %s" to="Zeh"/>)",       R"(<L from="D4" to="D4"/>)",
    R"(<L from="E5" to="Eeeeeeeeeeeeee"/>)", R"(<L from="F6" to="F6" IsTrans="false"/>)",
};

// The counts a full pass over the shown catalogue gives.
QString fullCount(const CRendaroDoc &document, int catalogueId)
{
    CatalogueCounts counts;
    counts.recount(*document.findCatalogue(catalogueId));
    return counts.statusText();
}

} // namespace

class LiveCountsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;

    void clickCheckBox(int row)
    {
        const QRect cell = f->grid->visualRect(f->grid->rowModel()->index(row, 0));
        QTest::mouseClick(f->grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.left() + f->grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                                 cell.center().y()));
    }
    void expectCounts(const QString &text)
    {
        QCOMPARE(f->counts().countsText(), text);
        QCOMPARE(fullCount(f->document, f->view->currentCatalogueId()), text);
    }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup() { f.reset(); }

    void countsFollowEveryKindOfChange()
    {
        QSignalSpy changes(&f->counts(), &LiveCounts::countsChanged);
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", kSample)));
        f->run(Command::HideTranslated);
        expectCounts("6 strings, 2 untranslated, 2 problems");
        QCOMPARE(changes.last()[0].toString(), f->counts().countsText());

        f->editTranslation(f->rowOf("A1"), "Ah");
        expectCounts("6 strings, 1 untranslated, 2 problems");
        f->editTranslation(f->rowOf("C3 %s"), "Zeh %s");  // the placeholder put back
        expectCounts("6 strings, 1 untranslated, 1 problem");
        QCOMPARE(changes.last()[0].toString(), QStringLiteral("6 strings, 1 untranslated, 1 problem"));

        clickCheckBox(f->rowOf("D4"));  // not to be translated
        QCOMPARE(f->storedTranslatable("D4"), 0);
        expectCounts("6 strings, 0 untranslated, 1 problem");
        clickCheckBox(f->rowOf("D4"));
        expectCounts("6 strings, 1 untranslated, 1 problem");

        f->view->PasteText("G7\tG7\nH8\tHhhhhhhhhh\nA1\tnot taken");
        expectCounts("8 strings, 2 untranslated, 2 problems");
        QVERIFY(f->prompts.messages.isEmpty());

        // Import: one file's translations into the rows.
        const QString source = f->writeLanguageFile("SRC.xml", {R"(<L from="G7" to="Ge"/>)", R"(<L from="D4" to="De"/>)"});
        f->prompts.chooseFile(source);
        f->prompts.answer(PromptAnswer::No);
        f->importStrings().OnImportString();
        QCOMPARE(f->storedTranslation("G7"), QStringLiteral("Ge"));
        expectCounts("8 strings, 0 untranslated, 2 problems");

        // A new ratio counts every entry again.
        f->prompts.onDialog([](QDialog &dialog) {
            static_cast<CMaxLengthSettingDlg &>(dialog).ratio = 10.0f;
            return true;
        });
        f->run(Command::Settings);
        QVERIFY(f->prompts.scriptUsed());
        expectCounts("8 strings, 0 untranslated, 0 problems");

        // Undo and redo step back through the same counts; undoing the
        // paste takes its entries away again.
        f->run(Command::EditUndo);  // the settings
        expectCounts("8 strings, 0 untranslated, 2 problems");
        f->run(Command::EditUndo);  // the import
        expectCounts("8 strings, 2 untranslated, 2 problems");
        f->run(Command::EditUndo);  // the paste
        expectCounts("6 strings, 1 untranslated, 1 problem");
        f->run(Command::EditRedo);
        expectCounts("8 strings, 2 untranslated, 2 problems");
        f->run(Command::EditRedo);
        f->run(Command::EditRedo);
        expectCounts("8 strings, 0 untranslated, 0 problems");

        // Closing leaves nothing to count.
        f->view->ResetView();
        QCOMPARE(f->counts().countsText(), QString());
        QCOMPARE(changes.last()[0].toString(), QString());
    }

    void pasteIntoNothingShownCountsTheNewCatalogue()
    {
        f->view->PasteText("One\tEins\nTwo\tTwo");
        QVERIFY(f->view->currentCatalogueId() >= 1);
        expectCounts("2 strings, 1 untranslated, 0 problems");
    }

    void lengthPaneInTheMainWindow()
    {
        QTemporaryDir folder;
        QSettings settings(folder.filePath("settings.ini"), QSettings::IniFormat);
        ScriptedPrompts prompts;
        const QString path = folder.filePath("DEU.xml");
        writeBytes(path, languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", kSample));
        setTheDocument(nullptr);  // the application makes its own
        auto app = std::make_unique<CRendaroApp>(prompts, settings);
        QVERIFY(app->InitInstance({path}));
        CMainFrame *frame = app->mainFrame();
        CRendaroView *view = frame->view();
        auto *counts = frame->statusBar()->findChild<CCountsPane *>();
        auto *length = frame->statusBar()->findChild<CEditLengthPane *>();
        QVERIFY(counts && length);
        // The main window checks spelling (DEU: de_DE) on a worker thread;
        // the count of misspelled translations ("Bee", "Eeeeeeeeeeeeee")
        // follows when it is done.
        QCOMPARE(counts->text(), QStringLiteral("6 strings, 2 untranslated, 2 problems, 0 misspelled"));
        QSignalSpy spellingDone(frame->features().spelling().spelling(), &SpellingSession::checkFinished);
        QVERIFY(spellingDone.wait(20000));
        QCOMPARE(counts->text(), QStringLiteral("6 strings, 2 untranslated, 2 problems, 2 misspelled"));
        QCOMPARE(counts->accessibleName(), counts->text());
        QVERIFY(length->isHidden());

        CReportCtrl *grid = view->grid();
        int row = -1;
        for (int i = 0; i < grid->GetItemCount(); ++i)
            row = grid->GetItemText(i, 0) == QStringLiteral("A1") ? i : row;
        QVERIFY(grid->StartEdit(1, row));
        QCOMPARE(length->text(), QStringLiteral("2 of 4 characters"));
        QVERIFY(!length->isHidden());
        const QColor normal = length->palette().color(QPalette::WindowText);
        QTest::keyClicks(grid->editor(), "xyz");  // "A1" selected, replaced: "xyz"
        QCOMPARE(length->text(), QStringLiteral("3 of 4 characters"));
        QTest::keyClicks(grid->editor(), "uv");
        QCOMPARE(length->text(), QStringLiteral("5 of 4 characters"));
        QVERIFY(length->isOver());
        QCOMPARE(length->palette().color(QPalette::WindowText), QColor(200, 0, 0));
        QCOMPARE(length->accessibleName(), QStringLiteral("5 of 4 characters"));
        QVERIFY(length->accessibleDescription().startsWith(QStringLiteral("Too long")));
        QTest::keyClick(grid->editor(), Qt::Key_Backspace);
        QVERIFY(!length->isOver());
        QCOMPARE(length->palette().color(QPalette::WindowText), normal);
        QTest::keyClick(grid->editor(), Qt::Key_Escape);
        QVERIFY(length->isHidden());

        // Navigation speaks through the message pane; a plain move brings "Ready" back.
        grid->SelectOnly(row);
        frame->features().navigation().OnPreviousUntranslated();
        QCOMPARE(frame->messagePane()->text(), QStringLiteral("Search wrapped to the last row."));
        frame->features().navigation().OnPreviousUntranslated();
        QCOMPARE(frame->messagePane()->text(), QStringLiteral("Ready"));
        app.reset();
        setTheDocument(&f->document);
    }
};

RENDARO_GUI_TEST(LiveCountsTest)
#include "live_counts_test.moc"
