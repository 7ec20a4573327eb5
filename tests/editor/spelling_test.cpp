// Spelling in the editor, with Debian's de_DE dictionary: the background
// check marks rows and counts them, edits and undo are checked at once,
// the in-place editor underlines misspelled words as they are typed (drawn
// in red where the word stands) and offers suggestions, Add to Dictionary
// and Ignore; Next/Previous Misspelling; the dictionary from the file name,
// a missing one named with its package, the choice in Settings, and the
// main window's spelling pane.

#include "gui_test_registry.h"
#include "app/main_frame.h"
#include "app/rendaro_app.h"
#include "controls/report_cell_delegate.h"
#include "controls/status_panes.h"
#include "controls/underlined_line_edit.h"
#include "editor/core/command_actions.h"
#include "editor/filter/filter_bar.h"
#include "editor/core/max_length_setting_dlg.h"
#include "editor/spelling/spelling_session.h"
#include "editor_fixture.h"
#include "spelling/personal_word_list.h"
#include "test_support.h"

#include <QComboBox>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTest>

namespace {

// In row order: two misspelled translations, a clean one, and misspellings
// where none is looked for (untranslated, not to be translated).
const QList<QByteArray> kGermanRows = {
    R"(<L from="Alpha" to="Die Dattei fehlt"/>)",
    R"(<L from="Bravo" to="Alles gut"/>)",
    R"(<L from="Charlie" to="Charlie"/>)",
    R"(<L from="Delta" to="Über Rendaro und Zaphod"/>)",
    R"(<L from="Echo" to="Mispeled" IsTrans="false"/>)",
    R"(<L from="&amp;Save %s/nDone" to="&amp;Speichern %s/nFertig"/>)",
};

QStringList actionTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QAction *actionNamed(const QMenu &menu, const QString &text)
{
    for (QAction *action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class SpellingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<EditorFixture> f;
    QByteArray previousData;

    const StringEntry *entry(const QString &original) const
    {
        return f->document.findCatalogue(f->view->currentCatalogueId())->entries.lookup(original);
    }
    // The rows as a file (no translation too long).
    QString writeRows(const QString &name)
    {
        return f->writeLanguageFile(name, kGermanRows, "AllowLength=\"10.000000\" CodeType=\"CPlus2\"");
    }
    // Opens a file with every row shown and waits for the background check.
    void openChecked(const QString &name)
    {
        QSignalSpy finished(f->spelling().spelling(), &SpellingSession::checkFinished);
        QVERIFY(f->open(writeRows(name)));
        f->run(Command::HideTranslated);
        QVERIFY(finished.wait(20000));
    }
    CUnderlinedLineEdit *editor() const { return static_cast<CUnderlinedLineEdit *>(f->grid->editor()); }
    QString markOf(int row) const
    {
        auto *delegate = static_cast<ReportCellDelegate *>(f->grid->itemDelegate());
        return delegate->cellMark(f->grid->rowModel()->index(row, 1));
    }
    QString selectedOriginal() const
    {
        const int row = f->grid->FirstSelectedRow();
        return row < 0 ? QString() : f->view->DisplayedToOriginal(row);
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        previousData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", folder->filePath("data").toUtf8());
        settings = std::make_unique<QSettings>(folder->filePath("settings.ini"), QSettings::IniFormat);
        f = std::make_unique<EditorFixture>();
        f->features->setSpellingSettings(settings.get());
    }
    void cleanup()
    {
        f.reset();
        settings.reset();
        qputenv("XDG_DATA_HOME", previousData);
    }

    void backgroundCheckMarksAndCountsRows()
    {
        QSignalSpy changes(&f->spelling(), &SpellingFeature::misspellingsChanged);
        openChecked("ViewResDEU.xml");
        QVERIFY(changes.count() >= 1);
        QCOMPARE(f->spelling().spellingStatus(), QStringLiteral("Spelling: de_DE"));
        QVERIFY(f->spelling().isMisspelled(entry("Alpha")));
        QVERIFY(f->spelling().isMisspelled(entry("Delta")));
        for (const char *clean : {"Bravo", "Charlie", "Echo", "&Save %s\\nDone"})
            QVERIFY2(!f->spelling().isMisspelled(entry(clean)), clean);
        QCOMPARE(f->counts().countsText(), QStringLiteral("6 strings, 1 untranslated, 0 problems, 2 misspelled"));
        QCOMPARE(markOf(f->rowOf("Alpha")), QStringLiteral("Misspelled: Dattei"));
        QCOMPARE(markOf(f->rowOf("Delta")), QStringLiteral("Misspelled: Rendaro, Zaphod"));
        QCOMPARE(markOf(f->rowOf("Bravo")), QString());
        // Screen readers get the mark as the cell's description.
        const QModelIndex alpha = f->grid->rowModel()->index(f->rowOf("Alpha"), 1);
        QCOMPARE(alpha.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Misspelled: Dattei"));
        QVERIFY(f->grid->rowModel()->index(f->rowOf("Bravo"), 1).data(Qt::AccessibleDescriptionRole).isNull());

        // An edit is checked at once, both ways; undo brings the mark back.
        f->editTranslation(f->rowOf("Alpha"), "Die Datei fehlt");
        QVERIFY(!f->spelling().isMisspelled(entry("Alpha")));
        f->editTranslation(f->rowOf("Bravo"), "Alles gutt");
        QVERIFY(f->spelling().isMisspelled(entry("Bravo")));
        QCOMPARE(markOf(f->rowOf("Bravo")), QStringLiteral("Misspelled: gutt"));
        QCOMPARE(f->counts().countsText(), QStringLiteral("6 strings, 1 untranslated, 0 problems, 2 misspelled"));
        f->run(Command::EditUndo);
        f->run(Command::EditUndo);
        QVERIFY(f->spelling().isMisspelled(entry("Alpha")));
        QVERIFY(!f->spelling().isMisspelled(entry("Bravo")));
        // A translation marked not to be translated is not checked.
        f->run(Command::EditRedo);
        QVERIFY(f->spelling().isMisspelled(entry("Alpha")) == false);
        const QRect cell = f->grid->visualRect(f->grid->rowModel()->index(f->rowOf("Delta"), 0));
        QTest::mouseClick(f->grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.left() + f->grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                                 cell.center().y()));
        QCOMPARE(f->storedTranslatable("Delta"), 0);
        QVERIFY(!f->spelling().isMisspelled(entry("Delta")));
        QCOMPARE(f->counts().countsText(), QStringLiteral("6 strings, 1 untranslated, 0 problems, 0 misspelled"));

        // Closing leaves nothing marked or counted.
        f->view->ResetView();
        QCOMPARE(f->counts().countsText(), QString());
        QCOMPARE(f->spelling().spellingStatus(), QString());
    }

    void editorUnderlinesMisspelledWordsAsTheyAreTyped()
    {
        openChecked("ViewResDEU.xml");
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Bravo")));
        QVERIFY(editor()->underlines().isEmpty());
        QTest::keyClicks(editor(), "Die Dattei");  // replaces the selected text
        QCOMPARE(editor()->underlines(), QList<CUnderlinedLineEdit::Stretch>({{4, 6}}));
        QCOMPARE(editor()->accessibleDescription(), QStringLiteral("Misspelled: Dattei"));
        QTest::keyClicks(editor(), " %s &Ordnr\\nfehlt");
        QCOMPARE(editor()->underlines(), QList<CUnderlinedLineEdit::Stretch>({{4, 6}, {14, 6}}));
        editor()->setText("Ordner OK");
        QVERIFY(editor()->underlines().isEmpty());
        QCOMPARE(editor()->accessibleDescription(), QString());

        // The wave is drawn in red under the misspelled word only.
        editor()->setText("Gut Dattei gut");
        editor()->setCursorPosition(0);
        const QImage image = editor()->grab().toImage();  // where the lines are is known after a paint
        const QRect wrong = editor()->underlineRect({4, 6});
        const QRect right = editor()->underlineRect({0, 3});
        QVERIFY(!wrong.isEmpty());
        QVERIFY(wrong.left() > right.right());
        QVERIFY(wrong.width() > right.width());
        // The columns of a stretch with a reddish pixel (antialiased: red
        // blended with the background).
        auto redColumns = [&image](const QRect &rect) {
            int columns = 0;
            for (int x = rect.left(); x <= rect.right(); ++x) {
                bool red = false;
                for (int y = rect.top(); y <= rect.bottom(); ++y) {
                    const QColor c = image.pixelColor(x, y);
                    red = red || (c.red() > 150 && c.red() - c.green() > 50 && c.red() - c.blue() > 50);
                }
                columns += red;
            }
            return columns;
        };
        QVERIFY(redColumns(wrong) >= wrong.width() * 3 / 4);
        QCOMPARE(redColumns(right), 0);

        // Closing the editor clears the lines.
        QTest::keyClick(editor(), Qt::Key_Escape);
        QVERIFY(editor()->underlines().isEmpty());
    }

    void contextMenuSuggestsAddsAndIgnores()
    {
        openChecked("ViewResDEU.xml");
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Bravo")));
        editor()->setText("&Dattei speichern");

        // On a correct word, only the standard actions.
        std::unique_ptr<QMenu> plain(editor()->createContextMenu(10));
        QVERIFY(!actionNamed(*plain, "Add to Dictionary"));
        const int standard = int(plain->actions().size());

        std::unique_ptr<QMenu> menu(editor()->createContextMenu(3));
        const QStringList texts = actionTexts(*menu);
        const qsizetype add = texts.indexOf("Add to Dictionary");
        QVERIFY2(add > 1, qPrintable(texts.join('|')));
        QCOMPARE(texts.mid(add, 3), QStringList({"Add to Dictionary", "Ignore", "-"}));
        QCOMPARE(texts[add - 1], QStringLiteral("-"));
        QVERIFY(add - 1 <= 8);  // at most eight suggestions
        QCOMPARE(texts.size(), add + 3 + standard);
        QVERIFY(texts.mid(0, add - 1).contains("Datei"));
        // A suggestion takes the word's place, its accelerator mark kept.
        actionNamed(*menu, "Datei")->trigger();
        QCOMPARE(editor()->text(), QStringLiteral("&Datei speichern"));
        QVERIFY(editor()->underlines().isEmpty());
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(f->storedTranslation("Bravo"), QStringLiteral("&Datei speichern"));

        // Add to Dictionary: kept in the user's list, the row loses its mark.
        QVERIFY(f->spelling().isMisspelled(entry("Delta")));
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Delta")));
        QCOMPARE(editor()->underlines().size(), 2);
        menu.reset(editor()->createContextMenu(7));  // in "Rendaro"
        actionNamed(*menu, "Add to Dictionary")->trigger();
        QCOMPARE(ReadPersonalWords("de_DE"), QStringList({"Rendaro"}));
        QCOMPARE(editor()->underlines(), QList<CUnderlinedLineEdit::Stretch>({{17, 6}}));
        QCOMPARE(markOf(f->rowOf("Delta")), QStringLiteral("Misspelled: Zaphod"));
        // Ignore: for this run of the program only.
        menu.reset(editor()->createContextMenu(20));
        actionNamed(*menu, "Ignore")->trigger();
        QVERIFY(editor()->underlines().isEmpty());
        QVERIFY(!f->spelling().isMisspelled(entry("Delta")));
        QCOMPARE(ReadPersonalWords("de_DE"), QStringList({"Rendaro"}));
        QVERIFY(f->prompts.messages.isEmpty());

        // A list that cannot be written is named, and the word stays marked.
        QTest::keyClick(editor(), Qt::Key_Escape);
        writeBytes(folder->filePath("blocker"), "a file where the data folder should be");
        qputenv("XDG_DATA_HOME", folder->filePath("blocker").toUtf8());
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Alpha")));
        menu.reset(editor()->createContextMenu(6));
        actionNamed(*menu, "Add to Dictionary")->trigger();
        QCOMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith("Can not add \"Dattei\" to the dictionary."));
        QCOMPARE(editor()->underlines().size(), 1);
    }

    void nextAndPreviousMisspelling()
    {
        openChecked("ViewResDEU.xml");
        QSignalSpy messages(f->view, &CRendaroView::statusMessage);
        f->grid->clearSelection();
        QTest::keyClick(f->grid, Qt::Key_F7);
        QCOMPARE(selectedOriginal(), QStringLiteral("Alpha"));
        QTest::keyClick(f->grid, Qt::Key_F7);
        QCOMPARE(selectedOriginal(), QStringLiteral("Delta"));
        QTest::keyClick(f->grid, Qt::Key_F7);
        QCOMPARE(selectedOriginal(), QStringLiteral("Alpha"));
        QCOMPARE(messages.last()[0].toString(), QStringLiteral("Search wrapped to the first row."));
        QTest::keyClick(f->grid, Qt::Key_F7, Qt::ShiftModifier);
        QCOMPARE(selectedOriginal(), QStringLiteral("Delta"));
        QCOMPARE(messages.last()[0].toString(), QStringLiteral("Search wrapped to the last row."));

        // From the in-place editor: its text is kept first, and a word
        // misspelled in it counts at once.
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Bravo")));
        editor()->setText("Alles gutt");
        QTest::keyClick(editor(), Qt::Key_F7, Qt::ShiftModifier);
        QVERIFY(!f->grid->isEditing());
        QCOMPARE(f->storedTranslation("Bravo"), QStringLiteral("Alles gutt"));
        QCOMPARE(selectedOriginal(), QStringLiteral("Alpha"));
        f->spelling().OnNextMisspelling();
        QCOMPARE(selectedOriginal(), QStringLiteral("Bravo"));

        // Hide Translated Item hides every marked row: it is switched off,
        // and the search goes on from the entry that was selected.
        f->run(Command::HideTranslated);
        QVERIFY(f->view->hideTranslated());
        f->grid->SelectOnly(f->rowOf("Charlie"));
        f->spelling().OnNextMisspelling();
        QVERIFY(!f->view->hideTranslated());
        QCOMPARE(f->grid->GetItemCount(), 6);
        QCOMPARE(selectedOriginal(), QStringLiteral("Delta"));
        QCOMPARE(messages.last()[0].toString(),
                 QStringLiteral("Hide Translated Item was switched off to show the misspelled translations."));
        // With no misspelled word at all, it stays on.
        for (const char *original : {"Alpha", "Bravo", "Delta"})
            f->editTranslation(f->rowOf(original), "Gut");
        f->run(Command::HideTranslated);
        f->spelling().OnNextMisspelling();
        QVERIFY(f->view->hideTranslated());
        QCOMPARE(messages.last()[0].toString(), QStringLiteral("No misspelled word."));

        CommandActions *commands = &f->commands;
        QVERIFY(commands->action(Command::NextMisspelling)->isEnabled());
        QCOMPARE(commands->action(Command::NextMisspelling)->shortcut(), QKeySequence(Qt::Key_F7));
        QCOMPARE(commands->action(Command::PreviousMisspelling)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F7));
    }

    void filterBarShowsTheMisspelledRows()
    {
        CFilterBar *bar = f->filter().filterBar();
        QVERIFY(!bar->isMisspelledAvailable());  // nothing shown, no dictionary
        openChecked("ViewResDEU.xml");
        QVERIFY(bar->isMisspelledAvailable());
        bar->setState(EntryFilterState::Misspelled);
        QCOMPARE(f->grid->GetItemCount(), 2);
        QVERIFY(f->rowOf("Alpha") >= 0 && f->rowOf("Delta") >= 0);

        // Edits are checked at once; the filter shows them when it is
        // applied again (a mended row stays until then, as in other states).
        bar->setState(EntryFilterState::All);
        f->editTranslation(f->rowOf("Bravo"), "Alles gutt");
        bar->setState(EntryFilterState::Misspelled);
        QCOMPARE(f->grid->GetItemCount(), 3);
        f->editTranslation(f->rowOf("Alpha"), "Die Datei fehlt");
        QCOMPARE(f->grid->GetItemCount(), 3);
        f->filter().ApplyFilter();
        QCOMPARE(f->grid->GetItemCount(), 2);
        QCOMPARE(f->rowOf("Alpha"), -1);
        QCOMPARE(f->filter().rowsShownText(), QStringLiteral("showing 2 of 6"));

        // Opened with Misspelled chosen, the rows arrive with the check.
        QSignalSpy finished(f->spelling().spelling(), &SpellingSession::checkFinished);
        f->prompts.answer(PromptAnswer::No);   // the edits above are not saved
        f->prompts.answer(PromptAnswer::Yes);  // and are let go
        QVERIFY(f->open(writeRows("BackResDEU.xml")));
        QVERIFY(finished.wait(20000));
        QCOMPARE(bar->state(), EntryFilterState::Misspelled);
        QCOMPARE(f->grid->GetItemCount(), 2);

        // A file in a language without a dictionary offers no Misspelled rows.
        f->view->ResetView();
        QVERIFY(f->open(f->writeLanguageFile("ViewResXYZ.xml", kGermanRows)));
        QVERIFY(!bar->isMisspelledAvailable());
        QCOMPARE(bar->state(), EntryFilterState::All);
    }

    void dictionaryFromTheNameOrSettings()
    {
        // No dictionary for the language: off, naming what is missing.
        QVERIFY(f->open(writeRows("ViewResFIN.xml")));
        QCOMPARE(f->spelling().spellingStatus(),
                 QStringLiteral("Spelling off: no fi_FI dictionary (no Debian package provides it)"));
        QCOMPARE(f->counts().countsText(), QStringLiteral("6 strings, 1 untranslated, 0 problems"));
        QSignalSpy messages(f->view, &CRendaroView::statusMessage);
        f->spelling().OnNextMisspelling();
        QCOMPARE(messages.last()[0].toString(), f->spelling().spellingStatus());

        // A name without a language code; Settings then chooses de_DE.
        const QString path = writeRows("strings.xml");
        f->prompts.answer(PromptAnswer::Yes);  // close the shown file
        QVERIFY(f->open(path));
        QVERIFY(f->spelling().spellingStatus().startsWith("Spelling off: the file name names no language"));
        QStringList offered;
        f->prompts.onDialog([&offered](QDialog &dialog) {
            QComboBox *box = static_cast<CMaxLengthSettingDlg &>(dialog).dictionaryBox();
            for (int i = 0; i < box->count(); ++i)
                offered << box->itemText(i);
            box->setCurrentIndex(box->findData("de_DE"));
            dialog.accept();
            return true;
        });
        QSignalSpy finished(f->spelling().spelling(), &SpellingSession::checkFinished);
        f->run(Command::Settings);
        QCOMPARE(offered.mid(0, 2), QStringList({"From the file name (it names no language)", "Off"}));
        QVERIFY(offered.contains("en_US"));
        QVERIFY(finished.wait(20000));
        QCOMPARE(f->spelling().spellingStatus(), QStringLiteral("Spelling: de_DE"));
        QVERIFY(f->spelling().isMisspelled(entry("Alpha")));
        QCOMPARE(f->spelling().spelling()->choiceFor(path), QStringLiteral("de_DE"));

        // The choice is kept for the file: opened again, it is used again.
        // (Settings' OK counts as a change of the file: the save question.)
        f->prompts.answer(PromptAnswer::No);
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->open(writeRows("other.xml")));
        QVERIFY(f->spelling().spellingStatus().startsWith("Spelling off"));
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->open(path));
        QCOMPARE(f->spelling().spellingStatus(), QStringLiteral("Spelling: de_DE, checking..."));

        // Off, in Settings, turns it off; the counts lose their word.
        f->prompts.onDialog([](QDialog &dialog) {
            QComboBox *box = static_cast<CMaxLengthSettingDlg &>(dialog).dictionaryBox();
            box->setCurrentIndex(box->findText("Off"));
            dialog.accept();
            return true;
        });
        f->run(Command::Settings);
        QCOMPARE(f->spelling().spellingStatus(), QStringLiteral("Spelling off"));
        QVERIFY(!f->spelling().isMisspelled(entry("Alpha")));
        QCOMPARE(f->counts().countsText(), QStringLiteral("6 strings, 1 untranslated, 0 problems"));
    }

    void mainWindowShowsTheDictionary()
    {
        const QString path = writeRows("ALL_DEU.xml");
        setTheDocument(nullptr);  // the application makes its own
        ScriptedPrompts prompts;
        auto app = std::make_unique<CRendaroApp>(prompts, *settings);
        QVERIFY(app->InitInstance({}));
        CMainFrame *frame = app->mainFrame();
        auto *pane = frame->statusBar()->findChild<CSpellingPane *>();
        QVERIFY(pane);
        QVERIFY(pane->isHidden());
        QSignalSpy finished(frame->features().spelling().spelling(), &SpellingSession::checkFinished);
        QVERIFY(frame->view()->OpenPath(path) == CRendaroView::OpenResult::Opened);
        QCOMPARE(pane->text(), QStringLiteral("Spelling: de_DE, checking..."));
        QVERIFY(finished.wait(20000));
        QCOMPARE(pane->text(), QStringLiteral("Spelling: de_DE"));
        QCOMPARE(pane->accessibleName(), pane->text());
        app.reset();
        setTheDocument(&f->document);
    }
};

RENDARO_GUI_TEST(SpellingTest)
#include "spelling_test.moc"
