// rendaro-cli check: the findings of every check as FILE:LINE: lines and
// as JSON, the lines of the elements, the selection of checks, several files
// and folders, and the ignore file.

#include "checks/ignore_marks.h"
#include "cli_run_helper.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using CheckCli = FolderTest;

// Fifteen menu and dialog strings with twelve common faults, each in its
// own string, and three clean ones.
QByteArray germanExample()
{
    return languageFile(
        "AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
        {"<L from=\"&amp;Open\" to=\"Öffnen\" key=\"IDS_1\"/>",
         "<L from=\"Do you want to save the changes?\" to=\"Möchten Sie die Änderungen speichern\" key=\"IDS_2\"/>",
         "<L from=\"The file was saved.\" to=\"Die Datei wurde gespeichert\" key=\"IDS_3\"/>",
         "<L from=\" (optional)\" to=\"(optional)\" key=\"IDS_4\"/>",
         "<L from=\"Name: \" to=\"Name:\" key=\"IDS_5\"/>",
         "<L from=\"Copy 3 files\" to=\"5 Dateien kopieren\" key=\"IDS_6\"/>",
         "<L from=\"Delete the selected file\" to=\"Löschen Sie die die ausgewählte Datei\" key=\"IDS_7\"/>",
         "<L from=\"Visit https://example.com/help\" to=\"Besuchen Sie https://example.de/hilfe\" key=\"IDS_8\"/>",
         "<L from=\"Options (advanced)\" to=\"Optionen (erweitert\" key=\"IDS_9\"/>",
         "<L from=\"Open the settings\" to=\"die Einstellungen öffnen\" key=\"IDS_10\"/>",
         "<L from=\"Save file\" to=\"Datei  speichern\" key=\"IDS_11\"/>",
         "<L from=\"Print\" to=\"Drucken\xe2\x80\x8b\" key=\"IDS_12\"/>",
         "<L from=\"&amp;Help\" to=\"&amp;Hilfe\" key=\"IDS_13\"/>",
         "<L from=\"Cancel\" to=\"Abbrechen\" key=\"IDS_14\"/>",
         "<L from=\"Close all windows\" to=\"Alle Fenster schließen\" key=\"IDS_15\"/>"});
}

QJsonArray findingsOf(const CliRun &r)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(r.outBytes, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    return json.array();
}

TEST_F(CheckCli, TheGermanExampleGivesAFindingForEachOfItsTwelveFaults)
{
    const QString path = write("ViewResDEU.xml", germanExample());
    const CliRun r = run({"check", path});
    EXPECT_EQ(r.status, 1);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 13) << r.out.toStdString();
    const char *const expected[] = {"accelerator",  "end-punctuation", "end-punctuation", "whitespace",
                                    "whitespace",   "numbers",         "doubled-word",    "urls",
                                    "brackets",     "case",            "double-space",    "invisible"};
    // The file's first element is on line 4, one string a line.
    for (int i = 0; i < 12; ++i) {
        const QString prefix = QStringLiteral("%1:%2: warning: ").arg(path).arg(4 + i);
        EXPECT_TRUE(lines[i].startsWith(prefix)) << lines[i].toStdString();
        EXPECT_TRUE(lines[i].endsWith(QStringLiteral(" [%1]").arg(QLatin1String(expected[i]))))
            << lines[i].toStdString();
    }
    EXPECT_EQ(lines[12], u"0 errors, 12 warnings");
    EXPECT_EQ(lines[5], path + QStringLiteral(":9: warning: 3 is missing from the translation; 5 is new [numbers]"));
}

// The line of each `<L` start tag, as an editor counts lines.
std::vector<int> elementLines(const QByteArray &bytes)
{
    std::vector<int> lines;
    int line = 1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            ++line;
        else if (bytes.mid(i, 2) == "<L" && i + 2 < bytes.size() && QByteArrayView(" \r\n\t").contains(bytes[i + 2]))
            lines.push_back(line);
    }
    return lines;
}

TEST_F(CheckCli, LinesAreThoseOfTheElementsInTheFile)
{
    // Elements over several lines, comments, blank lines and both kinds of
    // line ends; each element has a fault.
    const QByteArray bytes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- a comment\n over\n three lines -->\n<Language>\r\n"
        "   <L from=\"Open?\" to=\"Offen\" key=\"A\"/>\r\n\r\n\r\n"
        "   <L\n      from=\"Save?\"\n      to=\"Sichern\"\n      key=\"B\"/>\n"
        "   <X/> <L from=\"Close?\" to=\"Zu\" key=\"C\"/>\n"
        "   <!-- <L from=\"not an element\"/> -->\n"
        "   <L from=\"Quit?\" to=\"Ende\" key=\"D\"/></Language>\n";
    const QString path = write("ViewResDEU.xml", bytes);
    std::vector<int> expected = elementLines(bytes);
    expected.erase(expected.begin() + 3);  // the one inside the comment
    ASSERT_EQ(expected, (std::vector<int>{6, 9, 13, 15}));
    const QJsonArray findings = findingsOf(run({"check", path, "--json"}));
    ASSERT_EQ(findings.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(findings[i].toObject()["line"].toInt(), expected[size_t(i)]) << i;
}

TEST_F(CheckCli, AStringGivenTwiceIsReportedAtTheElementItsTranslationCameFrom)
{
    // The second element replaces the untranslated first one; the third does
    // not replace the second.
    const QString path = write("ViewResDEU.xml", languageFile("", {"<L from=\"Exit?\" to=\"Exit?\" key=\"A\"/>",
                                                                   "<L from=\"Other\" to=\"Andere\" key=\"B\"/>",
                                                                   "<L from=\"Exit?\" to=\"Beenden\" key=\"C\"/>",
                                                                   "<L from=\"Exit?\" to=\"Raus!\" key=\"D\"/>"}));
    const QJsonArray findings = findingsOf(run({"check", path, "--json"}));
    ASSERT_EQ(findings.size(), 1);
    EXPECT_EQ(findings[0].toObject()["line"].toInt(), 6);
    EXPECT_EQ(findings[0].toObject()["message"].toString(),
              u"The original ends with \"?\", the translation without punctuation");
}

TEST_F(CheckCli, JsonHoldsEveryFieldInFileOrder)
{
    // Originals out of alphabetical order: the output follows the file.
    const QString path = write("ViewResFRA.xml", languageFile("", {"<L from=\"Zoom in\" to=\"zoomer\" key=\"Z1\"/>",
                                                                   "<L from=\"Apply %s\" to=\"Appliquer\"/>",
                                                                   "<L from=\"Back\" to=\"Retour\"/>"}));
    const CliRun r = run({"check", path, "--json"});
    EXPECT_EQ(r.status, 1);
    const QJsonArray findings = findingsOf(r);
    ASSERT_EQ(findings.size(), 2);
    EXPECT_EQ(findings[0].toObject(), QJsonObject({{"file", path},
                                                   {"line", 4},
                                                   {"original", "Zoom in"},
                                                   {"key", "Z1"},
                                                   {"check", "case"},
                                                   {"severity", "warning"},
                                                   {"message", "The original starts with a capital letter (\"Zoom\"), "
                                                               "the translation in lower case (\"zoomer\")"}}));
    const QJsonObject error = findings[1].toObject();
    EXPECT_EQ(error["key"], QJsonValue(QJsonValue::Null));
    EXPECT_EQ(error["check"].toString(), u"placeholders");
    EXPECT_EQ(error["severity"].toString(), u"error");
    EXPECT_EQ(error["line"].toInt(), 5);
    EXPECT_TRUE(r.out.startsWith("[\n {\"file\": ")) << r.out.toStdString();
    EXPECT_EQ(run({"check", write("ok.xml", languageFile("", {})), "--json"}).out, u"[]\n");
}

TEST_F(CheckCli, FailOnAndTheChecksToRun)
{
    const QString warningsOnly = write("ViewResDEU.xml", germanExample());
    // Too long as well, which the placeholder error keeps quiet.
    const QString withError =
        write("ViewResESP.xml", languageFile("", {"<L from=\"Open %s\" to=\"Abrir el archivo seleccionado\"/>"}));
    EXPECT_EQ(run({"check", warningsOnly, "--fail-on", "error"}).status, 0);
    EXPECT_EQ(run({"check", warningsOnly, "--fail-on", "warning"}).status, 1);
    EXPECT_EQ(run({"check", withError, "--fail-on", "error"}).status, 1);

    const CliRun only = run({"check", warningsOnly, "--checks", "case,urls"});
    EXPECT_EQ(only.out.count(u'\n'), 3) << only.out.toStdString();
    EXPECT_TRUE(only.out.contains("[case]") && only.out.contains("[urls]"));
    const CliRun skipped = run({"check", warningsOnly, "--skip-checks", "whitespace,end-punctuation"});
    EXPECT_TRUE(skipped.out.endsWith("0 errors, 8 warnings\n")) << skipped.out.toStdString();
    EXPECT_FALSE(skipped.out.contains("[whitespace]"));
    const CliRun all = run({"check", withError});
    EXPECT_TRUE(all.out.contains("[placeholders]") && !all.out.contains("[length]")) << all.out.toStdString();
    // An error check can be left out too; the others then speak.
    const CliRun noPlaceholders = run({"check", withError, "--skip-checks", "placeholders"});
    EXPECT_TRUE(noPlaceholders.out.contains(": error: ") && noPlaceholders.out.contains("[length]"))
        << noPlaceholders.out.toStdString();
    EXPECT_FALSE(noPlaceholders.out.contains("[placeholders]"));

    const CliRun unknown = run({"check", warningsOnly, "--checks", "case,speling"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.startsWith("unknown check speling (the checks: placeholders, escapes,"))
        << unknown.err.toStdString();
    EXPECT_EQ(run({"check", warningsOnly, "--fail-on", "never"}).status, 2);
    EXPECT_EQ(run({"check", warningsOnly, "--spelling", "--checks", "case"}).status, 2);
    EXPECT_EQ(run({"check"}).status, 2);
}

TEST_F(CheckCli, SeveralFilesAndFoldersInTheirOwnLanguages)
{
    QDir(folder.root()).mkpath("Lang/FRA");
    // "Nom :" is right in French; the German file's lost colon is not.
    const QString french = write("Lang/FRA/ViewResFRA.xml", languageFile("", {"<L from=\"Name:\" to=\"Nom :\"/>",
                                                                              "<L from=\"Save?\" to=\"Sauver\"/>"}));
    const QString other = write("Lang/FRA/OtherResFRA.xml", languageFile("", {"<L from=\"Exit!\" to=\"Quitter\"/>"}));
    const QString german = write("ViewResDEU.xml", languageFile("", {"<L from=\"Name:\" to=\"Name\"/>"}));
    const CliRun r = run({"check", german, folder.path("Lang/FRA"), folder.path("missing.xml")});
    EXPECT_EQ(r.status, 1);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(german + ":4: warning: "));
    // The folder's files in name order.
    EXPECT_TRUE(lines[1].startsWith(other + ":4: warning: ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(french + ":5: warning: ")) << lines[2].toStdString();
    EXPECT_EQ(lines[3], u"0 errors, 3 warnings");
    EXPECT_TRUE(r.err.startsWith("Can not open this file. (" + folder.path("missing.xml"))) << r.err.toStdString();
    QDir(folder.root()).mkpath("empty");
    const CliRun empty = run({"check", folder.path("empty")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(empty.err.startsWith("No language files in ")) << empty.err.toStdString();
}

TEST_F(CheckCli, DismissedWarningsAreLeftOutOrShownMarked)
{
    const QString path = write("ViewResDEU.xml", germanExample());
    IgnoreMark mark;
    mark.checkId = QStringLiteral("case");
    mark.original = QStringLiteral("Open the settings");
    mark.translation = QStringLiteral("die Einstellungen öffnen");
    mark.message = QStringLiteral("The original starts with a capital letter (\"Open\"), the translation in lower "
                                  "case (\"die\")");
    QString error;
    ASSERT_TRUE(AddIgnoreMark(path + ".rendaro-ignore", mark, &error)) << error.toStdString();
    // A mark of the folder applies to its files as well.
    mark.checkId = QStringLiteral("numbers");
    mark.original = QStringLiteral("Copy 3 files");
    mark.translation = QStringLiteral("5 Dateien kopieren");
    mark.message = QStringLiteral("3 is missing from the translation; 5 is new");
    ASSERT_TRUE(AddIgnoreMark(IgnoreMarks::filePathFor(folder.root()), mark, &error)) << error.toStdString();

    const CliRun r = run({"check", path});
    EXPECT_TRUE(r.out.endsWith("0 errors, 10 warnings (2 ignored)\n")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("[case]"));
    const CliRun shown = run({"check", path, "--show-ignored"});
    EXPECT_TRUE(shown.out.contains(path + ":13: warning: The original starts with a capital letter (\"Open\"), the "
                                          "translation in lower case (\"die\") [case] (ignored)"))
        << shown.out.toStdString();
    const QJsonArray json = findingsOf(run({"check", path, "--json", "--show-ignored"}));
    ASSERT_EQ(json.size(), 12);
    EXPECT_TRUE(json[5].toObject()["ignored"].toBool());
    EXPECT_FALSE(json[4].toObject().contains("ignored"));
    // With nothing but dismissed warnings, nothing fails.
    const CliRun alone = run({"check", path, "--checks", "case,numbers"});
    EXPECT_EQ(alone.status, 0);
    EXPECT_EQ(alone.out, u"0 errors, 0 warnings (2 ignored)\n");

    // An ignore file that cannot be read is named and fails the run.
    writeBytes(path + ".rendaro-ignore", "[case]\noriginal: \"unterminated\n");
    const CliRun broken = run({"check", path, "--checks", "case"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.err.startsWith("Can not read the ignore file " + path + ".rendaro-ignore: line 2: "))
        << broken.err.toStdString();
    EXPECT_TRUE(broken.out.contains("[case]"));
}

} // namespace
