// TMX 1.4b as written and as read, and what the reader makes of the TMX of
// other tools: inline codes, TMX 1.1, upper-case languages, UTF-16, faults
// and entities.

#include "exchange_fixture.h"
#include "exchange/tmx_reader.h"
#include "exchange/tmx_writer.h"

#include <QRegularExpression>

namespace {

const QList<QByteArray> kTmxLines = {
    R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
    R"(<L from="Open" to="Open" key="IDS_OPEN_TOOLBAR"/>)",
    R"(<L from="Save" to="Save" key="IDS_SAVE"/>)",
    R"(<L from="Delete %s?" to="%s löschen?" key="IDS_DELETE"/>)",
    R"(<L from="Job failed./nTry again." to="Fehler./nNoch einmal." key="IDS_JOB"/>)",
    R"(<L from="CR/r/nLF" to="WR/r/nZV" key="IDS_CR"/>)",
    R"(<L from="Fish &amp; &lt;Chips&gt; &quot;q&quot;" to="Fisch &amp; &lt;Pommes&gt;" key="IDS_FISH"/>)",
    R"(<L from="Brand" to="Marke" key="IDS_BRAND" IsTrans="false"/>)",
    R"(<L from="Empty" to="" key="IDS_EMPTY"/>)",
    R"(<L from="No key" to="Kein Schlüssel"/>)",
    R"(<L from="Japanese" to="日本語" key="IDS_JA"/>)",
};

// A unit as one line: tuid, file, keys and each language with its text.
QString describeUnit(const TmxUnit &unit)
{
    QStringList variants;
    for (const TmxVariant &variant : unit.variants)
        variants << variant.language + u'=' + variant.text;
    return QStringList{unit.tuid, unit.file, unit.keys.join(u'+'), variants.join(u" | ")}.join(u" ; ");
}

struct ReadUnits {
    TmxReadResult result;
    QStringList units;
    QList<qsizetype> lines;
};

ReadUnits readTmx(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ReadUnits read;
    read.result = ReadTmx(buffer, [&](const TmxUnit &unit) {
        read.units << describeUnit(unit);
        read.lines << unit.line;
        return true;
    });
    return read;
}

// A TMX 1.4 document around the given body lines.
QByteArray tmxFile(const QList<QByteArray> &body, const QByteArray &before = QByteArray())
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + before
        + "<tmx version=\"1.4\">\n<header creationtool=\"t\" creationtoolversion=\"1\" segtype=\"sentence\" "
          "o-tmf=\"t\" adminlang=\"en\" srclang=\"en-US\" datatype=\"plaintext\"/>\n<body>\n";
    for (const QByteArray &line : body)
        out += line + '\n';
    return out + "</body>\n</tmx>\n";
}

} // namespace

class TmxFormat : public ExchangeTest {
protected:
    QByteArray tmxOf(const std::vector<ExportFile> &files)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TmxWriteOptions options{QStringLiteral("9.8.7"), QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC)};
        EXPECT_TRUE(WriteTmx(buffer, files, options));
        return buffer.data();
    }
};

TEST_F(TmxFormat, HeaderCarriesEveryRequiredAttribute)
{
    const int id = load(QStringLiteral("ViewResDEU.xml"), kTmxLines);
    const QByteArray tmx = tmxOf({exportOf(id)});
    EXPECT_TRUE(tmx.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\">\n  <header "
                               "creationtool=\"Rendaro\" creationtoolversion=\"9.8.7\" segtype=\"block\" "
                               "o-tmf=\"Rendaro language file\" adminlang=\"en-US\" srclang=\"en-US\" "
                               "datatype=\"plaintext\" creationdate=\"20240305T070809Z\"/>\n  <body>\n"))
        << tmx.toStdString();
    // Without a date, now in UTC, in the standard's basic form.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteTmx(buffer, {exportOf(id)}, {}));
    const QRegularExpression date(QStringLiteral("creationdate=\"(\\d{8}T\\d{6}Z)\""));
    const QRegularExpressionMatch match = date.match(QString::fromUtf8(buffer.data()));
    ASSERT_TRUE(match.hasMatch());
    const QDateTime written = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    ASSERT_TRUE(written.isValid());
    EXPECT_LE(std::abs(QDateTime(written.date(), written.time(), Qt::UTC).secsTo(QDateTime::currentDateTimeUtc())), 60);
}

TEST_F(TmxFormat, OneUnitPerTranslatedTranslatableString)
{
    const int id = load(QStringLiteral("ViewResDEU.xml"), kTmxLines);
    const QByteArray tmx = tmxOf({exportOf(id)});
    // The source first in en-US, the translation in the file's language;
    // the first key is the tuid, every key a prop when there are several.
    EXPECT_TRUE(tmx.contains("    <tu tuid=\"IDS_OPEN\">\n"
                             "      <prop type=\"x-file\">ViewResDEU.xml</prop>\n"
                             "      <prop type=\"x-keys\">IDS_OPEN, IDS_OPEN_TOOLBAR</prop>\n"
                             "      <tuv xml:lang=\"en-US\"><seg>Open</seg></tuv>\n"
                             "      <tuv xml:lang=\"de\"><seg>Öffnen</seg></tuv>\n"
                             "    </tu>\n"))
        << tmx.toStdString();
    // Escapes and placeholders are text; markup characters references.
    EXPECT_TRUE(tmx.contains("<seg>Job failed.\\nTry again.</seg></tuv>\n      <tuv xml:lang=\"de\"><seg>"
                             "Fehler.\\nNoch einmal.</seg>"));
    EXPECT_TRUE(tmx.contains("<seg>%s löschen?</seg>"));
    EXPECT_TRUE(tmx.contains("<seg>Fish &amp; &lt;Chips&gt; \"q\"</seg>"));
    EXPECT_TRUE(tmx.contains("    <tu>\n      <prop type=\"x-file\">ViewResDEU.xml</prop>\n"
                             "      <tuv xml:lang=\"en-US\"><seg>No key</seg>"));
    // Untranslated, empty and not-to-be-translated strings stay out.
    EXPECT_EQ(tmx.count("</tu>"), 7);
    EXPECT_EQ(TmxUnitCount(exportOf(id)), 7);
    EXPECT_FALSE(tmx.contains("IDS_SAVE\"") || tmx.contains("IDS_BRAND") || tmx.contains("IDS_EMPTY"));
}

TEST_F(TmxFormat, ReadsBackUnitForUnit)
{
    const int de = load(QStringLiteral("ViewResDEU.xml"), kTmxLines);
    const int pt = load(QStringLiteral("ViewResPTB.xml"), {R"(<L from="Open" to="Abrir" key="IDS_OPEN"/>)"});
    const ReadUnits read = readTmx(tmxOf({exportOf(de), exportOf(pt)}));
    ASSERT_TRUE(read.result.ok()) << read.result.error.toStdString();
    EXPECT_EQ(read.result.version, "1.4");
    EXPECT_EQ(read.result.sourceLanguage, "en-US");
    const QStringList expected = {
        "IDS_OPEN ; ViewResDEU.xml ; IDS_OPEN+IDS_OPEN_TOOLBAR ; en-US=Open | de=Öffnen",
        "IDS_DELETE ; ViewResDEU.xml ; IDS_DELETE ; en-US=Delete %s? | de=%s löschen?",
        "IDS_JOB ; ViewResDEU.xml ; IDS_JOB ; en-US=Job failed.\\nTry again. | de=Fehler.\\nNoch einmal.",
        "IDS_CR ; ViewResDEU.xml ; IDS_CR ; en-US=CR\\r\\nLF | de=WR\\r\\nZV",
        "IDS_FISH ; ViewResDEU.xml ; IDS_FISH ; en-US=Fish & <Chips> \"q\" | de=Fisch & <Pommes>",
        " ; ViewResDEU.xml ;  ; en-US=No key | de=Kein Schlüssel",
        "IDS_JA ; ViewResDEU.xml ; IDS_JA ; en-US=Japanese | de=日本語",
        "IDS_OPEN ; ViewResPTB.xml ; IDS_OPEN ; en-US=Open | pt-BR=Abrir",
    };
    EXPECT_EQ(read.units, expected);
    EXPECT_EQ(read.result.units, expected.size());
}

TEST_F(TmxFormat, SavesThroughTheSafeSave)
{
    const int id = load(QStringLiteral("ViewResDEU.xml"), kTmxLines);
    const QString path = folder.path(QStringLiteral("out.tmx"));
    QString error;
    ASSERT_TRUE(SaveTmx(path, {exportOf(id)}, {QStringLiteral("1"), {}}, &error)) << error.toStdString();
    EXPECT_TRUE(readBytes(path).endsWith("  </body>\n</tmx>\n"));
    // A folder in the way is refused and left alone.
    QDir(folder.root()).mkdir(QStringLiteral("taken.tmx"));
    EXPECT_FALSE(SaveTmx(folder.path(QStringLiteral("taken.tmx")), {exportOf(id)}, {}, &error));
    EXPECT_FALSE(error.isEmpty());
}

// What other tools write: each case a body and the units read from it.
TEST_F(TmxFormat, ReadsTheTmxOfOtherTools)
{
    struct Case {
        const char *what;
        QByteArray file;
        QStringList units;
    };
    const std::vector<Case> cases = {
        {"inline codes stand for their text",
         tmxFile({R"(<tu tuid="a"><tuv xml:lang="en"><seg>Delete <ph x="1">%s</ph>?</seg></tuv>)"
                  R"(<tuv xml:lang="de"><seg><ph x="1">%s</ph> löschen?</seg></tuv></tu>)",
                  R"(<tu><tuv xml:lang="en"><seg><bpt i="1">&lt;b&gt;</bpt>Bold<ept i="1">&lt;/b&gt;</ept> )"
                  R"(<it pos="begin">{</it><hi type="x">high</hi><ph>&lt;img alt="<sub>Picture</sub>"&gt;</ph>)"
                  R"(<ut>\n</ut></seg></tuv><tuv xml:lang="de"><seg>Fett</seg></tuv></tu>)"}),
         {"a ;  ; a ; en=Delete %s? | de=%s löschen?",
          " ;  ;  ; en=<b>Bold</b> {high<img alt=\"Picture\">\\n | de=Fett"}},
        {"TMX 1.1 names languages with lang",
         "<?xml version=\"1.0\"?><tmx version=\"1.1\"><header srclang=\"EN-US\"/><body><tu tuid=\"x\">"
         "<tuv lang=\"EN-US\"><seg>Open</seg></tuv><tuv lang=\"DE-DE\"><seg>Öffnen</seg></tuv></tu></body></tmx>",
         {"x ;  ; x ; EN-US=Open | DE-DE=Öffnen"}},
        {"xml:lang wins over lang",
         tmxFile({R"(<tu><tuv xml:lang="en" lang="fr"><seg>Yes</seg></tuv></tu>)"}),
         {" ;  ;  ; en=Yes"}},
        {"properties, notes and a second segment are not text",
         tmxFile({R"(<tu tuid="k"><prop type="x-other">p</prop><note>n</note><prop type="x-file">F.xml</prop>)"
                  R"(<tuv xml:lang="en"><prop type="x-file">inner</prop><note>m</note><seg>A</seg><seg>B</seg></tuv>)"
                  R"(</tu>)"}),
         {"k ; F.xml ; k ; en=A"}},
        {"a DOCTYPE naming the DTD is allowed and never read",
         tmxFile({R"(<tu><tuv xml:lang="en"><seg>Z</seg></tuv></tu>)"},
                 "<!DOCTYPE tmx SYSTEM \"file:///nonexistent/tmx14.dtd\">\n"),
         {" ;  ;  ; en=Z"}},
        {"character references and CDATA are text",
         tmxFile({R"(<tu><tuv xml:lang="en"><seg>&#x263A;<![CDATA[<raw>]]></seg></tuv></tu>)"}),
         {" ;  ;  ; en=☺<raw>"}},
    };
    for (const Case &c : cases) {
        const ReadUnits read = readTmx(c.file);
        EXPECT_TRUE(read.result.ok()) << c.what << ": " << read.result.error.toStdString();
        EXPECT_EQ(read.units, c.units) << c.what;
    }
}

TEST_F(TmxFormat, ReadsUtf16)
{
    const QByteArray utf8 = tmxFile({R"(<tu tuid="a"><tuv xml:lang="en"><seg>Open</seg></tuv>)"
                                     R"(<tuv xml:lang="ja"><seg>開く</seg></tuv></tu>)"});
    QString text = QString::fromUtf8(utf8);
    text.replace(QStringLiteral("encoding=\"UTF-8\""), QStringLiteral("encoding=\"UTF-16\""));
    for (const bool little : {true, false}) {
        QByteArray bytes = little ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
        for (const QChar c : text) {
            const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
            bytes += little ? low : high;
            bytes += little ? high : low;
        }
        const ReadUnits read = readTmx(bytes);
        EXPECT_TRUE(read.result.ok()) << read.result.error.toStdString();
        EXPECT_EQ(read.units, QStringList{"a ;  ; a ; en=Open | ja=開く"}) << (little ? "LE" : "BE");
    }
}

TEST_F(TmxFormat, AMalformedFileIsNamedWithItsLineAndTheUnitsBeforeItStay)
{
    const QByteArray file = tmxFile({R"(<tu tuid="one"><tuv xml:lang="en"><seg>1</seg></tuv></tu>)",
                                     R"(<tu tuid="two"><tuv xml:lang="en"><seg>2</seg></tuv></tu>)",
                                     R"(<tu tuid="three"><tuv xml:lang="en"><seg>3</seg></tuv>)",
                                     R"(</body>)"});
    const ReadUnits read = readTmx(file);
    EXPECT_EQ(read.result.error, "line 8: mismatched tag");
    EXPECT_EQ(read.units, (QStringList{"one ;  ; one ; en=1", "two ;  ; two ; en=2"}));
    EXPECT_EQ(read.lines, (QList<qsizetype>{5, 6}));
    // Other roots and non-files.
    EXPECT_EQ(readTmx("<xliff version=\"1.2\"/>").result.error, "line 1: the root element is <xliff>, not a TMX <tmx>");
    EXPECT_EQ(readTmx("").result.error, "line 1: no element found");
    const TmxReadResult missing = ReadTmxFile(folder.path(QStringLiteral("none.tmx")), [](const TmxUnit &) { return true; });
    EXPECT_EQ(missing.error, "No such file or directory");
    const TmxReadResult dir = ReadTmxFile(folder.root(), [](const TmxUnit &) { return true; });
    EXPECT_FALSE(dir.ok());
}

TEST_F(TmxFormat, EntitiesAreNeverDeclaredOrExpanded)
{
    QByteArray laughs = "<!DOCTYPE tmx [\n <!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i < 10; ++i) {
        laughs += " <!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            laughs += "&lol" + QByteArray::number(i - 1) + ";";
        laughs += "\">\n";
    }
    laughs += "]>\n";
    const ReadUnits billion = readTmx(tmxFile({R"(<tu><tuv xml:lang="en"><seg>&lol9;</seg></tuv></tu>)"}, laughs));
    EXPECT_EQ(billion.result.error, "line 2: a DOCTYPE with declarations of its own is not accepted (TMX needs none, "
                                    "and its entities are never read)");
    EXPECT_TRUE(billion.units.isEmpty());

    const QString secret = write(QStringLiteral("secret.txt"), "the secret");
    const QByteArray url = QUrl::fromLocalFile(secret).toEncoded();
    const ReadUnits external = readTmx(tmxFile({R"(<tu><tuv xml:lang="en"><seg>&e;</seg></tuv></tu>)"},
                                               "<!DOCTYPE tmx [<!ENTITY e SYSTEM \"" + url + "\">]>\n"));
    EXPECT_FALSE(external.result.ok());
    EXPECT_TRUE(external.units.isEmpty());
    // With the DTD named but not read, an undeclared entity is a fault, not lost text.
    const ReadUnits undeclared = readTmx(tmxFile({R"(<tu><tuv xml:lang="en"><seg>a&nbsp;b</seg></tuv></tu>)"},
                                                 "<!DOCTYPE tmx SYSTEM \"" + url + "\">\n"));
    EXPECT_EQ(undeclared.result.error, "line 6: the entity &nbsp; is not declared");
}

TEST_F(TmxFormat, AHandlerCanStopTheReading)
{
    QList<QByteArray> body;
    for (int i = 0; i < 10; ++i)
        body << "<tu tuid=\"" + QByteArray::number(i) + "\"><tuv xml:lang=\"en\"><seg>t</seg></tuv></tu>";
    QBuffer buffer;
    buffer.setData(tmxFile(body));
    buffer.open(QIODevice::ReadOnly);
    int seen = 0;
    const TmxReadResult result = ReadTmx(buffer, [&](const TmxUnit &) { return ++seen < 3; });
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(result.units, 3);
}
