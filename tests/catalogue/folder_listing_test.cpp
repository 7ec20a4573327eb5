#include "catalogue/folder_listing.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(FolderListing, ListsXmlFilesDepthFirstInNameOrder)
{
    TempFolder folder;
    QDir root(folder.root());
    for (const char *dir : {"b_sub", "b_sub/deeper", ".svn", "z"})
        root.mkpath(QString::fromLatin1(dir));
    for (const char *file : {"a.xml", "A.XML", "c.xml.bak", "c.xml", "b_sub/in.xml", "b_sub/deeper/x.xml",
                             ".svn/hidden.xml", ".dot.xml", "z/last.xml", "noext", "d.xmlx"})
        writeBytes(root.filePath(QString::fromLatin1(file)), "<Language/>");
    const QString r = folder.root();
    EXPECT_EQ(ListLanguageFiles(r + "/"),
              QStringList({r + "/a.xml", r + "/b_sub/deeper/x.xml", r + "/b_sub/in.xml", r + "/c.xml", r + "/z/last.xml"}));
}

TEST(FolderListing, OnlyRegularFilesAndEachFolderOnce)
{
    TempFolder folder;
    QDir(folder.root()).mkpath("sub");
    writeBytes(folder.path("sub/a.xml"), "<Language/>");
    QFile::link(folder.root(), folder.path("sub/loop"));
    QFile::link(folder.path("gone.xml"), folder.path("sub/dangling.xml"));
    ASSERT_EQ(::mkfifo(folder.path("sub/pipe.xml").toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(ListLanguageFiles(folder.root()), QStringList({folder.path("sub/a.xml")}));
    EXPECT_TRUE(ListLanguageFiles(folder.path("missing")).isEmpty());
}

} // namespace
