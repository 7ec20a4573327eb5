// gettext PO as written and as read.

#include "exchange_fixture.h"

class PoFormat : public ExchangeTest {};

TEST_F(PoFormat, OneMessagePerTranslatableEntry)
{
    const int id = load(QStringLiteral("ViewResPTB.xml"), {
        R"(<L from="Open" to="Abrir" key="IDS_OPEN"/>)",
        R"(<L from="Open" to="Open" key="IDS_OPEN2"/>)",
        R"(<L from="Line one/nline two" to="Line one/nline two" key="IDS_TWO"/>)",
        R"(<L from="Ends/n" to="Fim/n" key="IDS_END"/>)",
        R"(<L from="C:\dir &quot;x&quot;&#9;tab/r/n" to="C:\pasta &quot;x&quot;&#9;tab/r/n"/>)",
        R"(<L from="Brand" to="Brand" key="IDS_BRAND" IsTrans="false"/>)",
    });
    const QByteArray po = poOf(id);
    EXPECT_TRUE(po.startsWith("# ViewResPTB.xml, exported by Rendaro for translation.\nmsgid \"\"\nmsgstr \"\"\n"
                              "\"Project-Id-Version: ViewResPTB.xml\\n\"\n\"PO-Revision-Date: "))
        << po.toStdString();
    EXPECT_TRUE(po.contains("\"Language: pt_BR\\n\"\n\"MIME-Version: 1.0\\n\"\n"
                            "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"));
    EXPECT_TRUE(po.contains("\n#. keys: IDS_OPEN, IDS_OPEN2\n#. maximum length: 8 characters\n"
                            "msgctxt \"IDS_OPEN\"\nmsgid \"Open\"\nmsgstr \"Abrir\"\n"));
    // A line break inside a text: one line each, as gettext writes them.
    EXPECT_TRUE(po.contains("msgctxt \"IDS_TWO\"\nmsgid \"\"\n\"Line one\\n\"\n\"line two\"\nmsgstr \"\"\n"));
    EXPECT_TRUE(po.contains("msgid \"Ends\\n\"\nmsgstr \"Fim\\n\"\n"));
    // No key: no msgctxt; backslash, quote, tab and CR LF escaped.
    EXPECT_TRUE(po.contains("#. maximum length: 34 characters\nmsgid \"C:\\\\dir \\\"x\\\"\\ttab\\r\\n\"\n"
                            "msgstr \"C:\\\\pasta \\\"x\\\"\\ttab\\r\\n\"\n"));
    EXPECT_FALSE(po.contains("Brand")) << "strings not to be translated stay out";
    EXPECT_FALSE(po.contains("fuzzy"));
    EXPECT_EQ(po.count("msgid \""), 5);  // the header and four messages
}

TEST_F(PoFormat, TranslationWithLineBreaksAtOtherEndsGoesOutEmpty)
{
    const int id = load(QStringLiteral("DEU.xml"), {R"(<L from="/nLead" to="Lead/n"/>)"});
    const QByteArray po = poOf(id);
    EXPECT_TRUE(po.contains("#. The current translation is not included"));
    EXPECT_TRUE(po.contains("msgid \"\"\n\"\\n\"\n\"Lead\"\nmsgstr \"\"\n")) << po.toStdString();
}

TEST_F(PoFormat, ReadsKeywordsContinuationsEscapesAndFlags)
{
    const ExchangeDocument read = ParsePo(poFile({
        "\xEF\xBB\xBF# translator comment",
        "msgid \"\"",
        "msgstr \"\"",
        "\"Language: fr\\n\"",
        "\"Content-Type: text/plain; charset=utf-8\\n\"",
        "",
        "#. keys: IDS_1",
        "#: src/a.c:1",
        "msgctxt \"IDS_1\"",
        "msgid \"\"",
        "\"two\\n\"",
        "   \"lines\"",
        "msgstr \"deux\\n\" \"lignes\"",
        "",
        "#, fuzzy, c-format",
        "msgid \"Maybe %s\"",
        "msgstr \"Peut-être %s\"",
        "",
        "msgid \"esc \\\\ \\\" \\t \\r \\101\\x42 \\a\"",
        "msgstr \"\"",
        "",
        "msgid \"one file\"",
        "msgid_plural \"%d files\"",
        "msgstr[0] \"un fichier\"",
        "msgstr[1] \"%d fichiers\"",
        "",
        "#~ msgid \"old\"",
        "#~ msgstr \"vieux\"",
    }));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    ASSERT_EQ(read.sections.size(), 1u);
    EXPECT_EQ(read.sections[0].language, QStringLiteral("fr"));
    const std::vector<ExchangeUnit> &units = read.sections[0].units;
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[0].line, 9);
    EXPECT_EQ(units[0].key, QStringLiteral("IDS_1"));
    EXPECT_EQ(units[0].source, QStringLiteral("two\nlines"));
    EXPECT_EQ(units[0].target, QStringLiteral("deux\nlignes"));
    EXPECT_EQ(units[1].unusable, QStringLiteral("it is marked fuzzy, not a finished translation"));
    EXPECT_EQ(units[2].source, QStringLiteral("esc \\ \" \t \r AB \a"));
    EXPECT_EQ(units[3].source, QStringLiteral("one file"));
    EXPECT_EQ(units[3].target, QStringLiteral("un fichier"));
    EXPECT_EQ(units[3].unusable, QStringLiteral("it has plural forms, which a language file cannot carry"));
}

TEST_F(PoFormat, ReadsBackWhatItWrites)
{
    const int id = load(QStringLiteral("DEU.xml"), {
        R"(<L from="Open" to="Öffnen" key="K1"/>)",
        R"(<L from="a/nb/r/nc" to="A/nB/r/nC" key="K2"/>)",
        R"(<L from="q &quot;\&quot;" to="q" key="K3"/>)",
    });
    const ExchangeDocument read = ParsePo(poOf(id));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.sections[0].language, QStringLiteral("de"));
    ASSERT_EQ(read.sections[0].units.size(), 3u);
    EXPECT_EQ(read.sections[0].units[1].target, QStringLiteral("A\nB\r\nC"));
    EXPECT_EQ(read.sections[0].units[2].source, QStringLiteral("q \"\\\""));
    EXPECT_EQ(plan(id, read).summary(), QStringLiteral("0 changed, 3 unchanged, 0 refused, 0 unknown"));
}

TEST_F(PoFormat, MalformedFilesGiveTheLineAndTheReason)
{
    const auto error = [](const QList<QByteArray> &lines) { return ParsePo(poFile(lines)).error; };
    EXPECT_EQ(error({"msgid \"a\"", "msgstr \"b"}), QStringLiteral("line 2: the string is not closed"));
    EXPECT_EQ(error({"msgid \"a\"", "", "msgid \"b\"", "msgstr \"\""}),
              QStringLiteral("line 3: msgid follows a msgid that has no msgstr"));
    EXPECT_EQ(error({"msgid \"a\"", "msgstr \"\"", "msgstr \"\""}), QStringLiteral("line 3: a second msgstr"));
    EXPECT_EQ(error({"msgid \"a\""}), QStringLiteral("line 1: the message has no msgstr"));
    EXPECT_EQ(error({"\"orphan\""}), QStringLiteral("line 1: a string without a keyword"));
    EXPECT_EQ(error({"msgid \"a\" x", "msgstr \"\""}), QStringLiteral("line 1: text after the closing quote"));
    EXPECT_EQ(error({"msgid \"\\q\"", "msgstr \"\""}), QStringLiteral("line 1: unknown escape \\q"));
    EXPECT_EQ(error({"msgtxt \"a\""}), QStringLiteral("line 1: unknown keyword \"msgtxt\""));
    EXPECT_EQ(error({"msgid \"a\"", "msgstr[0] \"\""}), QStringLiteral("line 2: msgstr[N] without a msgid_plural"));
    EXPECT_EQ(error({"msgid \"a\"", "# note", "msgstr \"\""}), QStringLiteral("line 2: a comment inside a message"));
    EXPECT_EQ(error({"msgid \"\"", "msgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"", "",
                     "msgid \"\xe9t\xe9\"", "msgstr \"\""}),
              QStringLiteral("line 1: the file is in ISO-8859-1; only UTF-8 is read (convert it with msgconv "
                             "--to-code=UTF-8)"));
    EXPECT_EQ(error({"msgid \"ok\"", "msgstr \"\"", "", "msgid \"\xe9t\xe9\"", "msgstr \"\""}),
              QStringLiteral("line 4: the text is not valid UTF-8"));
}
