// suggest and pretranslate: output forms, defaults, the checks leaving a
// suggestion out, the safe write to OUT or in place, unreadable --tm paths
// named while the others are used, and usage errors.

#include "cli_run_helper.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class MemoryCli : public FolderTest {
protected:
    void SetUp() override
    {
        QDir(folder.root()).mkpath("tm/sub");
        write("tm/A_DEU.xml", languageFile("", {
            R"(<L from="Delete %s file?" to="%s Datei löschen?"/>)",
            R"(<L from="Delete %s files?" to="%s Dateien löschen?"/>)",
            R"(<L from="Copy %s" to="%d kopieren"/>)",
            R"(<L from="Open" to="Öffnen"/>)",
        }));
        write("tm/sub/B_DEU.xml", languageFile("", {R"(<L from="Open" to="Aufmachen"/>)",
                                                    R"(<L from="Close" to="Schließen"/>)"}));
        target = write("DEU.xml", languageFile("", {
            R"(<L from="Delete %s file?" to="Delete %s file?"/>)",
            R"(<L from="Copy %s" to="Copy %s"/>)",
            R"(<L from="Open" to="Open"/>)",
            R"(<L from="Close" to="Zu"/>)",
            R"(<L from="Nothing alike here" to=""/>)",
        }));
    }
    QString target;
};

TEST_F(MemoryCli, SuggestListsUntranslatedEntriesInCatalogueOrder)
{
    const CliRun json = run({"suggest", target, "--tm", folder.path("tm"), "--json"});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonArray entries = QJsonDocument::fromJson(json.outBytes).array();
    QStringList listed;
    for (const QJsonValue &entry : entries)
        listed << entry["original"].toString();
    EXPECT_EQ(listed, QStringList({"Copy %s", "Delete %s file?", "Nothing alike here", "Open"}));

    const QJsonArray deleteFile = entries[1]["suggestions"].toArray();
    ASSERT_EQ(deleteFile.size(), 2);
    EXPECT_EQ(deleteFile[0]["score"].toInt(), 100);
    EXPECT_EQ(deleteFile[0]["translation"].toString(), "%s Datei löschen?");
    EXPECT_EQ(deleteFile[0]["file"].toString(), folder.path("tm/A_DEU.xml"));
    EXPECT_EQ(deleteFile[1]["original"].toString(), "Delete %s files?");
    EXPECT_GE(deleteFile[1]["score"].toInt(), 85);
    EXPECT_TRUE(entries[2]["suggestions"].toArray().isEmpty());
    // Both translations of "Open", one file each.
    EXPECT_EQ(entries[3]["suggestions"].toArray().size(), 2);

    const CliRun text = run({"suggest", target, "--tm", folder.path("tm/A_DEU.xml"), "--min", "90", "--limit", "1"});
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, QString("\"Copy %s\"\t100\t\"Copy %s\"\t\"%d kopieren\"\t%1\n"
                                "\"Delete %s file?\"\t100\t\"Delete %s file?\"\t\"%s Datei löschen?\"\t%1\n"
                                "\"Open\"\t100\t\"Open\"\t\"Öffnen\"\t%1\n")
                            .arg(folder.path("tm/A_DEU.xml")));
}

TEST_F(MemoryCli, UnreadableMemoryPathIsNamedAndTheOthersUsed)
{
    const QString missing = folder.path("gone");
    // Two paths after one --tm, FILE first.
    const CliRun result = run({"suggest", target, "--tm", missing, folder.path("tm/sub"), "--json"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Can not open this file. (" + missing + ": No such file or directory)\n");
    const QJsonArray entries = QJsonDocument::fromJson(result.outBytes).array();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[3]["suggestions"][0]["translation"].toString(), "Aufmachen");

    const QString out = folder.path("out.xml");
    const CliRun filled = run({"pretranslate", target, "--tm", missing, "--tm", folder.path("tm/sub"), "-o", out});
    EXPECT_EQ(filled.status, 1);
    EXPECT_TRUE(filled.err.contains(missing + ": No such file or directory")) << filled.err.toStdString();
    EXPECT_TRUE(readBytes(out).contains(R"(from="Open" to="Aufmachen")"));
}

TEST_F(MemoryCli, PretranslateFillsExactMatchesAndLeavesOutCheckFailures)
{
    const QByteArray before = readBytes(target);
    const QString out = folder.path("out.xml");
    const CliRun result = run({"pretranslate", target, "--tm", folder.path("tm"), "-o", out});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, "2 filled, 1 left out by the checks\n");
    EXPECT_EQ(result.err, "left out: \"Copy %s\" (Please put \"%s\" in String.)\n");
    EXPECT_EQ(readBytes(target), before);
    const QByteArray written = readBytes(out);
    EXPECT_TRUE(written.contains(R"(from="Delete %s file?" to="%s Datei löschen?")"));
    EXPECT_TRUE(written.contains(R"(from="Open" to="Öffnen")"));  // the first file's, on a tie
    EXPECT_TRUE(written.contains(R"(from="Copy %s" to="Copy %s")"));
    EXPECT_TRUE(written.contains(R"(from="Close" to="Zu")"));

    // In place, with a lower minimum.
    QDir(folder.root()).remove("tm/A_DEU.xml");
    write("tm/A_DEU.xml", languageFile("", {R"(<L from="Delete %s files?" to="%s Dateien löschen?"/>)"}));
    const CliRun inPlace = run({"pretranslate", target, "--tm", folder.path("tm"), "--min", "85"});
    ASSERT_EQ(inPlace.status, 0) << inPlace.err.toStdString();
    EXPECT_EQ(inPlace.out, "2 filled, 0 left out by the checks\n");
    EXPECT_TRUE(readBytes(target).contains(R"(from="Delete %s file?" to="%s Dateien löschen?")"));
}

TEST_F(MemoryCli, UsageAndUnwritableOutput)
{
    const QString tm = folder.path("tm");
    EXPECT_EQ(run({"suggest", target}).status, 2);                       // no --tm
    EXPECT_EQ(run({"suggest", target, "--tm"}).status, 2);               // --tm without a path
    EXPECT_EQ(run({"suggest", target, "--tm", tm, "--min", "101"}).status, 2);
    EXPECT_EQ(run({"suggest", target, "--tm", tm, "--limit", "0"}).status, 2);
    EXPECT_EQ(run({"suggest", "--tm", tm}).status, 2);                   // no FILE
    EXPECT_EQ(run({"pretranslate", target, "--tm", tm, "--json"}).status, 2);
    EXPECT_EQ(run({"pretranslate", target, "--tm", tm, "--min", "x"}).status, 2);
    const CliRun help = run({"pretranslate", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: rendaro-cli pretranslate FILE --tm PATH... [--min N] [-o OUT]\n"));
    EXPECT_TRUE(run({"--help"}).out.contains("rendaro-cli suggest FILE --tm PATH..."));

    const CliRun missing = run({"pretranslate", folder.path("none.xml"), "--tm", tm});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.startsWith("Can not open this file.")) << missing.err.toStdString();
    const CliRun toFolder = run({"pretranslate", target, "--tm", tm, "-o", folder.root()});
    EXPECT_EQ(toFolder.status, 1);
    EXPECT_TRUE(toFolder.err.startsWith("Can not save file. (")) << toFolder.err.toStdString();
}

} // namespace
