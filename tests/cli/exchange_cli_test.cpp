// xliff and po: export for translation, and the translations back in.

#include "cli_run_helper.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

class ExchangeCli : public FolderTest {
protected:
    QString deu()
    {
        return write("ViewResDEU.xml", languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", {
            R"(<L from="Open" to="Open" key="IDS_OPEN"/>)",
            R"(<L from="Delete %s?" to="Delete %s?" key="IDS_DEL"/>)",
            R"(<L from="Line/nbreak" to="Line/nbreak" key="IDS_LINE"/>)",
            R"(<L from="Brand" to="Brand" key="IDS_BRAND" IsTrans="false"/>)",
        }));
    }
};

TEST_F(ExchangeCli, PoOutAndBackIn)
{
    const QString file = deu();
    const CliRun exported = run({"po", "export", file, "-o", folder.path("out.po")});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, "Save OK\n");
    QByteArray po = readBytes(folder.path("out.po"));
    EXPECT_TRUE(po.contains("\"Language: de\\n\""));
    EXPECT_EQ(po.count("msgid \""), 4);  // the header and three messages

    po.replace("msgid \"Open\"\nmsgstr \"\"", "msgid \"Open\"\nmsgstr \"Öffnen\"");
    po.replace("msgid \"Delete %s?\"\nmsgstr \"\"", "msgid \"Delete %s?\"\nmsgstr \"Löschen?\"");
    po.replace("\"break\"\nmsgstr \"\"", "\"break\"\nmsgstr \"Zeilen\\n\" \"umbruch\"");
    po += "\nmsgctxt \"IDS_GONE\"\nmsgid \"Gone\"\nmsgstr \"Weg\"\n";
    const QString in = write("in.po", po);
    const CliRun imported = run({"po", "import", file, in});
    EXPECT_EQ(imported.status, 1) << "a unit was refused";
    EXPECT_EQ(imported.out, "2 changed, 0 unchanged, 1 refused, 1 unknown\n"
                            "refused: line 22: \"Delete %s?\" (IDS_DEL): Please put \"%s\" in String.\n"
                            "unknown: line 34: \"Gone\" (IDS_GONE): the file holds no such original\n"
                            "Save OK\n");
    const QByteArray saved = readBytes(file);
    EXPECT_TRUE(saved.contains(R"(from="Open" to="Öffnen")"));
    EXPECT_TRUE(saved.contains(R"(from="Line/nbreak" to="Zeilen/numbruch")"));
    EXPECT_TRUE(saved.contains(R"(from="Delete %s?" to="Delete %s?")"));
    EXPECT_FALSE(saved.contains("Gone"));
}

TEST_F(ExchangeCli, XliffOutAndBackInToAnotherFile)
{
    const QString file = deu();
    ASSERT_EQ(run({"xliff", "export", file, "-o", folder.path("out.xlf"), "--target-language", "de-AT"}).status, 0);
    QByteArray xliff = readBytes(folder.path("out.xlf"));
    EXPECT_TRUE(xliff.contains("target-language=\"de-AT\""));
    xliff.replace("<source>Open</source>\n        <target state=\"needs-translation\"></target>",
                  "<source>Open</source>\n        <target state=\"translated\">Öffnen</target>");
    const QString in = write("in.xlf", xliff);
    const QByteArray before = readBytes(file);
    const CliRun imported = run({"xliff", "import", file, in, "-o", folder.path("new.xml")});
    EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, "1 changed, 3 unchanged, 0 refused, 0 unknown\nSave OK\n");
    EXPECT_EQ(readBytes(file), before);
    EXPECT_TRUE(readBytes(folder.path("new.xml")).contains(R"(from="Open" to="Öffnen")"));

    // Nothing to change and no -o: the file is not written.
    const CliRun again = run({"xliff", "import", folder.path("new.xml"), in});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "0 changed, 4 unchanged, 0 refused, 0 unknown\n");
}

TEST_F(ExchangeCli, BadInputChangesNothing)
{
    const QString file = deu();
    const QByteArray before = readBytes(file);
    const QString broken = write("broken.po", "msgid \"Open\"\nmsgstr \"Öffnen\"\n\nmsgid \"x\n");
    const CliRun malformed = run({"po", "import", file, broken});
    EXPECT_EQ(malformed.status, 1);
    EXPECT_EQ(malformed.err, "Can not read " + broken + ": line 4: the string is not closed\n");
    EXPECT_TRUE(malformed.out.isEmpty());

    const QString french = write("fr.po", "msgid \"\"\nmsgstr \"Language: fr\\n\"\n\nmsgid \"Open\"\nmsgstr \"Ouvrir\"\n");
    const CliRun wrongLanguage = run({"po", "import", file, french});
    EXPECT_EQ(wrongLanguage.status, 1);
    EXPECT_EQ(wrongLanguage.err, french + " holds translations into fr, but " + file + " is in de; nothing was changed\n");

    const QString entity = write("e.xlf", "<!DOCTYPE x [<!ENTITY a \"b\">]><xliff version=\"1.2\"/>");
    EXPECT_EQ(run({"xliff", "import", file, entity}).status, 1);
    EXPECT_EQ(run({"xliff", "import", file, folder.path("missing.xlf")}).status, 1);
    EXPECT_EQ(readBytes(file), before);
}

TEST_F(ExchangeCli, FolderExportGivesAFileEach)
{
    QDir(folder.root()).mkpath("lang/DEU");
    write("lang/DEU/ViewResDEU.xml", languageFile("", {R"(<L from="Open" to="Öffnen"/>)"}));
    write("lang/DEU/BackResDEU.xml", languageFile("", {R"(<L from="Back" to="Zurück"/>)"}));
    const CliRun r = run({"xliff", "export", "--folder", folder.path("lang"), "-o", folder.path("all.xlf")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray xliff = readBytes(folder.path("all.xlf"));
    EXPECT_EQ(xliff.count("<file "), 2);
    EXPECT_TRUE(xliff.contains("<file original=\"DEU/BackResDEU.xml\" source-language=\"en\" target-language=\"de\""));
    EXPECT_TRUE(xliff.contains("<file original=\"DEU/ViewResDEU.xml\""));

    // A file that cannot be read is named; the others go out.
    write("lang/DEU/BadResDEU.xml", "<Language><L from=");
    const CliRun partly = run({"xliff", "export", "--folder", folder.path("lang"), "-o", folder.path("all.xlf")});
    EXPECT_EQ(partly.status, 1);
    EXPECT_TRUE(partly.err.startsWith("Can not open this file.")) << partly.err.toStdString();
    EXPECT_EQ(readBytes(folder.path("all.xlf")).count("<file "), 2);
}

TEST_F(ExchangeCli, UsageAndLanguageWarnings)
{
    const QString file = deu();
    EXPECT_EQ(run({"po", "export", "--folder", folder.root(), "-o", folder.path("x.po")}).status, 2);
    EXPECT_EQ(run({"xliff", "export", file}).status, 2);
    EXPECT_EQ(run({"xliff", "import", file}).status, 2);
    EXPECT_EQ(run({"xliff", "frobnicate", file}).status, 2);
    EXPECT_EQ(run({"po", "export", file, "-o", folder.path("x.po"), "--target-language", "de_DE"}).status, 2);
    const QString plain = write("strings.xml", languageFile("", {R"(<L from="A" to="B"/>)"}));
    const CliRun unnamed = run({"po", "export", plain, "-o", "-"});
    EXPECT_EQ(unnamed.status, 0);
    EXPECT_EQ(unnamed.err, "Warning: the name of " + plain + " names no known language; give one with --target-language\n");
    EXPECT_TRUE(unnamed.out.contains("\"Language: \\n\"\n")) << unnamed.out.toStdString();
    EXPECT_TRUE(unnamed.out.contains("msgid \"A\"\nmsgstr \"B\"\n"));
    const CliRun help = run({"--help"});
    EXPECT_TRUE(help.out.contains("rendaro-cli xliff export FILE|--folder DIR -o OUT.xlf [--target-language TAG] [--program EXE [--header H]]\n"));
    EXPECT_TRUE(help.out.contains("rendaro-cli po import FILE IN.po [-o OUT]\n"));
}

} // namespace
