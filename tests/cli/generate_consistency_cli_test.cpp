#include "cli_run_helper.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using GenerateAllCli = FolderTest;
using ConsistencyCli = FolderTest;

TEST_F(GenerateAllCli, PrintsEveryFileWrittenAndImportsOnRequest)
{
    for (const char *dir : {"tree/lang/CHT", "tree/lang/DEU", "tree/.svn"})
        QDir(folder.root()).mkpath(dir);
    const QString english = write("ViewResENG.xml", languageFile("", {"<L from=\"Open\" to=\"Open\"/>"}));
    write("tree/lang/CHT/VaridivUvaCHT.xml", languageFile("", {"<L from=\"Open\" to=\"開啟\"/>"}));
    write("tree/lang/DEU/VaridivUvaDEU.xml", languageFile("", {}));
    write("tree/.svn/VaridivUvaFRA.xml", languageFile("", {}));
    const QString cht = folder.path("tree/lang/CHT/ViewResCHT.xml"), deu = folder.path("tree/lang/DEU/ViewResDEU.xml");

    const CliRun plain = run({"generate-all", english, folder.path("tree")});
    EXPECT_EQ(plain.status, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out, cht + "\n" + deu + "\n");
    EXPECT_EQ(readBytes(cht), readBytes(deu));

    const CliRun imported = run({"generate-all", english, folder.path("tree"), "--import"});
    EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, cht + "\n" + deu + "\n" + cht + ": 1 translation imported from 1 file\n" + deu +
                                ": 0 translations imported from 1 file\n");
    EXPECT_TRUE(readBytes(cht).contains("to=\"開啟\""));
}

TEST_F(GenerateAllCli, UsageUnreadableFileAndNoPrefix)
{
    EXPECT_EQ(run({"generate-all"}).status, 2);
    EXPECT_EQ(run({"generate-all", "a.xml"}).status, 2);
    EXPECT_EQ(run({"generate-all", "a.xml", "b", "c"}).status, 2);
    EXPECT_EQ(run({"generate-all", "a.xml", "--imports"}).status, 2);
    const CliRun missing = run({"generate-all", folder.path("ViewResENG.xml"), folder.root()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.startsWith("Can not open this file. (")) << missing.err.toStdString();
    const QString noPrefix = write("ViewENG.xml", languageFile("", {}));
    const CliRun none = run({"generate-all", noPrefix, folder.root()});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.isEmpty());
}

TEST_F(ConsistencyCli, ExitsOneWhenTranslationsDiffer)
{
    write("a.xml", languageFile("", {"<L from=\"Cancel\" to=\"Abbrechen\"/>", "<L from=\"Save\" to=\"Speichern\"/>"}));
    write("b.xml", languageFile("", {"<L from=\"Cancel\" to=\"Abbrechen\"/>", "<L from=\"Save\" to=\"Save\"/>"}));
    const CliRun same = run({"consistency", folder.root()});
    EXPECT_EQ(same.status, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, u"0 originals translated differently in 2 files\n");

    write("c.xml", languageFile("", {"<L from=\"Cancel\" to=\"Abbruch &amp; Ende\"/>"}));
    const CliRun text = run({"consistency", folder.root()});
    EXPECT_EQ(text.status, 1);
    const QString r = folder.root() + "/";
    EXPECT_EQ(text.out, "\"Cancel\"\n    \"Abbrechen\": " + r + "a.xml, " + r + "b.xml\n    \"Abbruch & Ende\": " + r +
                            "c.xml\n1 original translated differently in 3 files\n");

    const CliRun json = run({"consistency", folder.root(), "--json"});
    EXPECT_EQ(json.status, 1);
    const QJsonArray items = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(items.size(), 1) << json.out.toStdString();
    EXPECT_EQ(items[0].toObject()["original"].toString(), u"Cancel");
    const QJsonArray translations = items[0].toObject()["translations"].toArray();
    ASSERT_EQ(translations.size(), 2);
    EXPECT_EQ(translations[1].toObject()["translation"].toString(), u"Abbruch & Ende");
    EXPECT_EQ(translations[0].toObject()["files"].toArray(), QJsonArray({r + "a.xml", r + "b.xml"}));

    EXPECT_EQ(run({"consistency"}).status, 2);
    EXPECT_EQ(run({"consistency", folder.root(), "extra"}).status, 2);
    EXPECT_EQ(run({"consistency", folder.path("missing")}).status, 1);
}

} // namespace
