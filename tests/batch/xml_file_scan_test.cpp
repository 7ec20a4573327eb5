#include "batch/xml_file_scan.h"
#include "test_support.h"

namespace {

class XmlFileScan : public FolderTest {
protected:
    void SetUp() override
    {
        for (const char *dir : {"b", "b/.svn", ".svn", "b/deep"})
            QDir(folder.root()).mkpath(dir);
        for (const char *file : {"a.xml", "A.XML", "b/c.xml", "b/e.xml.bak", "b/.svn/d.xml", ".svn/f.xml",
                                 "b/deep/g.xml", "z.xml", "notes.txt"})
            write(file, "x");
    }
};

TEST_F(XmlFileScan, ListsXmlNamesDepthFirstAndNeverEntersSvn)
{
    QStringList rows;
    ScanFolderForXmlFiles(folder.root(), rows);
    const QString r = folder.root();
    EXPECT_EQ(rows, QStringList({r + "/a.xml", r + "/b/c.xml", r + "/b/deep/g.xml", r + "/b/e.xml.bak", r + "/z.xml"}));
}

TEST_F(XmlFileScan, AddsNoRowTwice)
{
    const QString r = folder.root();
    QStringList rows = {r + "/z.xml", r + "//a.xml"};  // the second spells its path differently
    ScanFolderForXmlFiles(r + "/", rows);
    EXPECT_EQ(rows, QStringList({r + "/z.xml", r + "//a.xml", r + "/a.xml", r + "/b/c.xml", r + "/b/deep/g.xml",
                                 r + "/b/e.xml.bak"}));
    const QStringList before = rows;
    ScanFolderForXmlFiles(r, rows);
    EXPECT_EQ(rows, before);
    ScanFolderForXmlFiles(r + "/missing", rows);
    EXPECT_EQ(rows, before);
}

} // namespace
