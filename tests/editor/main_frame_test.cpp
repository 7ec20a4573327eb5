// The application shell: menu, toolbar, status bar, about box, recent
// files, closing with unsaved changes and command enabling.

#include "gui_test_registry.h"
#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "app/rendaro_app.h"
#include "editor/core/command_actions.h"
#include "editor/filter/filter_bar.h"
#include "editor/memory/suggestions_dock.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

namespace {

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
    {
        // As the menu shows it: the text, then the first shortcut.
        QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
        if (!action->shortcut().isEmpty())
            text += QLatin1Char('\t') + action->shortcut().toString();
        texts << text;
    }
    return texts;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    std::unique_ptr<QSettings> settings;
    ScriptedPrompts prompts;
    std::unique_ptr<CRendaroApp> app;

    CMainFrame *frame() const { return app->mainFrame(); }
    CRendaroView *view() const { return frame()->view(); }
    QAction *action(Command command) const { return frame()->commands()->action(command); }
    QString writeFile(const QString &name, const QList<QByteArray> &lines)
    {
        const QString path = folder.filePath(name);
        writeBytes(path, languageFile("", lines));
        return path;
    }

private slots:
    void init()
    {
        settings = std::make_unique<QSettings>(folder.filePath("settings.ini"), QSettings::IniFormat);
        settings->clear();  // each test starts as a first start
        app = std::make_unique<CRendaroApp>(prompts, *settings);
    }
    void cleanup()
    {
        app.reset();
        settings.reset();
        QVERIFY(prompts.scriptUsed());
        prompts.messages.clear();
    }

    void menuAndToolbarAndStatusBar()
    {
        QVERIFY(app->InitInstance({}));
        QCOMPARE(frame()->windowTitle(), QStringLiteral("Rendaro"));
        QStringList menus;
        for (QAction *menu : frame()->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({"&File", "&Edit", "&View", "&Go", "Tool", "&Help"}));
        QCOMPARE(menuTexts(frame()->fileMenu()),
                 QStringList({"&New\tCtrl+N", "&Open...\tCtrl+O", "Open Language Folder...", "&Save\tCtrl+S",
                              "Save &As...", "Save Only Non-translated String As...", "Save As *.js...",
                              "Save As *.php(Vantor)...", "-", "Apply To...", "Import String From...",
                              "Generate All Language File From this...", "Export for Translation...",
                              "Import Translations...", "Resolve Conflicts...", "-", "Recent File", "-",
                              "E&xit"}));
        QMenu *edit = frame()->menuBar()->actions()[1]->menu();
        QCOMPARE(menuTexts(edit),
                 QStringList({"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "&Cut\tCtrl+X", "&Copy\tCtrl+C",
                              "&Paste\tCtrl+V", "-", "&Search\tCtrl+F", "&Replace...\tCtrl+H",
                              "F&ilter\tCtrl+L", "-", "I&gnore This Warning"}));
        QCOMPARE(menuTexts(frame()->menuBar()->actions()[2]->menu()),
                 QStringList({"&Toolbar", "&Status Bar", "Suggestions", "Checks", "&Preview", "Te&rms", "-", "Hide Translated Item",
                              "Replace Original English", "-", "&Consistency Report..."}));
        QCOMPARE(menuTexts(frame()->menuBar()->actions()[3]->menu()),
                 QStringList({"Next &Untranslated\tCtrl+J", "Previous U&ntranslated\tCtrl+Shift+J", "-",
                              "Next &Problem\tCtrl+K", "Previous P&roblem\tCtrl+Shift+K", "-",
                              "Next &Warning\tF8", "Previous W&arning\tShift+F8", "-",
                              "Next &Misspelling\tF7", "Previous M&isspelling\tShift+F7"}));
        QCOMPARE(menuTexts(frame()->menuBar()->actions()[4]->menu()),
                 QStringList({"Add new string", "Generate ZIV", "Settings", "&Checks...", "Program &Resources...",
                              "&Glossary...", "Add &Term...\tCtrl+T", "-",
                              "Translation &Memory...",
                              "&Pre-translate..."}));
        QCOMPARE(menuTexts(frame()->menuBar()->actions()[5]->menu()), QStringList({"&About Rendaro..."}));

        QCOMPARE(action(Command::EditCut)->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}));
        QCOMPARE(action(Command::EditPaste)->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));

        QStringList tools;
        for (QAction *tool : frame()->toolBar()->actions())
            tools << (tool->isSeparator() ? QStringLiteral("-") : QString::number(tool->data().toInt()));
        QCOMPARE(tools, QStringList({"57600", "57601", "57603", "-", "57635", "57634", "57637", "-", "57664"}));

        QCOMPARE(frame()->messagePane()->text(), QStringLiteral("Ready"));
        QStringList panes;
        for (QLabel *label : frame()->statusBar()->findChildren<QLabel *>())
            panes << label->text();
        // The length, rows, count and spelling panes are empty (and hidden) with nothing shown.
        QCOMPARE(panes, QStringList({"Ready", "", "", "", "", "CAP", "NUM", "SCRL"}));
        action(Command::ViewStatusBar)->trigger();
        QVERIFY(!frame()->statusBar()->isVisible());
        QVERIFY(!action(Command::ViewStatusBar)->isChecked());

        // The Suggestions pane: under the grid, shown, named for the saved
        // window state; View > Suggestions hides it.
        CSuggestionsDock *dock = frame()->suggestionsDock();
        QCOMPARE(dock->objectName(), QStringLiteral("SuggestionsDock"));
        QCOMPARE(frame()->dockWidgetArea(dock), Qt::BottomDockWidgetArea);
        QVERIFY(dock->isVisible());
        dock->toggleViewAction()->trigger();
        QVERIFY(!dock->isVisible());
        QVERIFY(action(Command::TranslationMemory)->isEnabled());
        QVERIFY(!action(Command::PreTranslate)->isEnabled());  // nothing shown
    }

    void firstStartTakesTwoThirdsOfTheScreen()
    {
        QVERIFY(app->InitInstance({}));
        const QRect available = frame()->screen()->availableGeometry();
        QCOMPARE(frame()->size(), available.size() * 2 / 3);
        QVERIFY((frame()->geometry().center() - available.center()).manhattanLength() <= 2);
    }

    void windowStateComesBackInANewWindow()
    {
        QVERIFY(app->InitInstance({}));
        frame()->setGeometry(40, 50, 640, 480);
        action(Command::ViewToolbar)->trigger();
        action(Command::ViewStatusBar)->trigger();
        frame()->features().filter().OnFilter();
        view()->grid()->setColumnWidths({150, 450});
        QVERIFY(frame()->close());

        app = std::make_unique<CRendaroApp>(prompts, *settings);
        QVERIFY(app->InitInstance({}));
        QCOMPARE(frame()->geometry(), QRect(40, 50, 640, 480));
        QVERIFY(frame()->toolBar()->isHidden());
        QVERIFY(!action(Command::ViewToolbar)->isChecked());
        QVERIFY(frame()->statusBar()->isHidden());
        QVERIFY(!action(Command::ViewStatusBar)->isChecked());
        QVERIFY(frame()->features().filter().filterBar()->isVisible());
        // The first column keeps its quarter of the new grid's width.
        const QList<int> widths = view()->grid()->columnWidths();
        QVERIFY(qAbs(widths[0] * 4 - (widths[0] + widths[1])) <= 8);

        // Maximized comes back maximized; the bars come back when shown.
        action(Command::ViewToolbar)->trigger();
        action(Command::ViewStatusBar)->trigger();
        frame()->showMaximized();
        QVERIFY(frame()->close());
        app = std::make_unique<CRendaroApp>(prompts, *settings);
        QVERIFY(app->InitInstance({}));
        QVERIFY(frame()->isMaximized());
        QVERIFY(!frame()->toolBar()->isHidden());
        QVERIFY(!frame()->statusBar()->isHidden());
        QVERIFY(action(Command::ViewStatusBar)->isChecked());
    }

    void filterCommandShowsTheBar()
    {
        const QString path = writeFile("DEU.xml", {R"(<L from="Open" to="Open"/>)", R"(<L from="Save" to="Save"/>)"});
        QVERIFY(app->InitInstance({path}));
        QVERIFY(action(Command::Filter)->isEnabled());
        QVERIFY(!frame()->features().filter().filterBar()->isVisible());
        frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame()));
        action(Command::Filter)->trigger();
        QVERIFY(frame()->features().filter().filterBar()->isVisible());
        QVERIFY(frame()->features().filter().filterBar()->textField()->hasFocus());
        auto *rows = frame()->statusBar()->findChild<QLabel *>("rowsShownPane");
        QVERIFY(rows);
        QCOMPARE(rows->text(), QStringLiteral("showing 2 of 2"));
        frame()->features().filter().filterBar()->textField()->setText("sav");
        frame()->features().filter().filterBar()->flush();
        QCOMPARE(rows->text(), QStringLiteral("showing 1 of 2"));
    }

    void aboutBoxShowsTheVersion()
    {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Rendaro"));
        QCOMPARE(about.versionLabel()->text(), QStringLiteral("Rendaro Version 1, 7, 0, 0"));
        QVERIFY(app->InitInstance({}));
        QString shown;
        prompts.onDialog([&shown](QDialog &dialog) {
            shown = static_cast<CAboutDlg &>(dialog).versionLabel()->text();
            return true;
        });
        action(Command::AppAbout)->trigger();
        QCOMPARE(shown, QStringLiteral("Rendaro Version 1, 7, 0, 0"));
    }

    void commandLineFileAndRecentFiles()
    {
        const QString deu = writeFile("DEU.xml", {R"(<L from="Yes" to="Yes"/>)"});
        QVERIFY(app->InitInstance({deu}));
        QCOMPARE(view()->currentPath(), deu);
        QCOMPARE(view()->title(), QStringLiteral("Rendaro - [%1]").arg(deu));
        QCOMPARE(view()->grid()->GetItemCount(), 1);
        QCOMPARE(frame()->recentFiles().files(), QStringList({deu}));
        QCOMPARE(settings->value("Recent File List/File1").toString(), deu);

        // Four entries at most, the latest first; a file opened again moves up.
        QStringList paths;
        for (const char *name : {"A.xml", "B.xml", "C.xml", "D.xml"})
            paths << writeFile(name, {R"(<L from="x"/>)"});
        for (const QString &path : paths) {
            prompts.answer(PromptAnswer::Yes);
            QCOMPARE(view()->OpenPath(path), CRendaroView::OpenResult::Opened);
        }
        QCOMPARE(frame()->recentFiles().files(), QStringList({paths[3], paths[2], paths[1], paths[0]}));
        prompts.answer(PromptAnswer::Yes);
        frame()->OpenRecentFile(3);
        QCOMPARE(view()->currentPath(), paths[0]);
        QCOMPARE(frame()->recentFiles().files(), QStringList({paths[0], paths[3], paths[2], paths[1]}));
        QCOMPARE(settings->value("Recent File List/File4").toString(), paths[1]);

        // A recent file that is gone is reported and leaves the list.
        QFile::remove(paths[2]);
        prompts.answer(PromptAnswer::Yes);
        frame()->OpenRecentFile(2);
        QCOMPARE(prompts.messages.last().text.left(23), QStringLiteral("Can not open this file."));
        QCOMPARE(frame()->recentFiles().files(), QStringList({paths[0], paths[3], paths[1]}));
        QVERIFY(!settings->contains("Recent File List/File4"));

        // The list is read back by the next start.
        RecentFileList again(*settings);
        QCOMPARE(again.files(), QStringList({paths[0], paths[3], paths[1]}));
        QVERIFY(menuTexts(frame()->fileMenu()).isEmpty() == false);
        emit frame()->fileMenu()->aboutToShow();
        QCOMPARE(menuTexts(frame()->fileMenu())[16], QStringLiteral("&1 %1").arg(paths[0]));
    }

    void closingWithUnsavedChanges()
    {
        const QString deu = writeFile("DEU.xml", {R"(<L from="Yes" to="Yes"/>)"});
        QVERIFY(app->InitInstance({deu}));
        view()->PasteText("No\tNein");
        QVERIFY(view()->isModified());
        prompts.answer(PromptAnswer::Cancel);
        QVERIFY(!frame()->close());
        QVERIFY(frame()->isVisible());
        QCOMPARE(prompts.takeTexts(), QStringList({"Do you want to save current file?"}));
        prompts.answer(PromptAnswer::No);
        QVERIFY(frame()->close());
        QVERIFY(!fileBytes(deu).contains("Nein"));
    }

    void textLeftInTheEditorIsAskedAbout()
    {
        const QString deu = writeFile("DEU.xml", {R"(<L from="Yes" to="Yes"/>)"});
        QVERIFY(app->InitInstance({deu}));
        QVERIFY(view()->grid()->StartEdit(1, 0));
        view()->grid()->editor()->setText("Ja");
        QVERIFY(!view()->isModified());
        prompts.answer(PromptAnswer::Yes);
        QVERIFY(frame()->close());
        QCOMPARE(prompts.takeTexts(), QStringList({"Do you want to save current file?", "Save OK"}));
        QVERIFY(fileBytes(deu).contains(R"(to="Ja")"));
    }

    void commandEnabling()
    {
        QVERIFY(app->InitInstance({}));
        QApplication::clipboard()->clear();
        emit frame()->commands()->aboutToShowMenu();
        for (Command always : {Command::FileNew, Command::FileOpen, Command::FileSave, Command::FileSaveAs,
                               Command::SaveNonTranslated, Command::AppAbout, Command::AppExit,
                               Command::OpenLanguageFolder, Command::ReplaceOriginal, Command::SaveAsJs,
                               Command::SaveAsPhp, Command::Settings})
            QVERIFY(action(always)->isEnabled());
        // Commands nobody handles yet, and Undo, stay disabled.
        for (Command none : {Command::EditUndo, Command::ApplyTo})
            QVERIFY(!action(none)->isEnabled());
        QVERIFY(!action(Command::ImportString)->isEnabled());
        QVERIFY(!action(Command::Search)->isEnabled());
        QVERIFY(!action(Command::HideTranslated)->isEnabled());
        QVERIFY(action(Command::HideTranslated)->isChecked());
        QVERIFY(!action(Command::EditPaste)->isEnabled());

        const QString deu = writeFile("DEU.xml", {R"(<L from="Yes" to="Yes"/>)", R"(<L from="No" to="Nein"/>)"});
        QCOMPARE(view()->OpenPath(deu), CRendaroView::OpenResult::Opened);
        QVERIFY(action(Command::Search)->isEnabled());
        QVERIFY(action(Command::HideTranslated)->isEnabled());
        QVERIFY(action(Command::ImportString)->isEnabled());
        QVERIFY(!action(Command::EditCut)->isEnabled());
        QVERIFY(view()->grid()->StartEdit(1, 0));
        QVERIFY(action(Command::EditCut)->isEnabled());
        QVERIFY(action(Command::EditCopy)->isEnabled());
        QApplication::clipboard()->setText("x");
        QVERIFY(action(Command::EditPaste)->isEnabled());

        action(Command::HideTranslated)->trigger();
        QVERIFY(!action(Command::HideTranslated)->isChecked());
        QCOMPARE(view()->grid()->GetItemCount(), 2);
    }
};

RENDARO_GUI_TEST(MainFrameTest)
#include "main_frame_test.moc"
