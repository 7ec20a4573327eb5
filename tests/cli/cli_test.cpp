#include "cli_run_helper.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

using Cli = FolderTest;

TEST_F(Cli, DumpPrintsTheCatalogueAsJson)
{
    const QString path = write("a.xml", languageFile("AllowLength=\"1.5\" CodeType=\"QT\"",
                                                     {"<L from=\"B/nx\" to=\"Be &quot;q&quot;\" key=\"K1\"/>",
                                                      "<L from=\"A\" to=\"\" IsTrans=\"false\"/>", "<X key=\"K2\"/>"}));
    const CliRun r = run({"dump", path});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_DOUBLE_EQ(json["lengthRatio"].toDouble(), 1.5);
    EXPECT_EQ(json["codeType"].toInt(), 1);
    EXPECT_EQ(json["keys"].toArray(), QJsonArray({"K1", "K2"}));
    const QJsonArray entries = json["entries"].toArray();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].toObject(), QJsonObject({{"original", "A"}, {"translation", "A"}, {"keys", QJsonArray()},
                                                   {"translatable", 0}}));
    EXPECT_EQ(entries[1].toObject()["original"].toString(), u"B\\nx");
    EXPECT_EQ(entries[1].toObject()["translation"].toString(), u"Be \"q\"");
    // Key order as documented.
    EXPECT_TRUE(r.out.startsWith("{\"lengthRatio\": 1.5, \"codeType\": 1, \"keys\": "));
}

// The escapes of a JSON string literal, one character at a time.
QString jsonByRules(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\b')
            out += QStringLiteral("\\b");
        else if (c == u'\f')
            out += QStringLiteral("\\f");
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

TEST(JsonString, EscapesWhatJsonNeedsWhereverItStands)
{
    // Long plain stretches with the characters to escape anywhere in them,
    // and units above the sign bit of a 16-bit value.
    const QString alphabet = QStringLiteral("abc \"\\\n\t\u0001\u001f \u00e9\uffff\u8000");
    QRandomGenerator random(3);
    for (int round = 0; round < 20000; ++round) {
        QString text(random.bounded(0, 40), u'x');
        for (int i = random.bounded(0, 4); i > 0; --i)
            text.insert(random.bounded(int(text.size()) + 1), alphabet[random.bounded(int(alphabet.size()))]);
        ASSERT_EQ(jsonString(text), jsonByRules(text)) << round;
    }
    QString appended = QStringLiteral("[");
    appendJsonString(appended, u"a\"b");
    EXPECT_EQ(appended, QStringLiteral("[\"a\\\"b\""));
}

TEST_F(Cli, DumpStaysValidJsonForAnyLengthRatio)
{
    const struct {
        const char *allowLength;
        QJsonValue shown;
        bool longTranslationPasses;  // what the length check makes of the ratio as read
    } cases[] = {{"nan", "nan", true}, {"inf", "inf", true}, {"1e40", "inf", true}, {"-1e400", "-inf", false},
                 {"1e-50", 0.0, false}, {"3", 3.0, false}};
    for (const auto &c : cases) {
        const QString path = write("a.xml", languageFile("AllowLength=\"" + QByteArray(c.allowLength) + "\"",
                                                         {"<L from=\"A\" to=\"A much longer text\"/>"}));
        const CliRun r = run({"dump", path});
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << c.allowLength << ": " << r.out.toStdString();
        EXPECT_EQ(json["lengthRatio"], c.shown) << c.allowLength;
        EXPECT_EQ(run({"check", path}).status == 0, c.longTranslationPasses) << c.allowLength;
    }
}

TEST_F(Cli, ApplyWarnsAboutTargetsOutOfStepWithTheSource)
{
    const QString source = write("eng.xml", languageFile("", {"<L from=\"One\"/>", "<L from=\"Two\"/>", "<L from=\"Three\"/>"}));
    const QString inStep = write("deu.xml", languageFile("", {"<L from=\"One\" to=\"Eins\"/>"}));
    const QByteArray swapped = languageFile("", {"<L from=\"Two\" to=\"Deux\"/>", "<L from=\"One\" to=\"Un\"/>"});
    const QString outOfStep = write("fra.xml", swapped);
    const CliRun r = run({"apply", source, inStep, outOfStep});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, u"Complete!\n");
    EXPECT_EQ(r.err, "Warning: " + outOfStep +
                         " is out of step with the source: \"One\" is at another position (strings are paired by "
                         "position)\n");
    // The file result is Apply To's as ever: pairs by position, tail appended.
    EXPECT_EQ(readBytes(outOfStep),
              languageFile("", {"<L from=\"Two\" to=\"Deux\"/>", "<L from=\"One\" to=\"Un\"/>",
                                "<L from=\"Three\" to=\"Three\"/>"}));
}

TEST_F(Cli, UsageAndUnreadableFiles)
{
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"dump"}).status, 2);
    EXPECT_EQ(run({"untranslated", "a.xml"}).status, 2);
    EXPECT_EQ(run({"--help"}).status, 0);
    const CliRun missing = run({"dump", folder.path("missing.xml")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.startsWith("Can not open this file.")) << missing.err.toStdString();
}

TEST_F(Cli, CheckReportsEveryProblemInOrder)
{
    const QString path = write("a.xml", languageFile("AllowLength=\"2\"",
                                                     {"<L from=\"Hello %s\" to=\"Hallo\"/>",
                                                      "<L from=\"Lines/nTwo\" to=\"Zeilen und noch viel mehr Text\"/>",
                                                      "<L from=\"OK\" to=\"Sehr gut\"/>", "<L from=\"Fine\" to=\"Gut\"/>"}));
    const CliRun r = run({"check", path, "--json"});
    EXPECT_EQ(r.status, 1);
    const QJsonArray problems = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(problems.size(), 4) << r.out.toStdString();
    auto at = [&](int i, const char *field) { return problems[i].toObject()[field].toString(); };
    EXPECT_EQ(at(0, "original"), u"Hello %s");
    EXPECT_EQ(at(0, "check"), u"placeholders");
    EXPECT_EQ(at(0, "message"), u"Please put \"%s\" in String.");
    EXPECT_EQ(at(1, "check"), u"escapes");
    EXPECT_EQ(at(2, "check"), u"length");
    EXPECT_EQ(at(2, "original"), u"Lines\\nTwo");
    EXPECT_EQ(at(3, "original"), u"OK");

    const QString clean = write("b.xml", languageFile("", {"<L from=\"Fine\" to=\"Gut\"/>"}));
    const CliRun ok = run({"check", clean});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, u"0 errors, 0 warnings\n");
}

TEST_F(Cli, ResaveUntranslatedApplyAndImport)
{
    const QString path = write("a.xml", languageFile("", {"<L from=\"One\" to=\"Eins\"/>", "<L from=\"Two\" to=\"\"/>"}));
    const QString copy = folder.path("copy.xml");
    EXPECT_EQ(run({"resave", path, "-o", copy}).status, 0);
    EXPECT_EQ(readBytes(copy), languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
                                            {"<L from=\"One\" to=\"Eins\"/>", "<L from=\"Two\" to=\"Two\"/>"}));
    const CliRun failed = run({"resave", path, "-o", folder.path("no/such/dir.xml")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.startsWith("Can not save file."));

    const QString untranslated = folder.path("todo.xml");
    EXPECT_EQ(run({"untranslated", path, "-o", untranslated}).status, 0);
    EXPECT_EQ(readBytes(untranslated), languageFile("", {"<L from=\"Two\" to=\"Two\"/>"}));

    const QString target = write("t.xml", languageFile("", {"<L from=\"One\" to=\"Uno\"/>"}));
    const CliRun applied = run({"apply", path, target, folder.path("missing.xml")});
    EXPECT_EQ(applied.status, 1);
    EXPECT_EQ(applied.err, "Can't apply to " + folder.path("missing.xml") + " (No such file or directory)\n");
    EXPECT_EQ(applied.out, u"Complete!\n");
    EXPECT_EQ(readBytes(target), languageFile("", {"<L from=\"One\" to=\"Uno\"/>", "<L from=\"Two\" to=\"Two\"/>"}));

    const QString translations = write("s.xml", languageFile("", {"<L from=\"Two\" to=\"Due\"/>"}));
    const CliRun imported = run({"import", target, translations});
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.out, u"1 strings have been substitute.\n");
    EXPECT_TRUE(readBytes(target).contains("<L from=\"Two\" to=\"Due\"/>"));
}

} // namespace
