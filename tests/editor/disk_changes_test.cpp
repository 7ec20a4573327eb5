// Files changed on disk by another program while the editor shows them:
// the question to read them again (with and without unsaved changes, Reload
// or Keep Mine), and a save that never overwrites such a file silently.

#include "gui_test_registry.h"
#include "catalogue/document.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QDateTime>
#include <QTest>

namespace {

const QString kChangedText = QStringLiteral("%1 was changed by another program. Reload it?");
const QString kOverwriteText = QStringLiteral(
    "%1 was changed by another program since it was read. Save anyway and replace its changes with yours?");

} // namespace

class DiskChangesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> state;
    std::unique_ptr<EditorFixture> f;
    QString deu;

    // Another program writes the file.
    void writeElsewhere(const QString &path, const QByteArray &open)
    {
        QVERIFY(writeBytes(path, languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
                                              {"<L from=\"Open\" to=\"" + open + "\"/>",
                                               R"(<L from="Save" to="Save"/>)"})));
    }
    QString onDisk(const QString &path, const QString &original)
    {
        CRendaroDoc disk;
        return disk.GetTranslation(disk.LoadCatalogue(path, false), original);
    }
    // Lets the watcher's events arrive and settle; no question may come.
    void settle() { QTest::qWait(800); }

private slots:
    void init()
    {
        state = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", QFile::encodeName(state->path()));
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("DEU.xml", {R"(<L from="Open" to="Open"/>)", R"(<L from="Save" to="Save"/>)"});
        QVERIFY(f->open(deu));
    }
    void cleanup()
    {
        f.reset();
        state.reset();
    }

    void withoutChangesTheFileIsReadAgainOnYes()
    {
        f->prompts.answer(PromptAnswer::Yes);
        writeElsewhere(deu, "Auf");
        QTRY_COMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].text, kChangedText.arg(deu));
        QCOMPARE(f->prompts.messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Auf"));
        QVERIFY(!f->view->isModified());
        // Touched without a change of its bytes: nothing to ask.
        QFile file(deu);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        file.close();
        settle();
        QCOMPARE(f->prompts.messages.size(), 1);
    }

    void aDeclinedVersionIsNotAskedAgainButSaveAsks()
    {
        f->prompts.answer(PromptAnswer::No);
        writeElsewhere(deu, "Auf");
        QTRY_COMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        settle();
        QCOMPARE(f->prompts.messages.size(), 1);

        f->editTranslation(f->rowOf("Save"), "Sichern");
        f->prompts.takeTexts();
        f->prompts.answer(PromptAnswer::No);  // overwrite? No
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList{kOverwriteText.arg(deu)});
        QCOMPARE(onDisk(deu, "Open"), QStringLiteral("Auf"));
        QVERIFY(f->view->isModified());
        f->prompts.answer(PromptAnswer::Yes);
        f->run(Command::FileSave);
        QCOMPARE(onDisk(deu, "Save"), QStringLiteral("Sichern"));
        QCOMPARE(onDisk(deu, "Open"), QStringLiteral("Open"));  // the editor's version
        QVERIFY(!f->view->isModified());
        // The editor's own save is no change by another program.
        f->prompts.takeTexts();
        settle();
        QVERIFY(f->prompts.messages.isEmpty());
    }

    void withChangesReloadDropsThemAfterASecondQuestion()
    {
        f->editTranslation(f->rowOf("Save"), "Sichern");
        const QString journal = f->recovery().journalPath();
        QVERIFY(QFile::exists(journal));
        f->prompts.pressButton("Reload");
        f->prompts.answer(PromptAnswer::No);  // drop them? No: kept
        writeElsewhere(deu, "Auf");
        QTRY_COMPARE(f->prompts.messages.size(), 2);
        QCOMPARE(f->prompts.messages[0].choices, QStringList({"Reload", "Keep Mine"}));
        QVERIFY(f->prompts.messages[0].text.startsWith(
            deu + " was changed by another program, and you have unsaved changes."));
        QCOMPARE(f->prompts.messages[1].text, QStringLiteral("Drop your unsaved changes and reload %1?").arg(deu));
        QCOMPARE(f->storedTranslation("Save"), QStringLiteral("Sichern"));
        QVERIFY(f->view->isModified());

        f->prompts.takeTexts();
        f->prompts.pressButton("Reload");
        f->prompts.answer(PromptAnswer::Yes);
        writeElsewhere(deu, "Offen");
        QTRY_COMPARE(f->prompts.messages.size(), 2);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Offen"));
        QCOMPARE(f->storedTranslation("Save"), QStringLiteral("Save"));
        QVERIFY(!f->view->isModified());
        QVERIFY(!QFile::exists(journal));
    }

    void keepMineKeepsTheChangesAndSaveAsksBeforeOverwriting()
    {
        f->editTranslation(f->rowOf("Save"), "Sichern");
        f->prompts.pressButton("Keep Mine");
        writeElsewhere(deu, "Auf");
        QTRY_COMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->storedTranslation("Save"), QStringLiteral("Sichern"));
        QVERIFY(f->view->isModified());
        f->prompts.takeTexts();
        f->prompts.answer(PromptAnswer::No);
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList{kOverwriteText.arg(deu)});
        QCOMPARE(onDisk(deu, "Open"), QStringLiteral("Auf"));
    }

    // However the change arrives (no event delivered yet), Save compares
    // the file with what was read.
    void saveNeverOverwritesSilently()
    {
        f->editTranslation(f->rowOf("Save"), "Sichern");
        writeElsewhere(deu, "Auf");
        f->prompts.answer(PromptAnswer::No);
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList{kOverwriteText.arg(deu)});
        QCOMPARE(onDisk(deu, "Open"), QStringLiteral("Auf"));
        // A file removed meanwhile has nothing to overwrite: Save writes it.
        QFile::remove(deu);
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList{"Save OK"});
        QCOMPARE(onDisk(deu, "Save"), QStringLiteral("Sichern"));
    }

    void saveAllOfAFolderNamesTheFilesChanged()
    {
        QDir(f->path("")).mkpath("Lang");
        const QString a = f->writeLanguageFile("Lang/a.xml", {R"(<L from="Open" to="Open"/>)"});
        const QString b = f->writeLanguageFile("Lang/b.xml", {R"(<L from="Open" to="Open"/>)"});
        f->openFolder(f->path("Lang"));
        QCOMPARE(f->view->currentCatalogueId(), 0);
        f->prompts.takeTexts();
        f->editTranslation(f->rowOf("Open"), "Öffnen");
        f->prompts.pressButton("Keep Mine");
        writeElsewhere(b, "Auf");
        QTRY_COMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith(b + " was changed by another program"));
        f->prompts.takeTexts();
        f->prompts.answer(PromptAnswer::Yes);
        f->run(Command::FileSave);
        QCOMPARE(f->prompts.takeTexts(), QStringList{kOverwriteText.arg(b)});
        QCOMPARE(onDisk(a, "Open"), QStringLiteral("Öffnen"));
        QCOMPARE(onDisk(b, "Open"), QStringLiteral("Öffnen"));
    }
};

RENDARO_GUI_TEST(DiskChangesTest)
#include "disk_changes_test.moc"
