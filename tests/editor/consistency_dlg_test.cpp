// View > Consistency Report over a language folder of three files: what the
// dialog lists, double-click and Enter selecting the original in the grid
// (the filter switched off when it hides the row), an empty report, and
// when the command is enabled.

#include "gui_test_registry.h"
#include "editor/core/command_actions.h"
#include "editor/consistency/consistency_report_dlg.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

class ConsistencyDlgTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString root;
    QStringList paths;

    void writeAt(const QString &relative, const QList<QByteArray> &lines)
    {
        const QString path = root + u'/' + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeBytes(path, languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", lines));
        paths << path;
    }
    QString selectedOriginal() const
    {
        const int row = f->grid->FirstSelectedRow();
        return row < 0 ? QString() : f->view->DisplayedToOriginal(row);
    }
    // Runs the report; `script` gets the dialog, shown.
    void runReport(const std::function<void(CConsistencyReportDlg &)> &script)
    {
        bool ran = false;
        f->prompts.onDialog([&](QDialog &dialog) {
            auto &report = static_cast<CConsistencyReportDlg &>(dialog);
            report.show();
            if (!QTest::qWaitForWindowExposed(&report))
                return false;
            script(report);
            ran = true;
            return report.result() == QDialog::Accepted;
        });
        f->consistency().OnConsistencyReport();
        QVERIFY(ran);
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        root = f->path("lang/DEU");
        paths.clear();
        writeAt("A.xml", {R"(<L from="Open" to="Öffnen"/>)", R"(<L from="Quit" to="Beenden"/>)",
                          R"(<L from="Save" to="Speichern"/>)"});
        writeAt("B.xml", {R"(<L from="Open" to="Aufmachen"/>)", R"(<L from="Save" to="Speichern"/>)",
                          R"(<L from="Help" to="Help"/>)"});
        writeAt("sub/C.xml", {R"(<L from="Open" to="Öffnen"/>)", R"(<L from="Quit" to="Verlassen"/>)",
                              R"(<L from="Help" to="Hilfe"/>)"});
    }
    void cleanup() { f.reset(); }

    void listsEachOriginalWithItsTranslationsAndFiles()
    {
        f->view->ShowLanguageFolder(root, paths);
        runReport([](CConsistencyReportDlg &dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Consistency Report"));
            QCOMPARE(dialog.summary()->text(), QStringLiteral("2 strings translated differently in the 3 files loaded:"));
            QTreeWidget *tree = dialog.tree();
            QCOMPARE(tree->topLevelItemCount(), 2);
            QTreeWidgetItem *open = tree->topLevelItem(0);
            QCOMPARE(open->text(0), QStringLiteral("Open"));
            QCOMPARE(open->text(1), QStringLiteral("2 translations"));
            QCOMPARE(open->childCount(), 2);
            QCOMPARE(open->child(0)->text(1), QStringLiteral("Öffnen"));
            QCOMPARE(open->child(0)->text(2), QStringLiteral("A.xml, sub/C.xml"));
            QCOMPARE(open->child(1)->text(1), QStringLiteral("Aufmachen"));
            QCOMPARE(open->child(1)->text(2), QStringLiteral("B.xml"));
            QTreeWidgetItem *quit = tree->topLevelItem(1);
            QCOMPARE(quit->text(0), QStringLiteral("Quit"));
            QCOMPARE(quit->child(1)->text(1), QStringLiteral("Verlassen"));
            QVERIFY(!tree->accessibleName().isEmpty());
            dialog.reject();
        });
        QVERIFY(f->view->hideTranslated());  // closing changes nothing
    }

    void doubleClickSelectsTheOriginalShowingHiddenRows()
    {
        f->view->ShowLanguageFolder(root, paths);
        QCOMPARE(f->rowOf("Quit"), -1);  // translated: hidden by the filter
        runReport([](CConsistencyReportDlg &dialog) {
            QTreeWidget *tree = dialog.tree();
            QTreeWidgetItem *verlassen = tree->topLevelItem(1)->child(1);
            tree->scrollToItem(verlassen);
            const QPoint point = tree->visualItemRect(verlassen).center();
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, point);
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, point);
        });
        QVERIFY(!f->view->hideTranslated());
        QCOMPARE(selectedOriginal(), QStringLiteral("Quit"));
        QCOMPARE(f->grid->currentIndex().row(), f->rowOf("Quit"));

        // Enter on a row does the same; the row is already shown now.
        runReport([](CConsistencyReportDlg &dialog) {
            dialog.tree()->setCurrentItem(dialog.tree()->topLevelItem(0));
            QTest::keyClick(dialog.tree(), Qt::Key_Return);
        });
        QCOMPARE(selectedOriginal(), QStringLiteral("Open"));
        QVERIFY(f->prompts.messages.isEmpty());
    }

    void emptyReportSaysSo()
    {
        paths.clear();
        writeAt("X.xml", {R"(<L from="Open" to="Öffnen"/>)"});
        writeAt("Y.xml", {R"(<L from="Open" to="Öffnen"/>)", R"(<L from="Quit" to="Quit"/>)"});
        f->view->ShowLanguageFolder(root, paths);
        f->view->PasteText("New\tNeu");  // unsaved: the files are compared as saved
        runReport([](CConsistencyReportDlg &dialog) {
            QCOMPARE(dialog.summary()->text(),
                     QStringLiteral("Every string is translated the same way in the 2 files loaded. The files are "
                                    "compared as last saved; unsaved changes are not included."));
            QVERIFY(dialog.tree()->isHidden());
            QVERIFY(!dialog.selectButton()->isEnabled());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    }

    void enabledInLanguageFolderModeOnly()
    {
        CommandActions &commands = f->commands;
        QAction *report = commands.action(Command::ConsistencyReport);
        QVERIFY(!report->isEnabled());
        QVERIFY(f->open(paths[0]));
        QVERIFY(!report->isEnabled());
        f->view->ShowLanguageFolder(root, paths);
        QVERIFY(report->isEnabled());
        f->view->ResetView();
        f->view->updateCommandStates();
        QVERIFY(!report->isEnabled());
    }
};

RENDARO_GUI_TEST(ConsistencyDlgTest)
#include "consistency_dlg_test.moc"
