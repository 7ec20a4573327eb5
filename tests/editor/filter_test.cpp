// The quick filter bar: text, states and toggles together with Hide
// Translated Item, the selection kept, navigation and search skipping the
// rows it hides, Esc, typing applied once it pauses, and the Changed and
// Misspelled states.

#include "gui_test_registry.h"
#include "editor/filter/filter_bar.h"
#include "editor_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

class FilterTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    CFilterBar *bar() const { return f->filter().filterBar(); }

    // Rows in order: "Close file" and "Open file" untranslated, "Open
    // folder" translated, "Print %s" failing its placeholder check, "Quit"
    // not to be translated, "Save" translated.
    void openSample()
    {
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", {
                                                            R"(<L from="Close file" to="Close file" key="IDS_CLOSE"/>)",
                                                            R"(<L from="Open file" to="Open file" key="IDS_OPEN"/>)",
                                                            R"(<L from="Open folder" to="Ordner öffnen" key="IDS_DIR"/>)",
                                                            R"(<L from="Print %s" to="Drucken" key="IDS_PRINT"/>)",
                                                            R"(<L from="Quit" to="Quit" IsTrans="false" key="IDS_QUIT"/>)",
                                                            R"(<L from="Save" to="Sichern" key="IDS_SAVE"/>)",
                                                        })));
        f->view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->view));
        f->filter().OnFilter();
    }
    // Types the text into the bar and applies it without waiting for the pause.
    void filterBy(const QString &text)
    {
        bar()->textField()->setText(text);
        bar()->flush();
    }
    QStringList shown() const
    {
        QStringList originals;
        for (int row = 0; row < f->grid->GetItemCount(); ++row)
            originals << f->view->DisplayedToOriginal(row);
        return originals;
    }
    QString selectedOriginal() const
    {
        const int row = f->grid->FirstSelectedRow();
        return row < 0 ? QString() : f->view->DisplayedToOriginal(row);
    }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup()
    {
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
    }

    void textAndStatesApplyWithHideTranslated()
    {
        openSample();
        QVERIFY(bar()->isVisible());
        QVERIFY(bar()->textField()->hasFocus());
        // Hide Translated Item is on: the translated rows stay hidden.
        QCOMPARE(shown(), QStringList({"Close file", "Open file", "Quit"}));
        QCOMPARE(f->filter().rowsShownText(), QStringLiteral("showing 3 of 6"));
        filterBy("OPEN");
        QCOMPARE(shown(), QStringList({"Open file"}));
        QCOMPARE(f->filter().rowsShownText(), QStringLiteral("showing 1 of 6"));
        f->run(Command::HideTranslated);
        QCOMPARE(shown(), QStringList({"Open file", "Open folder"}));
        // The translation counts as well as the original.
        filterBy("öffnen");
        QCOMPARE(shown(), QStringList({"Open folder"}));
        bar()->matchCaseBox()->setChecked(true);
        filterBy("Öffnen");
        QCOMPARE(shown(), QStringList());
        bar()->matchCaseBox()->setChecked(false);
        QCOMPARE(shown(), QStringList({"Open folder"}));

        // Keys count only with the toggle.
        filterBy("IDS_S");
        QCOMPARE(shown(), QStringList());
        bar()->keysBox()->setChecked(true);
        QCOMPARE(shown(), QStringList({"Save"}));
        filterBy("IDS_");
        QCOMPARE(shown().size(), 6);

        // States, alone and with the text and Hide Translated Item.
        filterBy(QString());
        bar()->setState(EntryFilterState::Untranslated);
        QCOMPARE(shown(), QStringList({"Close file", "Open file"}));  // "Quit" is not to be translated
        bar()->setState(EntryFilterState::Problems);
        QCOMPARE(shown(), QStringList({"Print %s"}));
        bar()->setState(EntryFilterState::NotTranslatable);
        QCOMPARE(shown(), QStringList({"Quit"}));
        bar()->setState(EntryFilterState::Untranslated);
        filterBy("close");
        QCOMPARE(shown(), QStringList({"Close file"}));
        filterBy(QString());
        f->run(Command::HideTranslated);
        bar()->setState(EntryFilterState::Problems);
        QCOMPARE(shown(), QStringList());  // its translation hides the problem row
        QCOMPARE(f->filter().rowsShownText(), QStringLiteral("showing 0 of 6"));
    }

    void selectionStaysWhileItsRowIsShown()
    {
        openSample();
        f->run(Command::HideTranslated);
        f->grid->SelectOnly(f->rowOf("Open folder"));
        filterBy("o");
        QCOMPARE(selectedOriginal(), QStringLiteral("Open folder"));
        filterBy("open");  // narrowing: the rows shown are the start
        QCOMPARE(shown(), QStringList({"Open file", "Open folder"}));
        QCOMPARE(selectedOriginal(), QStringLiteral("Open folder"));
        filterBy("open fi");
        QCOMPARE(selectedOriginal(), QString());
        QCOMPARE(f->grid->FirstSelectedRow(), -1);
    }

    void navigationAndSearchSkipHiddenRows()
    {
        openSample();
        filterBy("file");
        QCOMPARE(shown(), QStringList({"Close file", "Open file"}));
        f->grid->SelectOnly(f->rowOf("Open file"));
        // Next Untranslated wraps to the first row shown.
        f->navigation().OnNextUntranslated();
        QCOMPARE(selectedOriginal(), QStringLiteral("Close file"));
        // A search for a hidden row finds nothing, after the wrap question.
        f->prompts.answer(PromptAnswer::Yes);
        f->search().setSearch(QStringLiteral("Quit"), f->search().matchCase());
        f->search().FindNext();
        QCOMPARE(selectedOriginal(), QStringLiteral("Close file"));
        QCOMPARE(f->prompts.messages.size(), 2);  // the wrap question and "finished"
        // Next Problem sees no problem row while the text hides it.
        f->run(Command::HideTranslated);
        filterBy("f");
        QVERIFY(!shown().contains("Print %s"));
        f->navigation().OnNextProblem();
        QCOMPARE(selectedOriginal(), QString());
        filterBy("");
        f->grid->SelectOnly(0);
        f->navigation().OnNextProblem();
        QCOMPARE(selectedOriginal(), QStringLiteral("Print %s"));
    }

    void escClearsThenCloses()
    {
        openSample();
        bar()->setState(EntryFilterState::Untranslated);
        QTest::keyClicks(bar()->textField(), "open");
        QVERIFY(bar()->isPending());
        QTest::keyClick(bar()->textField(), Qt::Key_Escape);
        QVERIFY(bar()->isClear());
        QVERIFY(!bar()->isPending());
        QCOMPARE(shown(), QStringList({"Close file", "Open file", "Quit"}));
        QVERIFY(bar()->isVisible());
        QTest::keyClick(bar()->textField(), Qt::Key_Escape);
        QVERIFY(!bar()->isVisible());
        QVERIFY(f->grid->hasFocus());
    }

    void typingAppliesOncePaused()
    {
        openSample();
        QSignalSpy changes(bar(), &CFilterBar::filterChanged);
        QTest::keyClicks(bar()->textField(), "clo");
        QCOMPARE(changes.size(), 0);  // no pass per keystroke
        QCOMPARE(shown().size(), 3);
        QTRY_COMPARE(shown(), QStringList({"Close file"}));
        QCOMPARE(changes.size(), 1);
        // The other fields apply at once.
        bar()->keysBox()->setChecked(true);
        QCOMPARE(changes.size(), 2);
    }

    void changedFollowsEditsAndUndo()
    {
        openSample();
        bar()->setState(EntryFilterState::Changed);
        QCOMPARE(shown(), QStringList());
        bar()->setState(EntryFilterState::All);
        f->editTranslation(f->rowOf("Open file"), "Datei öffnen");
        // The edited row stays until the filter is applied again.
        bar()->setState(EntryFilterState::Untranslated);
        QCOMPARE(shown(), QStringList({"Close file"}));
        bar()->setState(EntryFilterState::Changed);
        f->run(Command::HideTranslated);
        QCOMPARE(shown(), QStringList({"Open file"}));
        // Back at the state the file was opened with, it is no longer changed.
        f->run(Command::EditUndo);
        f->filter().ApplyFilter();
        QCOMPARE(shown(), QStringList());
        f->run(Command::EditRedo);
        f->filter().ApplyFilter();
        QCOMPARE(shown(), QStringList({"Open file"}));
    }

    void misspelledWaitsForSpelling()
    {
        openSample();
        const auto *states = qobject_cast<QStandardItemModel *>(bar()->stateChoice()->model());
        const int misspelled = bar()->stateChoice()->findText("Misspelled");
        QVERIFY(misspelled > 0);
        QVERIFY(!states->item(misspelled)->isEnabled());
        f->filter().SetSpellingAvailable(true);
        QVERIFY(states->item(misspelled)->isEnabled());
        f->run(Command::HideTranslated);
        bar()->setState(EntryFilterState::Misspelled);
        QCOMPARE(shown(), QStringList());
        const CXMLStruct *catalogue = f->document.findCatalogue(f->view->currentCatalogueId());
        f->filter().SetMisspelledEntries({catalogue->entries.lookup(QStringLiteral("Save"))});
        QCOMPARE(shown(), QStringList({"Save"}));
        // Spelling switched off: the choice goes back to All.
        f->filter().SetSpellingAvailable(false);
        QCOMPARE(bar()->state(), EntryFilterState::All);
        QCOMPARE(shown().size(), 6);
    }

    void consistencySelectionClearsTheFilter()
    {
        openSample();
        filterBy("file");
        QVERIFY(f->view->SelectOriginal(QStringLiteral("Save")));
        QVERIFY(bar()->isClear());
        QVERIFY(!f->view->hideTranslated());
        QCOMPARE(selectedOriginal(), QStringLiteral("Save"));
    }
};

RENDARO_GUI_TEST(FilterTest)
#include "filter_test.moc"
