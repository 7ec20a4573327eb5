#include "cli_run_helper.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

using ExtractCli = FolderTest;

TEST_F(ExtractCli, ListsTheTextsAsJson)
{
    const CliRun r = run({"extract", kResourceFixtures + "/resources64.dll", kResourceFixtures + "/resource.h"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray texts = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(texts.size(), 22) << r.out.toStdString();
    EXPECT_EQ(texts[1].toString(), u"Open...\tCtrl+O");
    EXPECT_EQ(texts[13].toString(), u"");  // the icon's empty text is listed too

    const CliRun noHeader = run({"extract", kResourceFixtures + "/resources64.dll", folder.path("none.h")});
    EXPECT_EQ(noHeader.status, 1);
    EXPECT_TRUE(noHeader.err.contains("header")) << noHeader.err.toStdString();
    const CliRun noExe = run({"extract", folder.path("none.exe"), kResourceFixtures + "/resource.h"});
    EXPECT_EQ(noExe.status, 1);
    EXPECT_TRUE(noExe.err.contains("executable")) << noExe.err.toStdString();
    EXPECT_EQ(run({"extract", "only-one"}).status, 2);
}

TEST_F(ExtractCli, AddsNewTextsToALanguageFile)
{
    const QString file = write("ENG.xml", languageFile("", {"<L from=\"Hello\" to=\"Hi there\" key=\"IDS_HELLO\"/>"}));
    const CliRun r = run({"extract", kResourceFixtures + "/resources64.dll", kResourceFixtures + "/resource.h", "--add-to", file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // 22 texts: one empty, "Hello" already present; the rest are new.
    EXPECT_EQ(r.out, u"20 strings added\n");
    const QByteArray saved = readBytes(file);
    EXPECT_TRUE(saved.contains("<L from=\"Hello\" to=\"Hi there\" key=\"IDS_HELLO\"/>"));
    EXPECT_TRUE(saved.contains("<L from=\"Open...\" to=\"Open...\"/>"));  // accelerator hint cut
    EXPECT_TRUE(saved.contains("<L from=\"Save &amp; Close\" to=\"Save &amp; Close\"/>"));

    const CliRun again = run({"extract", kResourceFixtures + "/resources64.dll", kResourceFixtures + "/resource.h", "--add-to", file});
    EXPECT_EQ(again.out, u"0 strings added\n");
}

TEST_F(ExtractCli, CreatesTheLanguageFileWhenMissingButNeverOverwritesABadOne)
{
    const QString file = folder.path("new.xml");
    const CliRun r = run({"extract", kResourceFixtures + "/resources32.dll", kResourceFixtures + "/resource.h", "--add-to", file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, u"21 strings added\n");  // 22 texts, one of them empty
    const QByteArray saved = readBytes(file);
    EXPECT_TRUE(saved.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n"
                                 "<Language AllowLength=\"2.000000\" CodeType=\"CPlus2\">\r\n"));
    EXPECT_TRUE(saved.contains("<L from=\"About\" to=\"About\"/>"));

    const QString broken = write("broken.xml", "<Language>");
    EXPECT_EQ(run({"extract", kResourceFixtures + "/resources32.dll", kResourceFixtures + "/resource.h", "--add-to", broken}).status, 1);
    EXPECT_EQ(readBytes(broken), QByteArray("<Language>"));
}

} // namespace
