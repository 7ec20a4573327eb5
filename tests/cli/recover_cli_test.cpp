// rendaro-cli recover: the journals listed, and a file or language folder
// written with the changes of the journals an editor left behind.

#include "catalogue/document.h"
#include "cli_run_helper.h"
#include "recovery/journal_store.h"
#include "recovery/journal_writer.h"
#include "recovery/process_identity.h"
#include "test_support.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

class RecoverCli : public FolderTest {
protected:
    void SetUp() override
    {
        m_previous = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder.path("state")));
        ASSERT_TRUE(EnsureRecoveryFolder(RecoveryFolder(), nullptr));
        deu = write("DEU.xml", languageFile("AllowLength=\"2.0\" CodeType=\"CPlus2\"",
                                            {R"(<L from="Open" to="Open"/>)", R"(<L from="Save" to="Sichern"/>)"}));
    }
    void TearDown() override { qputenv("XDG_STATE_HOME", m_previous); }

    // A journal whose editor is still running while the writer lives.
    std::unique_ptr<JournalWriter> journal(const QString &target, JournalTargetKind kind = JournalTargetKind::File,
                                           const QStringList &files = {})
    {
        const ProcessIdentity self = CurrentProcessIdentity();
        JournalHeader header;
        header.kind = kind;
        header.target = JournalTargetPath(target);
        for (const QString &file : files)
            header.files.append(JournalTargetPath(file));
        header.pid = self.pid;
        header.startTicks = self.startTicks;
        header.bootId = self.bootId;
        QString error;
        auto writer = JournalWriter::create(RecoveryFolder(), header, &error);
        EXPECT_TRUE(writer) << error.toStdString();
        return writer;
    }
    // A journal left behind: written, then closed without being discarded.
    QString leftBehind(const QString &target, const std::function<void(JournalWriter &)> &records)
    {
        auto writer = journal(target);
        records(*writer);
        return writer->path();
    }
    static QString translation(const QString &path, const QString &original)
    {
        CRendaroDoc document;
        const int id = document.LoadCatalogue(path, false);
        return id < 0 ? QStringLiteral("<unreadable>") : document.GetTranslation(id, original);
    }

    QString deu;

private:
    QByteArray m_previous;
};

TEST_F(RecoverCli, ListNamesFileTimeCountAndState)
{
    CliRun r = run({"recover", "--list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "No recovery journals in " + RecoveryFolder() + "\n");

    const QString left = leftBehind(deu, [](JournalWriter &w) {
        w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
        w.appendEntry(JournalRecordType::Set, "Open", "Auf", 1);
        w.appendEntry(JournalRecordType::Set, "Save", "Speichern", 1);
    });
    const QString fra = write("FRA.xml", languageFile("", {R"(<L from="Open" to="Open"/>)"}));
    auto running = journal(fra);
    running->appendEntry(JournalRecordType::Set, "Open", "Ouvrir", 1);
    running->flush();

    r = run({"recover", "--list"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString time = QFileInfo(left).lastModified().toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_TRUE(r.out.contains(JournalTargetPath(deu) + ": 2 changes, " + time
                               + ", left by an editor that is no longer running\n    " + left + "\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(JournalTargetPath(fra) + ": 1 change, ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(", open in a running editor\n")) << r.out.toStdString();
}

TEST_F(RecoverCli, WritesTheFileWithTheChangesAndSetsTheJournalAside)
{
    const QString left = leftBehind(deu, [](JournalWriter &w) {
        w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
        w.appendEntry(JournalRecordType::Add, "New", "Neu", 1);
        w.appendEntry(JournalRecordType::Set, "Gone", "Weg", 1);
    });
    const CliRun r = run({"recover", deu});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Restored 2 changes to " + deu + "\nLeft out (no longer in the file): \"Gone\"\n");
    EXPECT_EQ(translation(deu, "Open"), u"Öffnen");
    EXPECT_EQ(translation(deu, "New"), u"Neu");
    EXPECT_EQ(translation(deu, "Save"), u"Sichern");
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(QFile::exists(QString(left).replace(".journal", ".discarded")));
    // Set aside, it is not found again; named, it still can be used.
    EXPECT_EQ(run({"recover", deu}).status, 1);
}

TEST_F(RecoverCli, WritesAnotherFileAndKeepsTheJournal)
{
    const QString left =
        leftBehind(deu, [](JournalWriter &w) { w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1); });
    const QByteArray before = readBytes(deu);
    const QString out = folder.path("restored.xml");
    const CliRun r = run({"recover", deu, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(readBytes(deu), before);
    EXPECT_EQ(translation(out, "Open"), u"Öffnen");
    EXPECT_TRUE(QFile::exists(left));

    // To standard output, the report goes to standard error.
    const CliRun toStdout = run({"recover", deu, "-o", "-"});
    ASSERT_EQ(toStdout.status, 0);
    EXPECT_TRUE(toStdout.out.contains("to=\"Öffnen\"")) << toStdout.out.toStdString();
    EXPECT_TRUE(toStdout.err.startsWith("Restored 1 change to standard output")) << toStdout.err.toStdString();
}

TEST_F(RecoverCli, RefusesWithoutAJournalOrWhileItsEditorRuns)
{
    CliRun r = run({"recover", deu});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("No recovery journal of " + JournalTargetPath(deu))) << r.err.toStdString();

    auto running = journal(deu);
    running->appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
    const QByteArray before = readBytes(deu);
    r = run({"recover", deu});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("open in a running editor")) << r.err.toStdString();
    r = run({"recover", deu, "--journal", running->path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readBytes(deu), before);

    EXPECT_EQ(run({"recover"}).status, 2);
    EXPECT_EQ(run({"recover", "--list", deu}).status, 2);
}

TEST_F(RecoverCli, ANamedJournalMustBelongToTheFile)
{
    const QString fra = write("FRA.xml", languageFile("", {R"(<L from="Open" to="Open"/>)"}));
    const QString left =
        leftBehind(fra, [](JournalWriter &w) { w.appendEntry(JournalRecordType::Set, "Open", "Ouvrir", 1); });
    const CliRun r = run({"recover", deu, "--journal", left});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("belongs to " + JournalTargetPath(fra))) << r.err.toStdString();
    EXPECT_EQ(run({"recover", fra, "--journal", left}).status, 0);
    EXPECT_EQ(translation(fra, "Open"), u"Ouvrir");
}

TEST_F(RecoverCli, ALanguageFolderIsWrittenFileByFile)
{
    QDir(folder.root()).mkpath("Lang/DEU");
    const QString a = write("Lang/DEU/a.xml", languageFile("", {R"(<L from="Open" to="Open"/>)"}));
    const QString b = write("Lang/DEU/b.xml", languageFile("", {R"(<L from="Open" to="Open"/>)",
                                                                R"(<L from="Exit" to="Exit"/>)"}));
    const QString lang = folder.path("Lang");
    {
        auto writer = journal(lang, JournalTargetKind::Folder, {a, b});
        writer->appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
        writer->appendEntry(JournalRecordType::Set, "Exit", "Beenden", 1);
    }
    EXPECT_EQ(run({"recover", lang, "-o", folder.path("x.xml")}).status, 2);
    const CliRun r = run({"recover", lang});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Restored 2 changes to the files of " + lang + "\n");
    EXPECT_EQ(translation(a, "Open"), u"Öffnen");
    EXPECT_EQ(translation(b, "Open"), u"Öffnen");
    EXPECT_EQ(translation(b, "Exit"), u"Beenden");
}

} // namespace
