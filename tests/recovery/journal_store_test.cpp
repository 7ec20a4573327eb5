// Where journals live, how they are named and found, and that a journal
// is offered only once the process that wrote it is gone.

#include "recovery_fixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using JournalStore = RecoveryTest;

TEST_F(JournalStore, FolderFollowsXdgStateHomeOrHome)
{
    EXPECT_EQ(RecoveryFolder(), folder.path("state") + "/rendaro/recovery");
    qputenv("XDG_STATE_HOME", "relative/state");  // not absolute: ignored, as the XDG rules say
    EXPECT_EQ(RecoveryFolder(), QDir::homePath() + "/.local/state/rendaro/recovery");
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(RecoveryFolder(), QDir::homePath() + "/.local/state/rendaro/recovery");
    EXPECT_EQ(QFile::permissions(journals) & 0x0077, 0);  // the user's own (no group or other bits)
}

TEST_F(JournalStore, WriterCreatesANamedLockedJournalAndAppendsDurably)
{
    const QString file = write("DEU.xml", "x");
    auto writer = writerFor(file);
    ASSERT_TRUE(writer);
    const QString name = QFileInfo(writer->path()).fileName();
    EXPECT_TRUE(name.startsWith(JournalNameStem(JournalTargetPath(file)) + "-"
                                + QString::number(QCoreApplication::applicationPid()) + "-"))
        << name.toStdString();
    EXPECT_TRUE(name.endsWith(".journal"));
    EXPECT_EQ(journalNames(), QStringList{name});  // no file of the creation left

    writer->appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
    writer->appendSettings(3.0f, 1);
    ASSERT_TRUE(writer->flush());
    EXPECT_EQ(writer->recordCount(), 2);
    const JournalContents contents = ReadJournalFile(writer->path());
    ASSERT_TRUE(contents.valid);
    EXPECT_EQ(contents.header.target, JournalTargetPath(file));
    ASSERT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.records[0].translation, u"Öffnen");

    // Held while the writer lives, by this process too.
    EXPECT_FALSE(JournalClaim::take(writer->path()));
    writer->discard();
    EXPECT_TRUE(journalNames().isEmpty());
}

TEST_F(JournalStore, ManyAppendsFromABurstAllReachTheFileInOrder)
{
    auto writer = writerFor(write("DEU.xml", "x"));
    for (int i = 0; i < 5000; ++i)
        writer->appendEntry(JournalRecordType::Set, QString::number(i), QStringLiteral("T%1").arg(i), 1);
    ASSERT_TRUE(writer->flush());
    const JournalContents contents = ReadJournalFile(writer->path());
    ASSERT_EQ(contents.records.size(), 5000u);
    for (int i = 0; i < 5000; i += 499)
        EXPECT_EQ(contents.records[size_t(i)].original, QString::number(i));
    EXPECT_FALSE(contents.damaged);
}

TEST_F(JournalStore, TwoEditorsOfOneFileKeepTwoJournals)
{
    const QString file = write("DEU.xml", "x");
    auto first = writerFor(file);
    auto second = writerFor(file);
    EXPECT_NE(first->path(), second->path());
    EXPECT_EQ(journalNames().size(), 2);
}

TEST_F(JournalStore, AJournalIsOfferedOnlyOnceItsWriterIsGone)
{
    const QString file = write("DEU.xml", "x");
    const QString other = write("FRA.xml", "x");
    auto writer = writerFor(file);
    writer->appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
    auto otherWriter = writerFor(other);
    JournalSearch search;
    search.target = JournalTargetPath(file);
    EXPECT_TRUE(FindJournals(journals, search).empty());
    search.inUse = true;
    std::vector<FoundJournal> found = FindJournals(journals, search);
    ASSERT_EQ(found.size(), 1u);  // not the other file's journal
    EXPECT_EQ(found[0].state, JournalState::InUse);

    const QString path = writer->path();
    writer.reset();  // closed without discarding: left behind
    search.inUse = false;
    search.claim = true;
    found = FindJournals(journals, search);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].state, JournalState::LeftBehind);
    EXPECT_EQ(found[0].contents.records.size(), 1u);
    ASSERT_TRUE(found[0].claim);
    // While claimed, a second search (another editor) does not offer it.
    EXPECT_TRUE(FindJournals(journals, search).empty());
    EXPECT_TRUE(found[0].claim->setAside());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(found[0].claim->path().endsWith(".discarded"));
    found.clear();
    EXPECT_TRUE(FindJournals(journals, search).empty());
    search.setAside = true;
    found = FindJournals(journals, search);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].state, JournalState::SetAside);
}

// Another process holding the lock (as a running editor does) keeps the
// journal from being offered; once it ends, the journal is free.
TEST_F(JournalStore, ALockHeldByAnotherProcessMeansItsEditorRuns)
{
    auto writer = writerFor(write("DEU.xml", "x"));
    const QString path = writer->path();
    writer.reset();
    QProcess holder;
    // One process that takes the lock and keeps it until it is killed.
    holder.start("bash", {"-c", "exec 9<\"$0\" && flock --exclusive 9 && exec sleep 30", path});
    ASSERT_TRUE(holder.waitForStarted());
    // Wait until the other process has its lock.
    for (int i = 0; i < 100 && JournalClaim::take(path); ++i)
        QThread::msleep(20);
    EXPECT_FALSE(JournalClaim::take(path));
    holder.kill();
    holder.waitForFinished();
    EXPECT_TRUE(JournalClaim::take(path));
}

TEST_F(JournalStore, ProcessIdentitySurvivesPidReuse)
{
    const ProcessIdentity self = CurrentProcessIdentity();
    EXPECT_GT(self.startTicks, 0u);
    EXPECT_FALSE(self.bootId.isEmpty());
    EXPECT_TRUE(IsProcessRunning(self));
    ProcessIdentity reused = self;
    reused.startTicks += 1;  // the same pid, started at another time: another process
    EXPECT_FALSE(IsProcessRunning(reused));
    ProcessIdentity earlierBoot = self;
    earlierBoot.bootId = "another-boot";
    EXPECT_FALSE(IsProcessRunning(earlierBoot));
    QProcess finished;
    finished.start("true", {});
    ASSERT_TRUE(finished.waitForFinished());
    EXPECT_FALSE(IsProcessRunning({finished.processId(), 0, self.bootId}));
}

TEST_F(JournalStore, SetAsideJournalsGoAfterAWeek)
{
    const QString file = write("DEU.xml", "x");
    // Two editors that ended without discarding their journals.
    writerFor(file).reset();
    writerFor(file).reset();
    JournalSearch search;
    search.claim = true;
    std::vector<FoundJournal> found = FindJournals(journals, search);
    ASSERT_EQ(found.size(), 2u);
    for (FoundJournal &journal : found)
        ASSERT_TRUE(journal.claim->setAside());
    // One set aside eight days ago, one today.
    QFile old(found[0].claim->path());
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addDays(-8), QFileDevice::FileModificationTime));
    old.close();
    const QString kept = QFileInfo(found[1].claim->path()).fileName();
    found.clear();
    PurgeOldJournals(journals);
    EXPECT_EQ(journalNames(), QStringList{kept});
}

TEST_F(JournalStore, CreationFailsWithAReason)
{
    QString error;
    EXPECT_FALSE(JournalWriter::create(folder.path("missing"), headerFor("x.xml"), &error));
    EXPECT_TRUE(error.contains("missing")) << error.toStdString();
}

} // namespace
