// The program of a language file and the Preview dock: Tool > Program
// Resources... kept per file in the settings and read back, the checks
// judging against the linked program, the project table's link of a branch
// file, and the dock following the selection, the text being typed, the
// choice among dialogs, menus, clicks, and what screen readers are told.
// Text is measured with the fake font (tests/dialogfit), so the verdicts
// are worked out by hand: "Delete all" has 69 px in IDD_OPTIONS and 84 px
// in IDD_CLASSIC at 96 dpi, six pixels a letter.

#include "gui_test_registry.h"
#include "dialogfit/fake_measurer.h"
#include "editor/checks/checks_dock.h"
#include "editor/preview/preview_feature.h"
#include "editor/preview/program_resources_dlg.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kDialogFixtures = QStringLiteral(RENDARO_TESTS_DIR "/resparse/fixtures");
constexpr QRgb kMisfitRed = 0xFFE00000;

const QList<QByteArray> kPreviewRows = {
    R"(<L from="Delete all" to="Alles"/>)",
    R"(<L from="OK" to="OK"/>)",
    R"(<L from="&amp;Show hidden files" to="&amp;Versteckte anzeigen"/>)",
    R"(<L from="Save&#9;Ctrl+S" to="&amp;Speichern&#9;Strg+S"/>)",
    R"(<L from="Options" to="Optionen"/>)",
    R"(<L from="Other string" to="Anderes"/>)",
};

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<QTemporaryDir> settingsFolder;
    std::unique_ptr<QSettings> settings;
    QString deu;

    PreviewFeature &preview() const { return f->features->preview(); }
    CPreviewDock &dock() const { return *preview().dock(); }
    QString line(int index) const
    {
        QListWidgetItem *item = dock().controlList()->item(index);
        return item ? item->text() : QString();
    }
    // The fit warnings the Checks dock lists.
    QStringList fitWarnings() const
    {
        CChecksDock *checks = f->features->checks().dock();
        checks->refresh();
        QStringList found;
        for (int row = 0; row < checks->model().rowCount(); ++row) {
            const WarningListModel::Row *warning = checks->model().rowAt(row);
            if (warning->checkId == "fit")
                found.append(warning->message);
        }
        found.sort();
        return found;
    }
    void select(const QString &original) { QVERIFY(f->view->SelectOriginal(original)); }
    void link(const QString &program, const QString &header)
    {
        f->prompts.onDialog([program, header](QDialog &dialog) {
            auto &resources = static_cast<CProgramResourcesDlg &>(dialog);
            resources.programEdit()->setText(program);
            resources.headerEdit()->setText(header);
            return true;
        });
        f->run(Command::ProgramResources);
    }

private slots:
    void init()
    {
        SetTextMeasurerMaker([] { return std::make_shared<FakeMeasurer>(); });
        settingsFolder = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<QSettings>(settingsFolder->filePath("rendaro.ini"), QSettings::IniFormat);
        f = std::make_unique<EditorFixture>();
        f->features->setSettings(settings.get());
        deu = f->writeLanguageFile("ViewResDEU.xml", kPreviewRows);
        QVERIFY(f->open(deu));
        f->run(Command::HideTranslated);  // every row
    }
    void cleanup()
    {
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
        settings.reset();
        SetTextMeasurerMaker({});
    }

    void programResourcesAreKeptPerFileAndFeedTheChecks()
    {
        QVERIFY(f->commands.action(Command::ProgramResources)->isEnabled());
        const QString countsBefore = f->counts().countsText();
        // Browse picks the program; the header is typed.
        f->prompts.chooseFile(kDialogFixtures + "/dialogs64.dll");
        bool fallbackSaid = true;
        f->prompts.onDialog([&fallbackSaid](QDialog &dialog) {
            auto &resources = static_cast<CProgramResourcesDlg &>(dialog);
            fallbackSaid = !resources.fallbackLabel()->isHidden();  // no project table gives one here
            resources.browseProgramButton()->click();
            resources.headerEdit()->setText(kDialogFixtures + "/dialogs.h");
            return true;
        });
        f->run(Command::ProgramResources);
        QVERIFY(!fallbackSaid);
        const QVariantMap links = settings->value("ProgramResources/Links").toMap();
        QCOMPARE(links.value(QFileInfo(deu).absoluteFilePath()).toStringList(),
                 QStringList({kDialogFixtures + "/dialogs64.dll", kDialogFixtures + "/dialogs.h"}));
        QCOMPARE(preview().shownLink().from, ProgramLink::From::Settings);

        // The checks judge against it: a translation too wide for the button
        // is a fit warning, and the Checks dock lists it.
        f->editTranslation(f->rowOf("Delete all"), QStringLiteral("Sehr viel zu lang"));
        QVERIFY(f->counts().countsText() != countsBefore);
        QCOMPARE(fitWarnings(), QStringList({"needs 102 px, \"Delete all\" (IDC_DELETE_ALL in IDD_CLASSIC) has 84 px at "
                                             "96 dpi",
                                             "needs 102 px, \"Delete all\" (IDC_DELETE_ALL in IDD_OPTIONS) has 69 px at "
                                             "96 dpi"}));

        // A feature made afresh over the same settings finds the link.
        ProgramLinks again;
        again.setSettings(settings.get());
        QCOMPARE(again.linkFor(deu, false).program, kDialogFixtures + "/dialogs64.dll");

        // Clear takes it away, and the fit warning with it.
        QString shownProgram;
        f->prompts.onDialog([&shownProgram](QDialog &dialog) {
            auto &resources = static_cast<CProgramResourcesDlg &>(dialog);
            shownProgram = resources.programEdit()->text();
            resources.clearButton()->click();
            return true;
        });
        f->run(Command::ProgramResources);
        QCOMPARE(shownProgram, kDialogFixtures + "/dialogs64.dll");
        QVERIFY(settings->value("ProgramResources/Links").toMap().isEmpty());
        QVERIFY(preview().shownLink().isEmpty());
        QVERIFY(fitWarnings().isEmpty());
    }

    void aProgramThatCannotBeReadIsNamed()
    {
        QSignalSpy status(f->view, &CRendaroView::statusMessage);
        dock().show();
        link(settingsFolder->filePath("missing.dll"), QString());
        bool named = false;
        for (const QList<QVariant> &message : status)
            named = named || message.first().toString().contains(QStringLiteral("missing.dll"));
        QVERIFY(named);
        QVERIFY(dock().note()->isVisibleTo(&dock()));
        QVERIFY(dock().note()->text().contains(QStringLiteral("missing.dll")));
        // The editor goes on: edits and the other checks work.
        f->editTranslation(f->rowOf("OK"), QStringLiteral("Gut"));
        QCOMPARE(f->storedTranslation("OK"), QStringLiteral("Gut"));
    }

    void theDockFollowsTheSelectionAndTheTyping()
    {
        link(kDialogFixtures + "/dialogs64.dll", kDialogFixtures + "/dialogs.h");
        dock().show();
        select("Delete all");
        // Shown in two dialogs: a choice, IDD_OPTIONS first.
        QCOMPARE(int(preview().places().size()), 2);
        QCOMPARE(dock().placeChoice()->count(), 2);
        QVERIFY(dock().placeChoice()->isEnabled());
        QCOMPARE(dock().placeChoice()->itemText(0), QStringLiteral("IDD_OPTIONS"));
        const DialogPreview *dialog = preview().shownDialog();
        QVERIFY(dialog);
        QCOMPARE(preview().outlinedControl(), 0);  // IDC_DELETE_ALL
        QCOMPARE(dock().controlList()->currentRow(), 0);
        QCOMPARE(line(0), QStringLiteral("Alles: fits"));
        QCOMPARE(dock().canvas()->picture().size(), QSize(330, 228));  // 220 x 140 units, 6 x 13 base units
        QCOMPARE(dialog->caption(), QStringLiteral("Optionen"));
        const QRect button = dialog->controls()[0].rect;
        QVERIFY(dock().canvas()->picture().pixel(button.left(), button.center().y()) != kMisfitRed);

        // Typing in place: twelve letters need 72 px of the 69.
        CReportCtrl *grid = f->grid;
        QVERIFY(grid->StartEdit(1, f->rowOf("Delete all")));
        const quint64 before = preview().pictures();
        QTest::keyClicks(grid->editor(), QString(12, u'x'));
        QVERIFY(preview().pictures() > before);
        QCOMPARE(line(0), QString(12, u'x') + ": 3 px too wide");
        QCOMPARE(dock().canvas()->picture().pixel(button.left(), button.center().y()), kMisfitRed);
        QCOMPARE(dock().summary()->text(), QStringLiteral("1 control too small at 96 dpi"));
        QTest::keyClick(grid->editor(), Qt::Key_Backspace);  // eleven fit
        QCOMPARE(line(0), QString(11, u'x') + ": fits");
        QTest::keyClick(grid->editor(), Qt::Key_Escape);  // the entry's own text again
        QCOMPARE(line(0), QStringLiteral("Alles: fits"));

        // The other dialog, chosen; it stays while it shows the selection.
        emit dock().placeChoice()->activated(1);
        QCOMPARE(preview().chosenPlace(), 1);
        QCOMPARE(preview().shownDialog()->dialog().width, 160);  // IDD_CLASSIC
        select("&Show hidden files");
        QCOMPARE(preview().shownDialog()->dialog().width, 160);
        QCOMPARE(preview().outlinedControl(), 2);
        QCOMPARE(line(2), QStringLiteral("Versteckte anzeigen: fits"));

        // A committed edit is drawn too (unsaved).
        f->editTranslation(f->rowOf("&Show hidden files"), QString(30, u'v'));
        QVERIFY(line(2).startsWith(QString(30, u'v') + ": "));
        QVERIFY(line(2).endsWith(QStringLiteral(" px too wide")));

        // A menu item: the menu, its items in the list.
        select("Save\tCtrl+S");
        QCOMPARE(preview().shownDialog(), nullptr);
        QCOMPARE(dock().placeChoice()->itemText(0), QStringLiteral("menu IDR_MAIN"));
        QVERIFY(!dock().placeChoice()->isEnabled());
        QCOMPARE(line(dock().controlList()->currentRow()), QStringLiteral("Speichern Strg+S: menu item"));

        // A string no dialog shows.
        select("Other string");
        QVERIFY(dock().note()->text().contains(QStringLiteral("is not shown by a dialog or menu of dialogs64.dll")));
        QCOMPARE(dock().controlList()->count(), 0);
    }

    void clicksAndLinesSelectTheirStrings()
    {
        link(kDialogFixtures + "/dialogs64.dll", kDialogFixtures + "/dialogs.h");
        dock().show();
        select("Delete all");
        const DialogPreview *dialog = preview().shownDialog();
        QVERIFY(dialog);
        QTest::mouseClick(dock().canvas(), Qt::LeftButton, Qt::NoModifier, dialog->controls()[2].rect.center());
        QCOMPARE(f->view->DisplayedToOriginal(f->grid->FirstSelectedRow()), QStringLiteral("&Show hidden files"));
        QCOMPARE(preview().outlinedControl(), 2);
        emit dock().controlList()->itemActivated(dock().controlList()->item(1));  // OK
        QCOMPARE(f->view->DisplayedToOriginal(f->grid->FirstSelectedRow()), QStringLiteral("OK"));
    }

    void screenReadersHearEachControlAndItsFit()
    {
        link(kDialogFixtures + "/dialogs64.dll", kDialogFixtures + "/dialogs.h");
        dock().show();
        f->editTranslation(f->rowOf("Delete all"), QString(20, u'x'));
        select("Delete all");
        QAccessibleInterface *canvas = QAccessible::queryAccessibleInterface(dock().canvas());
        QVERIFY(canvas);
        QCOMPARE(canvas->text(QAccessible::Name), QStringLiteral("IDD_OPTIONS \"Optionen\""));
        QCOMPARE(canvas->text(QAccessible::Description), QStringLiteral("1 control too small at 96 dpi"));
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(dock().controlList());
        QVERIFY(list);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Controls of IDD_OPTIONS \"Optionen\""));
        QStringList heard;
        for (int i = 0; i < list->childCount(); ++i)
            heard.append(list->child(i)->text(QAccessible::Name));
        QVERIFY(heard.contains(QString(20, u'x') + ": 51 px too wide"));  // 120 px of 69
        QVERIFY(heard.contains(QStringLiteral("OK: fits")));
        QVERIFY(heard.contains(QStringLiteral("edit field")));
        QVERIFY(heard.contains(QStringLiteral("Rate && review: fits")));  // drawn as it is
    }

    // A file in a branch tree gets the project table's program when none is
    // set by hand; one set by hand wins.
    void aBranchFileTakesTheProjectTablesProgram()
    {
        qunsetenv("RENDARO_PROJECTS");
        QTemporaryDir branch;
        QVERIFY(QDir().mkpath(branch.filePath("Exe/Lang/DEU")));
        QVERIFY(QDir().mkpath(branch.filePath("Source/View")));
        QVERIFY(QFile::copy(kDialogFixtures + "/dialogs64.dll", branch.filePath("Exe/View.exe")));
        QVERIFY(QFile::copy(kDialogFixtures + "/dialogs.h", branch.filePath("Source/View/resource.h")));
        const QString file = branch.filePath("Exe/Lang/DEU/ViewResDEU.xml");
        writeBytes(file, languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", kPreviewRows));
        f->prompts.answer(PromptAnswer::Yes);  // "Are you sure to close current file?"
        QVERIFY(f->open(file));
        QCOMPARE(preview().shownLink().from, ProgramLink::From::ProjectTable);
        QCOMPARE(preview().shownLink().project, QStringLiteral("ViewRes"));
        QCOMPARE(preview().shownLink().program, QDir::cleanPath(branch.filePath("Exe/View.exe")));
        dock().show();
        f->run(Command::HideTranslated);
        select("Delete all");
        QCOMPARE(dock().placeChoice()->itemText(0), QStringLiteral("IDD_OPTIONS"));  // named by the header

        // The dialog says where the program comes from; one set by hand wins.
        QString shownProgram, fallback;
        f->prompts.onDialog([&](QDialog &dialog) {
            auto &resources = static_cast<CProgramResourcesDlg &>(dialog);
            shownProgram = resources.programEdit()->text();
            fallback = resources.fallbackLabel()->text();
            resources.programEdit()->setText(kDialogFixtures + "/dialogs64.dll");
            return true;
        });
        f->run(Command::ProgramResources);
        QVERIFY(shownProgram.isEmpty());
        QVERIFY(fallback.contains(QStringLiteral("(project ViewRes)")));
        QCOMPARE(preview().shownLink().from, ProgramLink::From::Settings);
        select("Delete all");
        QCOMPARE(dock().placeChoice()->itemText(0), QStringLiteral("101"));  // no header now
    }

    // A folder's link serves its files; a file's own link comes first.
    void aFolderLinkServesItsFiles()
    {
        ProgramLinks &links = preview().links();
        const QString folder = QFileInfo(deu).absolutePath();
        links.set(folder, kDialogFixtures + "/dialogs64.dll", QString());
        QCOMPARE(links.linkFor(deu, false).program, kDialogFixtures + "/dialogs64.dll");
        QCOMPARE(links.linkFor(folder, true).program, kDialogFixtures + "/dialogs64.dll");
        links.set(deu, kDialogFixtures + "/resources64.dll", QString());
        QCOMPARE(links.linkFor(deu, false).program, kDialogFixtures + "/resources64.dll");
        QVERIFY(links.linkFor(settingsFolder->filePath("elsewhere/x.xml"), false).isEmpty());
    }
};

RENDARO_GUI_TEST(PreviewTest)
#include "preview_test.moc"
