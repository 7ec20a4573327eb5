#include "catalogue/document.h"
#include "catalogue/safe_file.h"
#include "special_files.h"
#include "test_support.h"

#include <gtest/gtest.h>

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

} // namespace
