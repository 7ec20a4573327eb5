// Settings: the ratio's range, the placeholder style, the change mark and
// rebuilding the rows without losing what is not saved.

#include "gui_test_registry.h"
#include "editor/core/max_length_setting_dlg.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

class SettingsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString deu;

    // The next Settings dialog gets this ratio text and style, then OK.
    void settingsWith(const QString &ratio, int codeLanguage)
    {
        f->prompts.onDialog([ratio, codeLanguage](QDialog &dialog) {
            auto &settings = static_cast<CMaxLengthSettingDlg &>(dialog);
            settings.ratioEdit()->setText(ratio);
            (codeLanguage ? settings.qtButton() : settings.cppButton())->setChecked(true);
            settings.accept();
            return settings.result() == QDialog::Accepted;
        });
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("DEU.xml", {
            R"(<L from="Hello %s" to="Hello %s"/>)",
            R"(<L from="Page %1" to="Page %1"/>)",
            R"(<L from="Open" to="Open"/>)",
        });
    }
    void cleanup() { f.reset(); }

    void ratioOutsideOneToTenKeepsTheDialogOpen()
    {
        QVERIFY(f->open(deu));
        QStringList results;
        f->prompts.onDialog([&results](QDialog &dialog) {
            auto &settings = static_cast<CMaxLengthSettingDlg &>(dialog);
            results << "preset " + settings.ratioEdit()->text() + (settings.cppButton()->isChecked() ? " C++" : "");
            for (const char *text : {"0.5", "11", "abc", "", "nan", "10.01", "1", "10"}) {
                settings.ratioEdit()->setText(text);
                settings.setResult(QDialog::Rejected);
                settings.accept();
                results << QStringLiteral("%1:%2").arg(text).arg(settings.result());
            }
            return true;
        });
        f->run(Command::Settings);
        QCOMPARE(results, QStringList({"preset 2 C++", "0.5:0", "11:0", "abc:0", ":0", "nan:0", "10.01:0", "1:1", "10:1"}));
        const QStringList texts = f->prompts.takeTexts();
        QCOMPARE(texts, QStringList({"Please enter a number between 1 and 10.", "Please enter a number between 1 and 10.",
                                     "Please enter a number.", "Please enter a number.",
                                     "Please enter a number between 1 and 10.",
                                     "Please enter a number between 1 and 10."}));
        QCOMPARE(f->document.findCatalogue(f->view->currentCatalogueId())->lengthRatio, 10.0f);
    }

    void confirmedWithoutChangeMarksTheFileChanged()
    {
        QVERIFY(f->open(deu));
        settingsWith("2", 0);
        f->run(Command::Settings);
        QVERIFY(f->view->isModified());
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1*]").arg(deu));
        // Cancel changes nothing.
        f->run(Command::EditUndo);
        QVERIFY(!f->view->isModified());
        f->prompts.onDialog([](QDialog &) { return false; });
        f->run(Command::Settings);
        QVERIFY(!f->view->isModified());
    }

    void switchingToQtRebuildsTheRowsAndKeepsWhatIsNotSaved()
    {
        QVERIFY(f->open(deu));
        f->run(Command::HideTranslated);
        f->editTranslation(f->rowOf("Open"), "Öffnen");
        f->view->PasteText("Close\tSchließen");
        QCOMPARE(f->grid->rowModel()->backColour(f->rowOf("Open"), 1), kMarkedColour);
        f->prompts.messages.clear();

        settingsWith("3", 1);
        f->run(Command::Settings);
        const CXMLStruct *shown = f->document.findCatalogue(f->view->currentCatalogueId());
        QCOMPARE(shown->codeType, 1);
        QCOMPARE(shown->lengthRatio, 3.0f);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->storedTranslation("Close"), QStringLiteral("Schließen"));
        // The rows were built again: the mark of the edit is gone.
        QCOMPARE(f->grid->GetItemCount(), 4);
        QCOMPARE(f->grid->rowModel()->backColour(f->rowOf("Open"), 1), kDefaultColour);

        // Edits are now checked for numbered placeholders.
        f->editTranslation(f->rowOf("Page %1"), "Seite %2");
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Please put \"%1\" in String."}));
        QTest::keyClick(f->grid->editor(), Qt::Key_Escape);
        f->editTranslation(f->rowOf("Page %1"), "Seite %1");
        f->editTranslation(f->rowOf("Hello %s"), "Hallo");  // "%s" is no placeholder in QT style
        QVERIFY(f->prompts.messages.isEmpty());

        f->run(Command::FileSave);
        const QByteArray saved = fileBytes(deu);
        QVERIFY(saved.contains(R"(<Language AllowLength="3.000000" CodeType="QT">)"));
        QVERIFY(saved.contains(R"(<L from="Open" to="Öffnen"/>)"));
        QVERIFY(saved.contains(R"(<L from="Close" to="Schließen"/>)"));
    }

    void folderModeStoresTheValuesInTheMaster()
    {
        const QString folder = f->path("lang");
        QDir().mkpath(folder);
        writeBytes(folder + "/A.xml", languageFile("CodeType=\"QT\"", {R"(<L from="Open" to="Open"/>)"}));
        f->openFolder(folder);
        f->editTranslation(0, "Öffnen");
        settingsWith("4", 1);
        f->run(Command::Settings);
        QCOMPARE(f->document.catalogueAt(0)->codeType, 1);
        QCOMPARE(f->document.catalogueAt(0)->lengthRatio, 4.0f);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - GLOBAL*[%1/*]").arg(folder));
    }

    void presetFromTheShownFileAndNothingShown()
    {
        QVERIFY(f->open(f->writeLanguageFile("QT.xml", {R"(<L from="a" to="a"/>)"},
                                             "AllowLength=\"1.500000\" CodeType=\"QT\"")));
        f->prompts.onDialog([](QDialog &dialog) {
            auto &settings = static_cast<CMaxLengthSettingDlg &>(dialog);
            return settings.ratioEdit()->text() == "1.5" && settings.qtButton()->isChecked();
        });
        f->run(Command::Settings);
        QVERIFY(f->view->isModified());

        // With nothing shown there is nothing to change.
        f->prompts.answer(PromptAnswer::No);   // do not save
        f->prompts.answer(PromptAnswer::Yes);  // close
        f->run(Command::FileNew);
        settingsWith("5", 1);
        f->run(Command::Settings);
        QVERIFY(!f->view->isModified());
        QVERIFY(f->prompts.scriptUsed());
    }
};

RENDARO_GUI_TEST(SettingsTest)
#include "settings_test.moc"
