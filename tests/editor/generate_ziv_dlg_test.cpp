// The generate-and-pack dialog over a branch made of the pipeline's test
// program: its enabling rule, the lists and their toggles, the three steps
// (the import on the worker thread while the timer shows its progress),
// closing during the import, and the editor's Generate ZIV command.

#include "gui_test_registry.h"
#include "batch_dialogs/generate_ziv_dlg.h"
#include "batch/pack_project_table.h"
#include "editor_fixture.h"
#include "test_support.h"
#include "thread_gate.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <thread>

namespace {

const QString kPackFixtures = QStringLiteral(RENDARO_TESTS_DIR "/batch/fixtures");

using Id = CGenerateZIVDlg::ControlId;

} // namespace

class GenerateZivDlgTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    ScriptedPrompts prompts;
    Gate gate;
    std::unique_ptr<CGenerateZIVDlg> dialog;

    QString branch() const { return folder.filePath("branch"); }
    QString catalogue(const QString &project, const QString &language) const
    {
        return branch() + "/Exe/Lang/" + language + "/" + project + language + ".xml";
    }
    static void writeAt(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(writeBytes(path, bytes));
    }
    // ViewRes (the test program) in ENG and DEU, an empty FRA folder.
    void makeBranch()
    {
        QDir(folder.path()).removeRecursively();
        QDir().mkpath(branch() + "/Exe/Lang/FRA");
        QDir().mkpath(branch() + "/Source/View");
        QVERIFY(QFile::copy(kPackFixtures + "/View.exe", branch() + "/Exe/View.exe"));
        QVERIFY(QFile::copy(kPackFixtures + "/resource.h", branch() + "/Source/View/resource.h"));
        writeAt(catalogue("ViewRes", "ENG"), languageFile("", {R"(<L from="Hello" to="Hello"/>)"}));
        writeAt(catalogue("ViewRes", "DEU"), languageFile("", {R"(<L from="Hello" to="Hallo"/>)"}));
    }
    static QString translationIn(const QString &path, const QString &original)
    {
        CRendaroDoc reader;
        const int id = reader.LoadCatalogue(path, false);
        return id >= 0 && reader.HasEntry(original, id) ? reader.GetTranslation(id, original) : QString();
    }

    QWidget *control(int id) const { return dialog->control(id); }
    QLineEdit *edit(int id) const { return static_cast<QLineEdit *>(control(id)); }
    QPushButton *button(int id) const { return static_cast<QPushButton *>(control(id)); }
    QList<int> enabledOf(const QList<int> &ids) const
    {
        QList<int> enabled;
        for (const int id : ids) {
            if (control(id)->isEnabled())
                enabled << id;
        }
        return enabled;
    }
    static QStringList texts(const QListWidget *list, bool selectedOnly = false)
    {
        QStringList result;
        for (int row = 0; row < list->count(); ++row) {
            if (!selectedOnly || list->item(row)->isSelected())
                result << list->item(row)->text();
        }
        return result;
    }
    void browse(const QString &path)
    {
        edit(Id::BranchEditId)->setText(path);
        button(Id::BrowseId)->click();
    }
    // Holds the import when it starts on its first language.
    void holdImport()
    {
        dialog->handler().SetLogListener([this](const QString &line) {
            if (line.startsWith("Load Translated File"))
                gate.arriveAndWait();
        });
    }
    void writeTranslated(const QString &language, const QByteArray &hello)
    {
        writeAt(folder.filePath("in/ALL_" + language + ".xml"),
                languageFile("", {"<L from=\"Hello\" to=\"" + hello + "\"/>"}));
    }

    // Every control the rule may disable, and the ones it never does.
    const QList<int> stepControls = {Id::BrowseId,         Id::AddNewStringsId,    Id::ChooseGeneratedId,
                                     Id::GeneratedEditId,  Id::SaveAllStringsId,   Id::ToggleProjectsId,
                                     Id::ToggleLanguagesId, Id::ProjectListId,     Id::LanguageListId,
                                     Id::TranslatedEditId, Id::ChooseTranslatedId, Id::ImportId};
    const QList<int> alwaysEnabled = {Id::BranchEditId, Id::DevicePackEditId, Id::ChooseBranchId,
                                      Id::ChooseDevicePackId, Id::ExitId};

private slots:
    void initTestCase()
    {
        // The settings the command reads live in the test's own folder.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath("config")));
        qunsetenv(kProjectTableVariable);
    }
    void init()
    {
        makeBranch();
        gate.open = gate.reached = false;
        dialog = std::make_unique<CGenerateZIVDlg>(prompts, BuiltInProjectTable());
        dialog->show();
    }
    void cleanup()
    {
        gate.release();
        dialog.reset();
        QVERIFY(prompts.scriptUsed());
        prompts.messages.clear();
        prompts.fileDialogs.clear();
    }

    void enablingRuleAcrossStates()
    {
        // Opened with the default folders: Browse and Step 3 at once.
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Generate new string And Pack"));
        QVERIFY(!edit(Id::BranchEditId)->text().isEmpty());
        QCOMPARE(edit(Id::DevicePackEditId)->text(), QString());
        QCOMPARE(enabledOf({Id::BrowseId, Id::AddNewStringsId, Id::SaveAllStringsId, Id::ToggleProjectsId,
                            Id::TranslatedEditId, Id::ChooseTranslatedId, Id::ImportId}),
                 QList<int>({Id::BrowseId, Id::TranslatedEditId, Id::ChooseTranslatedId, Id::ImportId}));
        QVERIFY(!control(Id::ProgressBarId)->isVisible());
        QVERIFY(!control(Id::LogEditId)->isVisible());

        // Both branch folders empty: only the branch edits, their choosers and Exit.
        edit(Id::BranchEditId)->clear();
        dialog->OnTimer();
        QVERIFY(enabledOf(stepControls).isEmpty());
        QCOMPARE(enabledOf(alwaysEnabled), alwaysEnabled);

        // A device-pack folder alone is enough to browse; lists stay as they were.
        edit(Id::DevicePackEditId)->setText(folder.filePath("nowhere"));
        dialog->OnTimer();
        QCOMPARE(enabledOf(stepControls),
                 QList<int>({Id::BrowseId, Id::TranslatedEditId, Id::ChooseTranslatedId, Id::ImportId}));
        // A Browse that finds no project leaves Steps 1 and 2 disabled.
        button(Id::BrowseId)->click();
        QCOMPARE(dialog->projectList()->count(), 0);
        QCOMPARE(enabledOf(stepControls),
                 QList<int>({Id::BrowseId, Id::TranslatedEditId, Id::ChooseTranslatedId, Id::ImportId}));

        // Projects listed: everything.
        browse(branch());
        QCOMPARE(enabledOf(stepControls), stepControls);
        // "Save all string" needs an output folder, checked on each tick.
        edit(Id::GeneratedEditId)->clear();
        dialog->OnTimer();
        QVERIFY(!control(Id::SaveAllStringsId)->isEnabled());
        QTest::keyClicks(edit(Id::GeneratedEditId), folder.filePath("out"));
        QVERIFY(!control(Id::SaveAllStringsId)->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(control(Id::SaveAllStringsId)->isEnabled(), 1000);  // within one timer period

        // Busy: every step control off, the branch controls and Exit on.
        dialog->UpdateControlStates(true);
        QVERIFY(enabledOf(stepControls).isEmpty());
        QCOMPARE(enabledOf(alwaysEnabled), alwaysEnabled);
        dialog->OnTimer();  // not running: the next tick enables them again
        QCOMPARE(enabledOf(stepControls), stepControls);
    }

    void tabReachesTheControlsInTheOrderShown()
    {
        QList<int> ids;
        for (int id = 0; id <= 1030; ++id) {
            if (control(id))
                ids << id;
        }
        QList<int> order;
        QWidget *widget = control(Id::BranchEditId);
        do {
            if (widget->focusPolicy() & Qt::TabFocus) {
                for (const int id : ids) {
                    if (control(id) == widget)
                        order << id;
                }
            }
            widget = widget->nextInFocusChain();
        } while (widget != control(Id::BranchEditId));
        QCOMPARE(order, QList<int>({Id::BranchEditId, Id::ChooseBranchId, Id::DevicePackEditId, Id::ChooseDevicePackId,
                                    Id::BrowseId, Id::ToggleProjectsId, Id::ProjectListId, Id::ToggleLanguagesId,
                                    Id::LanguageListId, Id::AddNewStringsId, Id::GeneratedEditId,
                                    Id::ChooseGeneratedId, Id::SaveAllStringsId, Id::TranslatedEditId,
                                    Id::ChooseTranslatedId, Id::ImportId, Id::LogEditId, Id::ExitId}));
    }

    void browseSelectsAllAndTheTogglesFollowTheSelection()
    {
        browse(branch());
        QListWidget *projects = dialog->projectList(), *languages = dialog->languageList();
        QCOMPARE(texts(projects), QStringList({"ViewRes"}));
        QCOMPARE(projects->item(0)->data(Qt::UserRole).toInt(), 0);
        QCOMPARE(texts(languages), QStringList({"DEU", "ENG", "FRA"}));
        QCOMPARE(texts(languages, true), texts(languages));
        QCOMPARE(button(Id::ToggleLanguagesId)->text(), QStringLiteral("Select none"));

        button(Id::ToggleLanguagesId)->click();
        QVERIFY(texts(languages, true).isEmpty());
        QCOMPARE(button(Id::ToggleLanguagesId)->text(), QStringLiteral("Select all"));
        // Selecting every item by hand turns the button back.
        for (int row = 0; row < languages->count(); ++row) {
            const QRect rect = languages->visualItemRect(languages->item(row));
            QTest::mouseClick(languages->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
            QCOMPARE(button(Id::ToggleLanguagesId)->text(),
                     row == languages->count() - 1 ? QStringLiteral("Select none") : QStringLiteral("Select all"));
        }
        button(Id::ToggleProjectsId)->click();
        QCOMPARE(button(Id::ToggleProjectsId)->text(), QStringLiteral("Select all"));
        button(Id::ToggleProjectsId)->click();
        QCOMPARE(texts(projects, true), QStringList({"ViewRes"}));

        // A new Browse selects everything again, and the toggles say so.
        button(Id::ToggleLanguagesId)->click();
        button(Id::BrowseId)->click();
        QCOMPARE(texts(languages, true), QStringList({"DEU", "ENG", "FRA"}));
        QCOMPARE(button(Id::ToggleLanguagesId)->text(), QStringLiteral("Select none"));
    }

    void folderChoosersSetTheirEditOrLeaveIt()
    {
        browse(branch());  // the output folder's chooser needs a project listed
        edit(Id::TranslatedEditId)->setText("typed");
        edit(Id::GeneratedEditId)->setText("typed too");
        prompts.chooseFile(QString());  // cancelled before a tick: the typed text stays
        button(Id::ChooseGeneratedId)->click();
        QCOMPARE(edit(Id::GeneratedEditId)->text(), QStringLiteral("typed too"));
        prompts.chooseFile(folder.filePath("chosen"));
        button(Id::ChooseGeneratedId)->click();
        QCOMPARE(edit(Id::GeneratedEditId)->text(), folder.filePath("chosen"));
        QCOMPARE(edit(Id::TranslatedEditId)->text(), QStringLiteral("typed"));
        QCOMPARE(prompts.fileDialogs.last().caption, QStringLiteral("Please select new lang folder"));
        QCOMPARE(prompts.fileDialogs.last().startFolder, QDir::currentPath());
        prompts.chooseFile(QString());
        button(Id::ChooseGeneratedId)->click();
        QCOMPARE(edit(Id::GeneratedEditId)->text(), folder.filePath("chosen"));
        prompts.chooseFile(folder.filePath("device"));
        button(Id::ChooseDevicePackId)->click();
        QCOMPARE(edit(Id::DevicePackEditId)->text(), folder.filePath("device"));
        QCOMPARE(prompts.fileDialogs.last().caption, QStringLiteral("Please select Device pack branch directory"));
    }

    void stepsOneAndTwoWriteTheFilesOfTheSelection()
    {
        browse(branch());
        dialog->languageList()->item(1)->setSelected(false);  // ENG is Step 1's source anyway
        button(Id::AddNewStringsId)->click();
        QCOMPARE(translationIn(catalogue("ViewRes", "ENG"), "Open the file"), QStringLiteral("Open the file"));
        QCOMPARE(translationIn(catalogue("ViewRes", "DEU"), "Open the file"), QStringLiteral("Open the file"));
        QCOMPARE(translationIn(catalogue("ViewRes", "DEU"), "Hello"), QStringLiteral("Hallo"));
        QCOMPARE(translationIn(catalogue("ViewRes", "FRA"), "Open..."), QStringLiteral("Open..."));  // a copy of ENG
        QVERIFY(dialog->writtenFiles().contains(catalogue("ViewRes", "DEU")));
        QVERIFY(prompts.messages.isEmpty());

        edit(Id::GeneratedEditId)->setText(folder.filePath("out"));
        button(Id::SaveAllStringsId)->click();
        QCOMPARE(translationIn(folder.filePath("out/ALL_DEU.xml"), "Hello"), QStringLiteral("Hallo"));
        QVERIFY(QFileInfo::exists(folder.filePath("out/ALL_FRA.xml")));
        QVERIFY(!QFileInfo::exists(folder.filePath("out/ALL_ENG.xml")));
        QVERIFY(prompts.messages.isEmpty());

        // What a step could not read or write is listed when it is over.
        writeAt(catalogue("ViewRes", "DEU"), "<Language><L from=");
        button(Id::AddNewStringsId)->click();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text,
                 "Some files could not be processed:\n\nCan not apply to " + catalogue("ViewRes", "DEU"));
        QCOMPARE(prompts.messages[0].icon, PromptIcon::Exclamation);
    }

    void importRunsOnTheWorkerWhileTheTimerShowsIt()
    {
        writeTranslated("DEU", "Hallo!");
        writeTranslated("FRA", "Bonjour");
        writeAt(catalogue("ViewRes", "FRA"), languageFile("", {R"(<L from="Hello" to="Hello"/>)"}));
        browse(branch());
        edit(Id::TranslatedEditId)->setText(folder.filePath("in"));
        holdImport();
        button(Id::ImportId)->click();
        gate.waitUntilReached();
        QVERIFY(dialog->isRunning());
        QVERIFY(enabledOf(stepControls).isEmpty());
        auto *progress = static_cast<QProgressBar *>(control(Id::ProgressBarId));
        auto *log = static_cast<QPlainTextEdit *>(control(Id::LogEditId));
        QVERIFY(progress->isVisible() && log->isVisible());
        QCOMPARE(progress->maximum(), 3);
        // The event loop runs while the worker is held: the timer shows its log.
        QTRY_COMPARE_WITH_TIMEOUT(log->toPlainText(),
                                  "Start processing DEU\nLoad Translated File " + folder.filePath("in/ALL_DEU.xml"),
                                  2000);
        QCOMPARE(progress->value(), 0);
        QVERIFY(enabledOf(stepControls).isEmpty());  // every tick keeps them off

        gate.release();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isRunning(), 5000);
        QVERIFY(!progress->isVisible() && !log->isVisible());
        QCOMPARE(enabledOf(stepControls), stepControls);
        QCOMPARE(translationIn(catalogue("ViewRes", "DEU"), "Hello"), QStringLiteral("Hallo!"));
        QCOMPARE(translationIn(catalogue("ViewRes", "FRA"), "Hello"), QStringLiteral("Bonjour"));
        QVERIFY(dialog->writtenFiles().contains(catalogue("ViewRes", "FRA")));
        // ENG has no translated file: named once the import is over.
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages[0].text.contains("ALL_ENG.xml"));
    }

    void closingDuringTheImportAsksThenStopsAndWaits()
    {
        writeTranslated("DEU", "Hallo!");
        browse(branch());
        edit(Id::TranslatedEditId)->setText(folder.filePath("in"));
        holdImport();
        button(Id::ImportId)->click();
        gate.waitUntilReached();

        prompts.answer(PromptAnswer::No);  // stays open, the import goes on
        dialog->reject();
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->handler().IsActive());
        QCOMPARE(prompts.takeTexts(), QStringList({"The import is still running. Stop it and close the dialog?"}));

        // Yes: the dialog waits for the worker, which goes on once the gate opens.
        prompts.answer(PromptAnswer::Yes);
        std::thread opener([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            gate.release();
        });
        dialog->reject();
        opener.join();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->handler().IsActive());
        QVERIFY(!dialog->isRunning());
        // Stopped before the language's files were written.
        QCOMPARE(translationIn(catalogue("ViewRes", "DEU"), "Hello"), QStringLiteral("Hallo"));
        QVERIFY(dialog->handler().Log().endsWith("Cancelled"));
        prompts.takeTexts();
    }

    void exitWhileIdleClosesAtOnce()
    {
        button(Id::ExitId)->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(prompts.messages.isEmpty());
    }

    void projectTableComesFromTheVariableTheSettingOrTheBuiltInRows()
    {
        const QString good = folder.filePath("projects.json"), bad = folder.filePath("bad.json");
        writeBytes(good, R"([{"name": "OnlyRes", "sourcePath": "Exe/Only.exe", "headerPath": "Source/Only/resource.h",
                              "englishCataloguePath": "Exe/Lang/ENG/OnlyResENG.xml", "isDevicePack": false}])");
        writeBytes(bad, "[{");
        QSettings settings(folder.filePath("settings.ini"), QSettings::IniFormat);
        ProjectTable table;
        QString error;
        QVERIFY(LoadPackProjectTable(&settings, &table, &error));
        QCOMPARE(table.size(), size_t(16));
        settings.setValue(kProjectTableSetting, good);
        QVERIFY(LoadPackProjectTable(&settings, &table, &error));
        QCOMPARE(table.size(), size_t(1));
        QCOMPARE(table[0].name, QStringLiteral("OnlyRes"));
        qputenv(kProjectTableVariable, QFile::encodeName(bad));  // the variable comes first
        QVERIFY(!LoadPackProjectTable(&settings, &table, &error));
        QVERIFY(error.contains(bad));
        qunsetenv(kProjectTableVariable);
    }

    void commandSavesFirstAndReloadsTheShownFileAStepWrote()
    {
        dialog.reset();
        EditorFixture f;
        const QString german = catalogue("ViewRes", "DEU");
        writeAt(german, languageFile("", {R"(<L from="Hello" to="Hello"/>)"}));
        QVERIFY(f.open(german));
        f.editTranslation(f.rowOf("Hello"), "Hallo!");
        QVERIFY(f.view->isModified());

        // Cancel at the save question: no dialog, nothing changed.
        f.prompts.answer(PromptAnswer::Cancel);
        f.batchTools().OnGenerateZiv();
        QVERIFY(f.view->isModified());
        QCOMPARE(f.prompts.takeTexts(), QStringList({"Do you want to save current file?"}));

        f.prompts.answer(PromptAnswer::Yes);
        QStringList projects;
        f.prompts.onDialog([&](QDialog &shown) {
            auto &pack = static_cast<CGenerateZIVDlg &>(shown);
            static_cast<QLineEdit *>(pack.control(Id::BranchEditId))->setText(branch());
            pack.OnBrowse();
            projects = texts(pack.projectList());
            pack.OnAddNewStrings();
            pack.accept();
            return true;
        });
        f.batchTools().OnGenerateZiv();
        QCOMPARE(f.prompts.takeTexts(), QStringList({"Do you want to save current file?", "Save OK"}));
        QCOMPARE(projects, QStringList({"ViewRes"}));
        // The shown file was read again: the saved change and the new strings.
        QCOMPARE(f.view->currentPath(), german);
        QVERIFY(!f.view->isModified());
        QCOMPARE(f.storedTranslation("Hello"), QStringLiteral("Hallo!"));
        QVERIFY(f.rowOf("Open the file") >= 0);
        QCOMPARE(f.view->title(), "Rendaro - [" + german + "]");

        // A step that did not write the shown file leaves it alone; no change, no question.
        const int shownId = f.view->currentCatalogueId();
        f.prompts.onDialog([](QDialog &) { return false; });
        f.batchTools().OnGenerateZiv();
        QCOMPARE(f.view->currentCatalogueId(), shownId);

        // A project table that cannot be read is named, and no dialog opens.
        qputenv(kProjectTableVariable, QFile::encodeName(folder.filePath("missing.json")));
        f.batchTools().OnGenerateZiv();
        qunsetenv(kProjectTableVariable);
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].text.contains("missing.json"));
        QCOMPARE(f.prompts.messages[0].icon, PromptIcon::Stop);
        QVERIFY(f.prompts.scriptUsed());
    }
};

RENDARO_GUI_TEST(GenerateZivDlgTest)
#include "generate_ziv_dlg_test.moc"
