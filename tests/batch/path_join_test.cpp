#include "batch/path_join.h"
#include "test_support.h"

namespace {

TEST(JoinPath, PutsExactlyOneSeparatorBetweenTheParts)
{
    EXPECT_EQ(JoinPath("/branch", "Exe/Lang"), u"/branch/Exe/Lang");
    EXPECT_EQ(JoinPath("/branch/", "/Exe/Lang/"), u"/branch/Exe/Lang");  // a leading '/' stays below the folder
    EXPECT_EQ(JoinPath("/branch//x", "a//b"), u"/branch/x/a/b");
    EXPECT_EQ(JoinPath("", "Exe/Lang"), u"Exe/Lang");
    EXPECT_EQ(JoinPath("rel", "a"), u"rel/a");
}

TEST(JoinPath, ResolvesDotAndDotDot)
{
    EXPECT_EQ(JoinPath("/branch/Exe", "../Source/./View/resource.h"), u"/branch/Source/View/resource.h");
    EXPECT_EQ(JoinPath("/branch", "./a/."), u"/branch/a");
    EXPECT_EQ(JoinPath("/", "../../x"), u"/x");  // never above the root
    EXPECT_EQ(JoinPath("rel", "../../x"), u"../x");  // a relative path keeps what it cannot resolve
    EXPECT_EQ(JoinPath("a", ".."), u".");
    EXPECT_EQ(JoinPath("/a", ".."), u"/");
}

TEST(JoinPath, HasNoLengthLimit)
{
    const QString deep = "/" + QStringList(40, QString(20, u'd')).join(u'/');  // 840 characters
    const QString joined = JoinPath(deep, QString(300, u'f') + ".xml");
    EXPECT_EQ(joined.size(), deep.size() + 1 + 304);
    EXPECT_TRUE(joined.endsWith(QString(300, u'f') + ".xml"));
}

TEST(JoinPath, ModuleNamesAndExistingFiles)
{
    EXPECT_TRUE(IsModuleName("Exe/View.exe"));
    EXPECT_TRUE(IsModuleName("Exe/Device Pack/Vault.dll"));
    EXPECT_FALSE(IsModuleName(".exe"));  // only after the first character
    EXPECT_FALSE(IsModuleName("Exe/VIEW.EXE"));  // case-sensitive
    EXPECT_FALSE(IsModuleName("Source/Tray/TrayStrings.txt"));

    TempFolder folder;
    writeBytes(folder.path("file.txt"), "x");
    EXPECT_TRUE(FileExistsUnder(folder.root(), "file.txt"));
    EXPECT_TRUE(FileExistsUnder(folder.root(), "/sub/../file.txt"));
    EXPECT_FALSE(FileExistsUnder(folder.root(), "none.txt"));
    EXPECT_FALSE(FileExistsUnder("", folder.path("file.txt")));  // an empty folder is "not given"
}

} // namespace
