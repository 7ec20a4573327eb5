#include "cli_run_helper.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using ExportCli = FolderTest;

TEST_F(ExportCli, OneFile)
{
    const QString path = write("DEU.xml", languageFile("", {"<L from=\"A\" to=\"Ah\" key=\"K\"/>"}));
    const CliRun ok = run({"export", "php", path, "-o", folder.path("out.php")});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, u"Save OK\n");
    EXPECT_EQ(readBytes(folder.path("out.php")), QByteArray("<?php\r\n$V=array(\r\n'K'=>'Ah',\r\n);\r\n?>\r\n"));
    const CliRun failed = run({"export", "js", path, "-o", folder.path("no/dir/out.js")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.startsWith("Can not save file."));
    EXPECT_EQ(run({"export", "xls", path, "-o", folder.path("x")}).status, 2);
    EXPECT_EQ(run({"export", "js", path}).status, 2);
}

TEST_F(ExportCli, LanguageFolderWritesEachFileUnderItsScriptName)
{
    QDir(folder.root()).mkpath("web");
    QDir(folder.root()).mkpath("Vantor/lang");
    write("web/ViewResDEU.xml", languageFile("", {"<L from=\"A\" to=\"Ah\" key=\"K\"/>"}));
    write("web/BackResCHT.xml", languageFile("", {"<L from=\"A\" to=\"Ay\" key=\"K\"/>"}));
    write("Vantor/lang/CHT.xml", languageFile("", {"<L from=\"B\" to=\"Be\" key=\"K2\"/>"}));
    write("Vantor/lang/XYZ.xml", languageFile("", {}));
    const CliRun r = run({"export", "js", "--folder", folder.root()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              QStringList({folder.path("Vantor/lang/zh_tw.js"), folder.path("web/CHTWebRPB.js"), folder.path("web/DEU.js")}));
    EXPECT_TRUE(r.err.contains("Skipped " + folder.path("Vantor/lang/XYZ.xml")));
    // Each file gets its own catalogue's strings, not the merged list.
    EXPECT_EQ(readBytes(folder.path("web/DEU.js")), QByteArray("langTrans = {\r\n'K': 'Ah'\r\n};\r\n"));
    EXPECT_EQ(readBytes(folder.path("web/CHTWebRPB.js")), QByteArray("langTrans = {\r\n'K': 'Ay'\r\n};\r\n"));

    write("web/Broken.xml", "<Language>");
    const CliRun broken = run({"export", "php", "--folder", folder.root()});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(QFile::exists(folder.path("web/ViewResDEU.php")));
    EXPECT_EQ(run({"export", "js", "--folder", folder.path("missing")}).status, 1);
}

TEST_F(ExportCli, LanguageFolderNamesComeFromTheAbsolutePath)
{
    QDir(folder.root()).mkpath("Vantor/lang");
    write("Vantor/lang/CHT.xml", languageFile("", {"<L from=\"B\" to=\"Be\" key=\"K2\"/>"}));
    WorkingFolder working(folder.path("Vantor"));
    const CliRun r = run({"export", "js", "--folder", "lang"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, folder.path("Vantor/lang/zh_tw.js") + "\n");
    EXPECT_TRUE(QFile::exists(folder.path("Vantor/lang/zh_tw.js")));
}

TEST_F(ExportCli, TwoFilesWithOneScriptNameWriteTheFirstOnly)
{
    QDir(folder.root()).mkpath("Vantor");
    // Both are en.js in a "Vantor" folder; ENG.xml comes first.
    const QString first = write("Vantor/ENG.xml", languageFile("", {"<L from=\"A\" to=\"first\" key=\"K\"/>"}));
    const QString second = write("Vantor/ViewResENG.xml", languageFile("", {"<L from=\"A\" to=\"second\" key=\"K\"/>"}));
    const CliRun r = run({"export", "js", "--folder", folder.root()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, folder.path("Vantor/en.js") + "\n");
    EXPECT_EQ(r.err, "Skipped " + second + ": its script file " + folder.path("Vantor/en.js") +
                         " is already written for " + first + "\n");
    EXPECT_EQ(readBytes(folder.path("Vantor/en.js")), QByteArray("langTrans = {\r\n'K': 'first'\r\n};\r\n"));
}

} // namespace
