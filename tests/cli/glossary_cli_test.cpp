// rendaro-cli with glossaries: check --glossary and the shared glossary
// beside the files, terms as text and JSON, glossary convert.

#include "cli_run_helper.h"
#include "test_support.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using GlossaryCli = FolderTest;

QByteArray germanFile()
{
    return languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
                        {"<L from=\"Delete the files\" to=\"Die Dateien löschen\" key=\"IDS_1\"/>",
                         "<L from=\"Delete the file\" to=\"Das File löschen\" key=\"IDS_2\"/>",
                         "<L from=\"The camera list\" to=\"Die Kameraliste\" key=\"IDS_3\"/>",
                         "<L from=\"Untranslated camera\" to=\"Untranslated camera\" key=\"IDS_4\"/>"});
}

const QByteArray kGlossary = "source,target,note,status\n"
                             "file,Datei,on disk,\n"
                             "file,File,,forbidden\n"
                             "camera list,Kameraliste,,\n"
                             "camera,Kamera,,\n"
                             "bad,,,\n";

TEST_F(GlossaryCli, CheckAddsTheTermChecksFromTheOptionOrTheSharedGlossary)
{
    QDir(folder.root()).mkpath(QStringLiteral("Lang"));
    const QString file = write("Lang/ViewResDEU.xml", germanFile());
    const QString glossary = write("terms.csv", kGlossary);
    const CliRun given = run({"check", file, "--glossary", glossary, "--checks", "term,forbidden-term"});
    EXPECT_EQ(given.status, 1);
    const QStringList lines = given.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << given.out.toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(":5: warning: glossary term \"file\": the translation holds none of "
                                                 "\"Datei\" [term]")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("[forbidden-term]"))) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("0 errors, 2 warnings"));
    EXPECT_TRUE(given.err.contains(QStringLiteral("terms.csv: line 6: no target term"))) << given.err.toStdString();

    // Without the option: nothing, until a glossary.csv stands above the file.
    EXPECT_EQ(run({"check", file, "--checks", "term,forbidden-term"}).out, QStringLiteral("0 errors, 0 warnings\n"));
    write("glossary.csv", kGlossary);
    EXPECT_EQ(run({"check", file, "--checks", "term,forbidden-term"}).out.count(u'\n'), 3);

    EXPECT_EQ(run({"check", file, "--glossary"}).status, 2);
    EXPECT_EQ(run({"check", file, "--spelling", "--glossary", glossary}).status, 2);
    const CliRun missing = run({"check", file, "--glossary", folder.path(QStringLiteral("none.csv"))});
    EXPECT_TRUE(missing.err.contains(QStringLiteral("none.csv"))) << missing.err.toStdString();
}

// A file large enough to be judged on several threads (its checks made
// while it is read) reports every finding
// once, in file order, as one thread does.
TEST_F(GlossaryCli, CheckOfALargeFileReportsEachFindingOnceInFileOrder)
{
    QDir(folder.root()).mkpath(QStringLiteral("Lang"));
    QList<QByteArray> rows;
    const int count = 12000;  // over 2 MB, with the padding
    const QByteArray padding(150, 'x');
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i) + " " + padding;
        const QByteArray to = i % 3 == 0 ? "Das Dokument " + n + " löschen" : "Die Datei " + n + " löschen";
        rows.push_back("<L from=\"Delete the file " + n + "\" to=\"" + to + "\" key=\"IDS_" + QByteArray::number(i) + "\"/>");
    }
    const QString file = write("Lang/ViewResDEU.xml", languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", rows));
    const QString glossary = write("terms.csv", "source,target\nfile,Datei\n");
    const CliRun result = run({"check", file, "--glossary", glossary, "--checks", "term"});
    QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.takeLast(), QStringLiteral("0 errors, %1 warnings").arg(count / 3));
    ASSERT_EQ(lines.size(), count / 3);
    const int first = lines[0].section(u':', 1, 1).toInt();
    for (int k = 0; k < int(lines.size()); ++k) {
        ASSERT_EQ(lines[k].section(u':', 1, 1).toInt(), first + 3 * k) << lines[k].toStdString();
    }
}

TEST_F(GlossaryCli, TermsListsTheTermsOfEachEntryAsTextAndJson)
{
    const QString file = write("ViewResDEU.xml", germanFile());
    const QString glossary = write("terms.csv", kGlossary);
    const CliRun text = run({"terms", file, "--glossary", glossary});
    EXPECT_EQ(text.status, 0) << text.err.toStdString();
    const QStringList lines = text.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << text.out.toStdString();
    EXPECT_EQ(lines[0], file + QStringLiteral(":4\t\"files\"\tfile\tDatei\tpreferred\ton disk"));
    EXPECT_EQ(lines[4], file + QStringLiteral(":6\t\"camera list\"\tcamera list\tKameraliste\tpreferred\t"));

    const CliRun json = run({"terms", file, "--glossary", glossary, "--json"});
    const QJsonArray entries = QJsonDocument::fromJson(json.outBytes).array();
    ASSERT_EQ(entries.size(), 4) << json.out.toStdString();
    const QJsonObject camera = entries[2].toObject();
    EXPECT_EQ(camera.value("key").toString(), QStringLiteral("IDS_3"));
    const QJsonArray terms = camera.value("terms").toArray();
    ASSERT_EQ(terms.size(), 1);  // the longer term only
    EXPECT_EQ(terms[0].toObject().value("targets").toArray().first().toString(), QStringLiteral("Kameraliste"));

    EXPECT_EQ(run({"terms", file}).status, 1);  // no glossary anywhere
}

TEST_F(GlossaryCli, ConvertGoesBetweenCsvTbxAndPhraseBooks)
{
    const QString csv = write("terms.csv", kGlossary);
    const QString tbx = folder.path(QStringLiteral("terms.tbx"));
    EXPECT_EQ(run({"glossary", "convert", csv, tbx}).status, 1);  // no language for TBX (and a bad row)
    EXPECT_FALSE(QFile::exists(tbx));
    const CliRun converted = run({"glossary", "convert", csv, tbx, "--language", "de"});
    EXPECT_EQ(converted.status, 1);  // the bad row is named
    EXPECT_TRUE(converted.out.startsWith(QStringLiteral("4 entries written"))) << converted.out.toStdString();
    const QString back = folder.path(QStringLiteral("back.csv"));
    EXPECT_EQ(run({"glossary", "convert", tbx, back}).status, 0);
    EXPECT_EQ(readBytes(back), QByteArray("source,target,note,pos,status,case\n"
                                          "file,Datei,on disk,,preferred,no\n"
                                          "file,File,,,forbidden,no\n"
                                          "camera list,Kameraliste,,,preferred,no\n"
                                          "camera,Kamera,,,preferred,no\n"));
    const QString qph = folder.path(QStringLiteral("terms.qph"));
    EXPECT_EQ(run({"glossary", "convert", tbx, qph}).status, 0);
    EXPECT_TRUE(readBytes(qph).contains("<target>Kameraliste</target>"));
    EXPECT_FALSE(readBytes(qph).contains("<target>File</target>"));  // a phrase book knows no forbidden words
    EXPECT_EQ(run({"glossary", "convert", csv, folder.path(QStringLiteral("x.doc"))}).status, 2);
    EXPECT_EQ(run({"glossary", "merge", csv, tbx}).status, 2);
}

} // namespace
