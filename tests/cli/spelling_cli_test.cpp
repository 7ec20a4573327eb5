// rendaro-cli check --spelling: misspelled words of the real translations
// with their entries and suggestions (text and JSON), the dictionary from
// the file's name or --dictionary, the user's own words, and the failures:
// no language, no dictionary, --dictionary alone.

#include "cli_run_helper.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

class SpellingCli : public FolderTest {
protected:
    void SetUp() override
    {
        m_previousData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", folder.path("data").toUtf8());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_previousData); }

    // German translations: two misspellings in one entry, one in another,
    // and entries that are not checked (untranslated, not to be translated).
    QString germanFile(const QString &name)
    {
        return write(name, languageFile("", {
                                                "<L from=\"Save file\" to=\"Dattei speichern\"/>",
                                                "<L from=\"Open\" to=\"&amp;Öffnen\"/>",
                                                "<L from=\"Teh error\" to=\"Fehlr: Dattei %s fehlt\"/>",
                                                "<L from=\"Recieve\" to=\"Recieve\"/>",
                                                "<L from=\"Mispeled\" to=\"Mispeled\" IsTrans=\"false\"/>",
                                            }));
    }

private:
    QByteArray m_previousData;
};

TEST_F(SpellingCli, ListsEachMisspelledWordWithItsEntryAndSuggestions)
{
    const QString path = germanFile("ViewResDEU.xml");
    const CliRun text = run({"check", path, "--spelling"});
    EXPECT_EQ(text.status, 1) << text.err.toStdString();
    const QStringList lines = text.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << text.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("\"Save file\": Dattei -> ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("Datei"));
    EXPECT_TRUE(lines[1].startsWith("\"Teh error\": Fehlr -> ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("\"Teh error\": Dattei -> "));
    EXPECT_EQ(lines[3], u"3 misspelled words found");

    const CliRun json = run({"check", path, "--spelling", "--json"});
    EXPECT_EQ(json.status, 1);
    QJsonParseError error;
    const QJsonArray found = QJsonDocument::fromJson(json.outBytes, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out.toStdString();
    ASSERT_EQ(found.size(), 3);
    const QJsonObject first = found[0].toObject();
    EXPECT_EQ(first["original"].toString(), u"Save file");
    EXPECT_EQ(first["translation"].toString(), u"Dattei speichern");
    EXPECT_EQ(first["word"].toString(), u"Dattei");
    const QJsonArray suggestions = first["suggestions"].toArray();
    EXPECT_TRUE(suggestions.contains(QJsonValue("Datei")));
    EXPECT_LE(suggestions.size(), 8);
    EXPECT_EQ(found[1].toObject()["word"].toString(), u"Fehlr");
}

TEST_F(SpellingCli, DictionaryFromTheNameOrTheOption)
{
    // The same German text in a file whose name names no language.
    const QString unnamed = germanFile("strings.xml");
    const CliRun noLanguage = run({"check", unnamed, "--spelling"});
    EXPECT_EQ(noLanguage.status, 1);
    EXPECT_EQ(noLanguage.err, "Can not check spelling: the name of " + unnamed +
                                  " names no language; give --dictionary NAME\n");
    EXPECT_EQ(run({"check", unnamed, "--spelling", "--dictionary", "de_DE"}).status, 1);
    // ENG files are American English; the German dictionary does not know "the".
    const QString english = write("ENG.xml", languageFile("", {"<L from=\"Open the file\" to=\"Open the fiel\"/>"}));
    const CliRun englishRun = run({"check", english, "--spelling"});
    EXPECT_TRUE(englishRun.out.startsWith("\"Open the file\": fiel -> ")) << englishRun.out.toStdString();
    EXPECT_TRUE(englishRun.out.contains(" file,"));
    EXPECT_TRUE(englishRun.out.endsWith("\n1 misspelled word found\n"));
    EXPECT_TRUE(run({"check", english, "--spelling", "--dictionary", "de_DE"}).out.contains("\"Open the file\": the -> "));
    // Standard input has no name.
    const QByteArray clean = languageFile("", {"<L from=\"Save\" to=\"Speichern\"/>"});
    const CliRun fromInput = run({"check", "-", "--spelling", "--dictionary", "de_DE"}, clean);
    EXPECT_EQ(fromInput.status, 0) << fromInput.err.toStdString();
    EXPECT_EQ(fromInput.out, u"0 misspelled words found\n");
    EXPECT_EQ(run({"check", "-", "--spelling", "--dictionary", "de_DE", "--json"}, clean).out, u"[]\n");
}

TEST_F(SpellingCli, TheUsersOwnWordsCount)
{
    const QString path = write("DEU.xml", languageFile("", {"<L from=\"About\" to=\"Über Rendaro\"/>"}));
    EXPECT_EQ(run({"check", path, "--spelling"}).status, 1);
    QDir().mkpath(folder.path("data/rendaro/words"));
    writeBytes(folder.path("data/rendaro/words/de_DE.txt"), "Rendaro\n");
    const CliRun r = run({"check", path, "--spelling"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
}

TEST_F(SpellingCli, FailuresSayWhy)
{
    const QString path = germanFile("DEU.xml");
    const CliRun missing = run({"check", path, "--spelling", "--dictionary", "fi_FI"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, u"Can not check spelling: no fi_FI dictionary (no Debian package provides it)\n");
    const CliRun alone = run({"check", path, "--dictionary", "de_DE"});
    EXPECT_EQ(alone.status, 2);
    EXPECT_TRUE(alone.err.startsWith("--dictionary goes with --spelling\n")) << alone.err.toStdString();
    EXPECT_EQ(run({"check", path, "--spelling", "--dictionary"}).status, 2);
    const CliRun unreadable = run({"check", folder.path("absent.xml"), "--spelling", "--dictionary", "de_DE"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(unreadable.err.startsWith("Can not open this file.")) << unreadable.err.toStdString();
}

} // namespace
