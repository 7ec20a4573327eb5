#include "catalogue/document.h"
#include "catalogue/safe_file.h"
#include "special_files.h"
#include "test_support.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using SafeFile = FolderTest;

// Files of the folder besides the given ones: left-over temporary files.
QStringList leftOvers(const QString &folder, const QStringList &expected)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : expected)
        names.removeAll(name);
    return names;
}

TEST_F(SafeFile, RefusesTargetsThatAreNotRegularFilesAndChangesNothing)
{
    ASSERT_TRUE(makeFifo(folder.path("fifo")));
    const int socket = makeSocket(folder.path("socket"));
    ASSERT_GE(socket, 0);
    QDir(folder.root()).mkdir("folder");
    QFile::link(folder.path("fifo"), folder.path("link-to-fifo"));
    struct Target {
        const char *name;
        mode_t type;
        const char *reason;
    };
    std::vector<Target> targets = {{"fifo", S_IFIFO, "it is a FIFO, not a regular file"},
                                   {"socket", S_IFSOCK, "it is a socket, not a regular file"},
                                   {"folder", S_IFDIR, "it is a folder, not a regular file"},
                                   {"link-to-fifo", S_IFLNK, "it is a FIFO, not a regular file"}};
    if (makeNullDevice(folder.path("null")))
        targets.push_back({"null", S_IFCHR, "it is a character device, not a regular file"});
    for (const Target &target : targets) {
        const QString path = folder.path(target.name);
        QString error;
        EXPECT_FALSE(writeFileAtomically(path, QByteArray("data"), &error)) << target.name;
        EXPECT_EQ(error, target.reason) << target.name;
        EXPECT_EQ(nonRegularFileReason(path), target.reason);
        EXPECT_EQ(fileType(path), target.type) << target.name;
    }
    EXPECT_EQ(fileType(folder.path("fifo")), mode_t(S_IFIFO));
    ::close(socket);

    // A save goes the same way: the FIFO stays, nothing is left behind.
    CRendaroDoc document;
    const int id = document.LoadCatalogue(write("a.xml", languageFile("", {"<L from=\"A\" to=\"B\"/>"})), false);
    EXPECT_FALSE(document.SaveCatalogue(id, folder.path("fifo"), true));
    EXPECT_EQ(document.lastErrorText(), folder.path("fifo") + ": it is a FIFO, not a regular file");
    EXPECT_EQ(fileType(folder.path("fifo")), mode_t(S_IFIFO));
    EXPECT_EQ(leftOvers(folder.root(), {"fifo", "socket", "folder", "link-to-fifo", "null", "a.xml"}), QStringList());
}

TEST_F(SafeFile, ReplacesWhatALinkPointsToAndKeepsTheLink)
{
    const QString file = write("real.xml", "old");
    QFile::link(file, folder.path("link.xml"));
    ASSERT_TRUE(writeFileAtomically(folder.path("link.xml"), QByteArray("new")));
    EXPECT_EQ(fileType(folder.path("link.xml")), mode_t(S_IFLNK));
    EXPECT_EQ(readBytes(file), QByteArray("new"));

    // A new file through a dangling link is created where the link points.
    QFile::link(folder.path("later.xml"), folder.path("dangling.xml"));
    ASSERT_TRUE(writeFileAtomically(folder.path("dangling.xml"), QByteArray("x")));
    EXPECT_EQ(readBytes(folder.path("later.xml")), QByteArray("x"));
    EXPECT_EQ(fileType(folder.path("dangling.xml")), mode_t(S_IFLNK));
}

TEST_F(SafeFile, KeepsOwnerGroupAndPermissionsOfTheReplacedFile)
{
    if (!isRoot())
        GTEST_SKIP() << "giving a file another owner needs root";
    const QString path = write("a.xml", "old");
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chown(name.constData(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("new")));
    struct stat st;
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readBytes(path), QByteArray("new"));
}

TEST_F(SafeFile, NamesUpToTheSystemLimitSaveInPlace)
{
    CRendaroDoc document;
    for (int length : {249, 252, 255}) {
        const QString name = QString(length - 4, u'n') + ".xml";
        const QString path = write(name, languageFile("", {"<L from=\"A\" to=\"B\"/>"}));
        ASSERT_TRUE(QFile::exists(path)) << length;
        const int id = document.LoadCatalogue(path, false);
        ASSERT_GE(id, 0);
        document.SetTranslation(id, "A", "C", 1);
        EXPECT_TRUE(document.SaveCatalogue(id, path, true)) << length << ": " << document.lastErrorText().toStdString();
        EXPECT_TRUE(readBytes(path).contains("to=\"C\"")) << length;
    }
}

TEST_F(SafeFile, FailuresGiveTheSystemsReason)
{
    QString error;
    EXPECT_FALSE(writeFileAtomically(folder.path("missing/a.xml"), QByteArray("x"), &error));
    EXPECT_EQ(error, u"No such file or directory");
    EXPECT_FALSE(writeFileAtomically(folder.path(QString(256, u'n')), QByteArray("x"), &error));
    EXPECT_EQ(error, u"File name too long");
    // A body that fails leaves the old file and no temporary file.
    const QString path = write("a.xml", "old");
    EXPECT_FALSE(writeFileAtomically(path, [](QIODevice &) { return false; }, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old"));
    EXPECT_EQ(leftOvers(folder.root(), {"a.xml"}), QStringList());
}

using DurableBatch = FolderTest;

TEST_F(DurableBatch, NothingIsInPlaceBeforeTheCommitAndEverythingAfterIt)
{
    QDir(folder.root()).mkdir("sub");
    const QString replaced = write("a.xml", "old a");
    const QByteArray name = QFile::encodeName(replaced);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    const QString inSub = write("sub/b.xml", "old b");
    const QString fresh = folder.path("sub/c.xml");

    DurableWriteBatch batch;
    const int a = batch.add(replaced, QByteArray("new a"));
    const int b = batch.add(inSub, [](QIODevice &device) { return device.write("new b") == 5; });
    const int c = batch.add(fresh, QByteArray("new c"));
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_GE(c, 0);
    EXPECT_EQ(readBytes(replaced), QByteArray("old a"));
    EXPECT_EQ(readBytes(inSub), QByteArray("old b"));
    EXPECT_FALSE(QFile::exists(fresh));

    EXPECT_TRUE(batch.commit());
    for (const int file : {a, b, c}) {
        EXPECT_TRUE(batch.written(file)) << file;
        EXPECT_EQ(batch.errorOf(file), QString()) << file;
    }
    EXPECT_EQ(readBytes(replaced), QByteArray("new a"));
    EXPECT_EQ(readBytes(inSub), QByteArray("new b"));
    EXPECT_EQ(readBytes(fresh), QByteArray("new c"));
    struct stat st;
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(leftOvers(folder.root(), {"a.xml", "sub"}), QStringList());
    EXPECT_EQ(leftOvers(folder.path("sub"), {"b.xml", "c.xml"}), QStringList());
}

TEST_F(DurableBatch, ABatchNotCommittedLeavesEveryTargetOld)
{
    const QString a = write("a.xml", "old a");
    const QString b = write("b.xml", "old b");
    {
        DurableWriteBatch batch;
        ASSERT_GE(batch.add(a, QByteArray("new a")), 0);
        ASSERT_GE(batch.add(b, QByteArray("new b")), 0);
        ASSERT_GE(batch.add(folder.path("c.xml"), QByteArray("new c")), 0);
    }
    EXPECT_EQ(readBytes(a), QByteArray("old a"));
    EXPECT_EQ(readBytes(b), QByteArray("old b"));
    EXPECT_EQ(leftOvers(folder.root(), {"a.xml", "b.xml"}), QStringList());
}

// A file that fails, whether while it is written or when it is put in
// place, is left old with its reason; the others of the batch are written.
TEST_F(DurableBatch, AFileThatFailsIsLeftOldAndTheOthersAreWritten)
{
    ASSERT_TRUE(makeFifo(folder.path("fifo")));
    const QString before = write("before.xml", "old");
    const QString failing = write("failing.xml", "old");
    const QString becomesFolder = folder.path("later");
    const QString after = write("after.xml", "old");

    DurableWriteBatch batch;
    QString error;
    const int first = batch.add(before, QByteArray("new"));
    EXPECT_EQ(batch.add(failing, [](QIODevice &device) { device.write("part"); return false; }, &error), -1);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(batch.add(folder.path("fifo"), QByteArray("new"), &error), -1);
    EXPECT_EQ(error, u"it is a FIFO, not a regular file");
    const int late = batch.add(becomesFolder, QByteArray("new"));
    const int last = batch.add(after, QByteArray("new"));
    ASSERT_GE(late, 0);
    QDir(folder.root()).mkdir("later");  // turns into a folder before the commit

    EXPECT_FALSE(batch.commit());
    EXPECT_TRUE(batch.written(first));
    EXPECT_TRUE(batch.written(last));
    EXPECT_FALSE(batch.written(late));
    EXPECT_EQ(batch.errorOf(late), u"it is a folder, not a regular file");
    EXPECT_FALSE(batch.written(-1));
    EXPECT_EQ(readBytes(before), QByteArray("new"));
    EXPECT_EQ(readBytes(after), QByteArray("new"));
    EXPECT_EQ(readBytes(failing), QByteArray("old"));
    EXPECT_EQ(fileType(folder.path("fifo")), mode_t(S_IFIFO));
    EXPECT_TRUE(QFileInfo(becomesFolder).isDir());
    EXPECT_EQ(leftOvers(folder.root(), {"before.xml", "failing.xml", "fifo", "later", "after.xml"}), QStringList());
}

// A process killed at any moment of a batch leaves each target whole, old
// or new: the renames only start once every new content is on disk.
TEST_F(DurableBatch, AKillAtAnyMomentLeavesEachTargetOldOrNew)
{
    constexpr int kFiles = 40;
    const QByteArray oldBytes(64 << 10, 'o');
    const QByteArray newBytes(96 << 10, 'n');
    int sawOld = 0;
    for (int trial = 0; trial < 12; ++trial) {
        QStringList paths;
        for (int i = 0; i < kFiles; ++i)
            paths.append(write(QStringLiteral("f%1.xml").arg(i), oldBytes));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            DurableWriteBatch batch;
            for (const QString &path : paths)
                batch.add(path, newBytes);
            batch.commit();
            ::_exit(0);
        }
        // From before the first write to after the last rename.
        ::usleep(useconds_t(trial * trial * 2500));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (const QString &path : paths) {
            const QByteArray bytes = readBytes(path);
            EXPECT_TRUE(bytes == oldBytes || bytes == newBytes) << trial << ' ' << path.toStdString();
            sawOld += bytes == oldBytes;
        }
    }
    // The first kill comes before anything is in place.
    EXPECT_GE(sawOld, kFiles);
}

} // namespace
