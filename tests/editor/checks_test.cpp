// The checks' warnings in the editor: the mark of a row and what it says,
// the warnings of a text as it is typed, Next and Previous Warning, the
// filter's Warnings, a warning dismissed into the ignore file, the switches
// of Tool > Checks kept per language, the Checks dock following edits, and
// a large file's warnings counted in slices.

#include "gui_test_registry.h"
#include "controls/underlined_line_edit.h"
#include "editor/checks/checks_dlg.h"
#include "editor/checks/checks_dock.h"
#include "editor/checks/checks_feature.h"
#include "editor_fixture.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QSettings>
#include <QTableView>
#include <QTest>

namespace {

// German strings, three with warnings: a lost "?" (end-punctuation), a lost
// accelerator mark and a lost final "." with an extra space (accelerator,
// whitespace), a number changed (numbers). One is untranslated.
const QList<QByteArray> kRows = {
    R"(<L from="Open" to="Open"/>)",
    R"(<L from="Save changes?" to="Änderungen speichern"/>)",
    R"(<L from="&amp;Exit" to="Beenden "/>)",
    R"(<L from="Copy 3 files" to="5 Dateien kopieren"/>)",
    R"(<L from="Close" to="Schließen"/>)",
};

} // namespace

class ChecksTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString deu;

    ChecksFeature &checks() const { return f->features->checks(); }
    QString markOf(const QString &original) const
    {
        return f->grid->rowModel()->data(f->grid->rowModel()->index(f->rowOf(original), 1), Qt::AccessibleDescriptionRole)
            .toString();
    }
    QString selectedOriginal() const
    {
        const int row = f->grid->FirstSelectedRow();
        return row < 0 ? QString() : f->view->DisplayedToOriginal(row);
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("ViewResDEU.xml", kRows);
        QVERIFY(f->open(deu));
    }
    void cleanup()
    {
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
    }

    void rowsCarryTheirWarnings()
    {
        f->run(Command::HideTranslated);  // every row
        QCOMPARE(f->counts().countsText(), QStringLiteral("5 strings, 1 untranslated, 0 problems, 4 warnings"));
        QCOMPARE(markOf("Open"), QString());
        QCOMPARE(markOf("Close"), QString());
        const QString save = markOf("Save changes?");
        QVERIFY(save.startsWith(QStringLiteral("Warning:\nEnd punctuation: ")));
        // Every failing check of a row is named, one a line.
        const QStringList exit = markOf("&Exit").split(u'\n');
        QCOMPARE(exit.first(), QStringLiteral("Warnings:"));
        QCOMPARE(exit.size(), 3);
        QVERIFY(markOf("Copy 3 files").contains(QStringLiteral("3 is missing from the translation; 5 is new")));
    }

    void typedTextNamesItsWarnings()
    {
        f->run(Command::HideTranslated);
        auto *editor = static_cast<CUnderlinedLineEdit *>(f->grid->editor());
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Close")));
        editor->setText(QStringLiteral("Schließen."));
        QVERIFY(editor->accessibleDescription().startsWith(QStringLiteral("Warning: End punctuation: ")));
        QCOMPARE(editor->toolTip(), editor->accessibleDescription());
        editor->setText(QStringLiteral("Schließen"));
        QCOMPARE(editor->accessibleDescription(), QString());
        QTest::keyClick(editor, Qt::Key_Escape);
    }

    void nextAndPreviousWarning()
    {
        // Hide Translated Item hides every row with a warning: it goes off.
        QVERIFY(f->view->hideTranslated());
        checks().OnNextWarning();
        QVERIFY(!f->view->hideTranslated());
        QCOMPARE(selectedOriginal(), QStringLiteral("&Exit"));  // the rows in original order
        checks().OnNextWarning();
        QCOMPARE(selectedOriginal(), QStringLiteral("Copy 3 files"));
        checks().OnNextWarning();
        QCOMPARE(selectedOriginal(), QStringLiteral("Save changes?"));
        checks().OnNextWarning();  // wraps
        QCOMPARE(selectedOriginal(), QStringLiteral("&Exit"));
        checks().OnPreviousWarning();
        QCOMPARE(selectedOriginal(), QStringLiteral("Save changes?"));
        // F8 from the in-place editor keeps the text first.
        QVERIFY(f->grid->StartEdit(1, f->rowOf("Copy 3 files")));
        f->grid->editor()->setText(QStringLiteral("3 Dateien kopieren"));
        QTest::keyClick(f->grid->editor(), Qt::Key_F8);
        QCOMPARE(f->storedTranslation("Copy 3 files"), QStringLiteral("3 Dateien kopieren"));
        QCOMPARE(selectedOriginal(), QStringLiteral("Save changes?"));
    }

    void theFilterShowsTheRowsWithWarnings()
    {
        f->run(Command::HideTranslated);
        f->filter().filterBar()->setState(EntryFilterState::Warnings);
        QStringList shown;
        for (int row = 0; row < f->grid->GetItemCount(); ++row)
            shown << f->view->DisplayedToOriginal(row);
        QCOMPARE(shown, QStringList({"&Exit", "Copy 3 files", "Save changes?"}));
        f->editTranslation(f->rowOf("Save changes?"), QStringLiteral("Änderungen speichern?"));
        f->filter().ApplyFilter();
        QCOMPARE(f->grid->GetItemCount(), 2);
    }

    void aDismissedWarningStaysDismissed()
    {
        f->run(Command::HideTranslated);
        f->grid->SelectOnly(f->rowOf("Save changes?"));
        f->run(Command::IgnoreWarning);
        QCOMPARE(markOf("Save changes?"), QString());
        QCOMPARE(f->counts().countsText(), QStringLiteral("5 strings, 1 untranslated, 0 problems, 3 warnings"));
        const QString ignoreFile = deu + QStringLiteral(".rendaro-ignore");
        const QByteArray written = fileBytes(ignoreFile);
        QVERIFY(written.contains("[end-punctuation]\n"));
        QVERIFY(written.contains("original: \"Save changes?\"\n"));

        // A row with several warnings asks which; the choice is kept.
        f->grid->SelectOnly(f->rowOf("&Exit"));
        f->prompts.pressButton(QStringLiteral("All of Them"));
        f->run(Command::IgnoreWarning);
        QCOMPARE(f->prompts.takeTexts().size(), 1);
        QCOMPARE(markOf("&Exit"), QString());

        // The marks hold when the file is opened again, and lapse once the
        // translation changes.
        f->prompts.answer(PromptAnswer::Yes);  // close the shown file
        QVERIFY(f->open(deu));
        QVERIFY(!f->view->hideTranslated());  // as it was
        QCOMPARE(markOf("Save changes?"), QString());
        QCOMPARE(f->counts().countsText(), QStringLiteral("5 strings, 1 untranslated, 0 problems, 1 warning"));
        f->editTranslation(f->rowOf("Save changes?"), QStringLiteral("Speichern"));
        QVERIFY(!markOf("Save changes?").isEmpty());
    }

    void switchesArePerLanguageAndKept()
    {
        QTemporaryDir folder;
        QSettings settings(folder.filePath("settings.ini"), QSettings::IniFormat);
        checks().setSettings(&settings);
        f->prompts.onDialog([](QDialog &dialog) {
            auto &checksDialog = static_cast<CChecksDlg &>(dialog);
            QListWidget *list = checksDialog.list();
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i)->data(Qt::UserRole) == QStringLiteral("numbers"))
                    list->item(i)->setCheckState(Qt::Unchecked);
            }
            return true;
        });
        f->run(Command::Checks);
        QCOMPARE(f->counts().countsText(), QStringLiteral("5 strings, 1 untranslated, 0 problems, 3 warnings"));
        QCOMPARE(settings.value("ChecksOff/DEU").toString(), QStringLiteral("numbers"));
        // A French file keeps the check.
        const QString fra = f->writeLanguageFile("ViewResFRA.xml", {R"(<L from="Copy 3 files" to="Copier 5 fichiers"/>)"});
        f->prompts.answer(PromptAnswer::Yes);  // close the shown file
        QVERIFY(f->open(fra));
        QCOMPARE(f->counts().countsText(), QStringLiteral("1 string, 0 untranslated, 0 problems, 1 warning"));
        // The switches come back from the settings.
        checks().setSettings(nullptr);
        checks().setSettings(&settings);
        QVERIFY(!checks().switches().isOn(QStringLiteral("DEU"), QStringLiteral("numbers")));
    }

    void theDockListsAndFollowsTheWarnings()
    {
        CChecksDock *dock = checks().dock();
        dock->show();
        dock->refresh();
        const WarningListModel &model = dock->model();
        QCOMPARE(model.rowCount(), 4);
        // In the file's order.
        QCOMPARE(model.rowAt(0)->original, QStringLiteral("Save changes?"));
        QCOMPARE(model.rowAt(3)->original, QStringLiteral("Copy 3 files"));
        // By check.
        dock->checkChoice()->setCurrentIndex(dock->checkChoice()->findData(QStringLiteral("numbers")));
        dock->refresh();
        QCOMPARE(model.rowCount(), 1);
        // An edit that mends the number takes its warning out of the list.
        dock->checkChoice()->setCurrentIndex(0);
        f->run(Command::HideTranslated);
        f->editTranslation(f->rowOf("Copy 3 files"), QStringLiteral("3 Dateien kopieren"));
        QTRY_COMPARE(model.rowCount(), 3);
        // Enter on a warning selects its row.
        dock->list()->setFocus();
        dock->list()->setCurrentIndex(dock->list()->model()->index(0, 0));
        QTest::keyClick(dock->list(), Qt::Key_Return);
        QCOMPARE(selectedOriginal(), QStringLiteral("Save changes?"));
        dock->hide();
    }

    void aLargeFileCountsItsWarningsInSlices()
    {
        QList<QByteArray> rows;
        for (int i = 0; i < 400; ++i)
            rows << QByteArray("<L from=\"Save file ") + QByteArray::number(i) + "?\" to=\"Datei speichern\"/>";
        f->view->slices().unitLimit = 50;
        const QString big = f->writeLanguageFile("BigDEU.xml", rows);
        f->prompts.answer(PromptAnswer::Yes);  // close the shown file
        QVERIFY(f->open(big));
        QVERIFY(f->view->findings().isRecounting());
        QCOMPARE(f->counts().countsText(), QStringLiteral("400 strings, 0 untranslated, 0 problems, counting warnings..."));
        // Each row raises two warnings (the "?" and the number).
        QTRY_VERIFY(!f->view->findings().isRecounting());
        QCOMPARE(f->counts().countsText(), QStringLiteral("400 strings, 0 untranslated, 0 problems, 800 warnings"));
    }
};

RENDARO_GUI_TEST(ChecksTest)
#include "checks_test.moc"
