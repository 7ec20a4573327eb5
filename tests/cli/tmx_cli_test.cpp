// tmx export, TMX files as --tm of suggest and pretranslate, and dump --lines.

#include "cli_run_helper.h"
#include "exchange/tmx_reader.h"
#include "test_support.h"

namespace {

QStringList unitsOf(const QString &path)
{
    QStringList units;
    const TmxReadResult read = ReadTmxFile(path, [&](const TmxUnit &unit) {
        QStringList variants;
        for (const TmxVariant &variant : unit.variants)
            variants << variant.language + u'=' + variant.text;
        units << unit.file + u':' + unit.tuid + u' ' + variants.join(u' ');
        return true;
    });
    EXPECT_TRUE(read.ok()) << read.error.toStdString();
    return units;
}

} // namespace

class TmxCli : public FolderTest {};

TEST_F(TmxCli, ExportsFilesAndFoldersInTheirLanguages)
{
    const QString de = write("ViewResDEU.xml", languageFile("", {R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
                                                                R"(<L from="Save" to="Save" key="IDS_SAVE"/>)"}));
    QDir(folder.root()).mkpath("lang/FRA");
    write("lang/FRA/ViewResFRA.xml", languageFile("", {R"(<L from="Open" to="Ouvrir" key="IDS_OPEN"/>)"}));
    write("lang/FRA/BackResFRA.xml", languageFile("", {R"(<L from="Back" to="Retour"/>)"}));
    const QString out = folder.path("out.tmx");
    const CliRun exported = run({"tmx", "export", de, folder.path("lang"), "-o", out});
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, "3 translation units written to " + out + "\n");
    EXPECT_EQ(unitsOf(out), (QStringList{"ViewResDEU.xml:IDS_OPEN en-US=Open de=Öffnen",
                                         "FRA/BackResFRA.xml: en-US=Back fr=Retour",
                                         "FRA/ViewResFRA.xml:IDS_OPEN en-US=Open fr=Ouvrir"}));

    // A file whose name names no language is left out unless one is given.
    const QString unnamed = write("strings.xml", languageFile("", {R"(<L from="Yes" to="Ja"/>)"}));
    const CliRun without = run({"tmx", "export", unnamed, de, "-o", out});
    EXPECT_EQ(without.status, 1);
    EXPECT_TRUE(without.err.contains("names no known language; give one with --target-language"));
    EXPECT_EQ(unitsOf(out).size(), 1);
    const CliRun given = run({"tmx", "export", unnamed, "-o", "-", "--target-language", "de-AT"});
    EXPECT_EQ(given.status, 0) << given.err.toStdString();
    EXPECT_TRUE(given.out.contains("<tuv xml:lang=\"de-AT\"><seg>Ja</seg></tuv>"));
    EXPECT_EQ(run({"tmx", "export", unnamed, "-o", out, "--target-language", "d e"}).status, 2);
    EXPECT_EQ(run({"tmx", "export", "-o", out}).status, 2);
    EXPECT_EQ(run({"tmx", "import", de, out}).status, 2);
    const CliRun missing = run({"tmx", "export", folder.path("none.xml"), "--target-language", "de", "-o", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("Can not open this file."));
}

TEST_F(TmxCli, TmxFilesServeSuggestAndPretranslate)
{
    const QString tmx = write("agency.tmx",
                              "<tmx version=\"1.4\"><header srclang=\"en-US\"/><body>\n"
                              "<tu><tuv xml:lang=\"en-US\"><seg>Open</seg></tuv><tuv xml:lang=\"de-DE\"><seg>Öffnen</seg></tuv>"
                              "<tuv xml:lang=\"fr-FR\"><seg>Ouvrir</seg></tuv></tu>\n"
                              "<tu><tuv xml:lang=\"en-US\"><seg>Close</seg></tuv><tuv xml:lang=\"fr-FR\"><seg>Fermer</seg></tuv></tu>\n"
                              "</body></tmx>\n");
    const QString de = write("ViewResDEU.xml", languageFile("", {R"(<L from="Open" to="Open"/>)",
                                                                R"(<L from="Close" to="Close"/>)"}));
    const QByteArray root = "AllowLength=\"2.000000\" CodeType=\"CPlus2\"";
    const QString fr = write("ViewResFRA.xml", languageFile(root, {R"(<L from="Open" to="Open"/>)",
                                                                R"(<L from="Close" to="Close"/>)"}));
    const CliRun suggested = run({"suggest", de, "--tm", tmx});
    EXPECT_EQ(suggested.status, 0) << suggested.err.toStdString();
    EXPECT_EQ(suggested.out, "\"Open\"\t100\t\"Open\"\t\"Öffnen\"\t" + tmx + "\n");
    EXPECT_EQ(suggested.err, "Warning: " + tmx + ": 1 of 2 units were left out: they hold no English text, no text "
                                                "in de, or no translation\n");
    const CliRun filled = run({"pretranslate", fr, "--tm", tmx});
    EXPECT_EQ(filled.status, 0) << filled.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(readBytes(fr)),
              QString::fromUtf8(languageFile(root, {R"(<L from="Open" to="Ouvrir"/>)", R"(<L from="Close" to="Fermer"/>)"})));

    write("broken.tmx", "<tmx><body><tu><tuv xml:lang=\"en\"><seg>Open</seg></tuv><tuv xml:lang=\"de\"><seg>Auf</seg>"
                        "</tuv></tu>\n<tu>");
    const CliRun broken = run({"suggest", de, "--tm", folder.path("broken.tmx")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.out.contains("\"Auf\""));
    EXPECT_TRUE(broken.err.contains("broken.tmx: line 2: no element found; the unit before it is used)"))
        << broken.err.toStdString();
}

TEST_F(TmxCli, DumpLinesGivesOneLinePerEntry)
{
    const QString file = write("DEU.xml", languageFile("", {
        R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
        R"(<L from="Open" to="Öffnen" key="IDS_OPEN_TB"/>)",
        R"(<L from="Two/nlines" to="Zwei/nZeilen"/>)",
        R"(<L from="Tab&#9;here" to="Tab&#9;hier" key="IDS_TAB"/>)",
        R"(<L from="Brand" to="Brand" key="IDS_BRAND" IsTrans="false"/>)",
    }));
    const CliRun dumped = run({"dump", "--lines", file});
    EXPECT_EQ(dumped.status, 0) << dumped.err.toStdString();
    EXPECT_EQ(dumped.out, "IDS_OPEN, IDS_OPEN_TB\tOpen\tÖffnen\n"
                          "\tTwo\\nlines\tZwei\\nZeilen\n"
                          "IDS_TAB\tTab\\u0009here\tTab\\u0009hier\n"
                          "IDS_BRAND\tBrand\tBrand\n");
    EXPECT_EQ(run({"dump", "--lines", folder.path("none.xml")}).status, 1);
}
