// The exported files in the translation tools translators use: gettext
// (msgfmt, msgcat, msgen), Qt's lconvert and the translate-toolkit
// (xliff2po, po2xliff, pocount, the TMX storage) and tmxwc of
// libxml-tmx-perl. scripts/install-deps.sh installs them.

#include "exchange_fixture.h"
#include "exchange/tmx_reader.h"
#include "exchange/tmx_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString findTool(const QString &name)
{
    // lconvert of Qt 6 lives with Qt's own programs, not on the PATH.
    QString path = QStandardPaths::findExecutable(name, {QLibraryInfo::path(QLibraryInfo::BinariesPath)});
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name);
    return path;
}

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

ToolRun runTool(const QString &name, const QStringList &args)
{
    ToolRun result;
    const QString program = findTool(name);
    if (program.isEmpty()) {
        ADD_FAILURE() << name.toStdString() << " is not installed (scripts/install-deps.sh installs it)";
        return result;
    }
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000)) {
        ADD_FAILURE() << name.toStdString() << " did not finish";
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// A language file with what translators meet: translated and untranslated
// strings, keys (one original under two), placeholders, line breaks,
// markup characters, quotes, backslashes, non-Latin scripts and strings
// not to be translated; then a few hundred ordinary ones.
QList<QByteArray> sampleLines()
{
    QList<QByteArray> lines = {
        R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
        R"(<L from="Open" to="Open" key="IDS_OPEN_TOOLBAR"/>)",
        R"(<L from="Save" to="Save" key="IDS_SAVE"/>)",
        R"(<L from="Delete %s?" to="%s löschen?" key="IDS_DELETE"/>)",
        R"(<L from="Copying %d of %d files" to="Copying %d of %d files" key="IDS_COPY"/>)",
        R"(<L from="Job failed./nTry again later." to="Auftrag fehlgeschlagen./nSpäter erneut versuchen." key="IDS_JOB"/>)",
        R"(<L from="Two/n/nbreaks" to="Two/n/nbreaks" key="IDS_TWO"/>)",
        R"(<L from="Ends with a break/n" to="Endet mit Umbruch/n" key="IDS_END"/>)",
        R"(<L from="Fish &amp;Chips &lt;b&gt; &quot;quoted&quot;" to="Fisch &amp;Pommes &lt;b&gt; „zitiert“" key="IDS_FISH"/>)",
        R"(<L from="Path C:\temp\new" to="Path C:\temp\new" key="IDS_PATH"/>)",
        R"(<L from="Japanese" to="日本語" key="IDS_JA"/>)",
        R"(<L from="Brand Name" to="Brand Name" key="IDS_BRAND" IsTrans="false"/>)",
        R"(<L from="No key here" to="Kein Schlüssel"/>)",
    };
    for (int i = 1; i <= 300; ++i) {
        const QByteArray n = QByteArray::number(i);
        const bool translated = i % 5 != 0;
        lines << "<L from=\"Message number " + n + " about %s\" to=\""
                     + (translated ? "Meldung Nummer " + n + " über %s" : "Message number " + n + " about %s")
                     + "\" key=\"IDS_MSG_" + n + "\"" + (i % 37 == 0 ? " IsTrans=\"false\"" : "") + "/>";
    }
    return lines;
}

// Source and target of each unit, to compare what a tool read with what was written.
QStringList texts(const std::vector<ExchangeUnit> &units)
{
    QStringList out;
    for (const ExchangeUnit &unit : units)
        out << unit.source + QStringLiteral(" => ") + unit.target;
    out.sort();
    return out;
}

} // namespace

class RealTools : public ExchangeTest {
protected:
    void SetUp() override
    {
        id = load(QStringLiteral("ViewResDEU.xml"), sampleLines());
        xliff = folder.path(QStringLiteral("out.xlf"));
        po = folder.path(QStringLiteral("out.po"));
        QString error;
        ASSERT_TRUE(SaveXliff(xliff, {exportOf(id)}, &error)) << error.toStdString();
        ASSERT_TRUE(SavePo(po, exportOf(id), &error)) << error.toStdString();
        const ExchangeDocument xliffUnits = ReadExchangeFile(xliff, ExchangeFormat::Xliff);
        const ExchangeDocument poUnits = ReadExchangeFile(po, ExchangeFormat::Po);
        ASSERT_TRUE(xliffUnits.ok() && poUnits.ok());
        allUnits = xliffUnits.sections[0].units;
        poMessages = poUnits.sections[0].units;
    }
    QString path(const char *name) const { return folder.path(QString::fromLatin1(name)); }
    std::vector<ExchangeUnit> unitsOf(const QString &file, ExchangeFormat format)
    {
        const ExchangeDocument read = ReadExchangeFile(file, format);
        EXPECT_TRUE(read.ok()) << read.error.toStdString();
        std::vector<ExchangeUnit> units;
        for (const ExchangeSection &section : read.sections)
            units.insert(units.end(), section.units.begin(), section.units.end());
        return units;
    }
    // pocount's CSV line for a file: translated, fuzzy, untranslated and total messages.
    QList<int> pocount(const QString &file)
    {
        const ToolRun run = runTool(QStringLiteral("pocount"), {QStringLiteral("--csv"), file});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        const QList<QByteArray> fields = lines.last().split(',');
        if (fields.size() < 9) {
            ADD_FAILURE() << run.out.toStdString();
            return {};
        }
        return {fields[1].trimmed().toInt(), fields[4].trimmed().toInt(), fields[6].trimmed().toInt(),
                fields[8].trimmed().toInt()};
    }

    int id = -1;
    QString xliff, po;
    std::vector<ExchangeUnit> allUnits;    // every entry (XLIFF)
    std::vector<ExchangeUnit> poMessages;  // the translatable ones (PO)
};

TEST_F(RealTools, PoPassesMsgfmtCheckAndRoundTripsThroughMsgcat)
{
    ASSERT_EQ(allUnits.size(), 312u);    // 13 special strings (one original twice) and 300 ordinary ones
    ASSERT_EQ(poMessages.size(), 303u);  // less the nine not to be translated
    const ToolRun check = runTool(QStringLiteral("msgfmt"), {QStringLiteral("--check"), QStringLiteral("-o"),
                                                             path("out.mo"), po});
    EXPECT_EQ(check.status, 0) << check.err.toStdString();
    EXPECT_FALSE(check.err.contains("error")) << check.err.toStdString();

    // gettext writes the file back as it was ...
    const ToolRun same = runTool(QStringLiteral("msgcat"), {QStringLiteral("--no-wrap"), po, QStringLiteral("-o"),
                                                            path("same.po")});
    EXPECT_EQ(same.status, 0) << same.err.toStdString();
    EXPECT_EQ(readBytes(path("same.po")), readBytes(po));
    // ... and, wrapping long lines its own way, with the same messages.
    const ToolRun wrapped = runTool(QStringLiteral("msgcat"), {QStringLiteral("-w"), QStringLiteral("30"), po,
                                                               QStringLiteral("-o"), path("wrapped.po")});
    EXPECT_EQ(wrapped.status, 0);
    EXPECT_NE(readBytes(path("wrapped.po")), readBytes(po));
    const std::vector<ExchangeUnit> again = unitsOf(path("wrapped.po"), ExchangeFormat::Po);
    ASSERT_EQ(again.size(), poMessages.size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].key, poMessages[i].key);
        EXPECT_EQ(again[i].source, poMessages[i].source);
        EXPECT_EQ(again[i].target, poMessages[i].target);
    }
}

TEST_F(RealTools, LconvertReadsBothFormats)
{
    // XLIFF to PO: every translatable unit with its texts (lconvert keeps
    // the ones not to be translated as obsolete messages, which are no units).
    const ToolRun fromXliff = runTool(QStringLiteral("lconvert"), {QStringLiteral("-i"), xliff, QStringLiteral("-o"),
                                                                   path("lconvert.po")});
    ASSERT_EQ(fromXliff.status, 0) << fromXliff.err.toStdString();
    EXPECT_EQ(texts(unitsOf(path("lconvert.po"), ExchangeFormat::Po)), texts(poMessages));
    EXPECT_EQ(readBytes(path("lconvert.po")).count("#~ msgid"), 9);

    // PO to XLIFF.
    const ToolRun fromPo = runTool(QStringLiteral("lconvert"), {QStringLiteral("-i"), po, QStringLiteral("-o"),
                                                                path("lconvert.xlf")});
    ASSERT_EQ(fromPo.status, 0) << fromPo.err.toStdString();
    const std::vector<ExchangeUnit> units = unitsOf(path("lconvert.xlf"), ExchangeFormat::Xliff);
    EXPECT_EQ(texts(units), texts(poMessages));
    // Imported back, it changes nothing.
    std::vector<const ExchangeUnit *> pointers;
    for (const ExchangeUnit &unit : units)
        pointers.push_back(&unit);
    EXPECT_EQ(PlanImport(catalogue(id), pointers).summary(),
              QStringLiteral("0 changed, 303 unchanged, 0 refused, 0 unknown"));
}

TEST_F(RealTools, TranslateToolkitReadsBothFormats)
{
    // Counts: 303 translatable messages, 240 of them translated, in both.
    const QList<int> expected = {240, 0, 63, 303};
    EXPECT_EQ(pocount(po), expected);
    EXPECT_EQ(pocount(xliff), expected);

    // xliff2po keeps every unit (those not to be translated too).
    const ToolRun toPo = runTool(QStringLiteral("xliff2po"), {xliff, path("tt.po")});
    ASSERT_EQ(toPo.status, 0) << toPo.err.toStdString();
    EXPECT_EQ(texts(unitsOf(path("tt.po"), ExchangeFormat::Po)), texts(allUnits));

    const ToolRun toXliff = runTool(QStringLiteral("po2xliff"), {po, path("tt.xlf")});
    ASSERT_EQ(toXliff.status, 0) << toXliff.err.toStdString();
    EXPECT_EQ(texts(unitsOf(path("tt.xlf"), ExchangeFormat::Xliff)), texts(poMessages));
}

TEST_F(RealTools, TranslatedOutsideComesBackWithTheExpectedChanges)
{
    // msgen fills every message with its original; the translator then
    // edits four of them and adds one of their own.
    const ToolRun filled = runTool(QStringLiteral("msgen"), {po, QStringLiteral("-o"), path("en.po")});
    ASSERT_EQ(filled.status, 0) << filled.err.toStdString();
    QByteArray edited = readBytes(path("en.po"));
    const auto edit = [&](const QByteArray &from, const QByteArray &to) {
        ASSERT_TRUE(edited.contains(from)) << from.toStdString();
        edited.replace(from, to);
    };
    edit("msgid \"Save\"\nmsgstr \"Save\"", "msgid \"Save\"\nmsgstr \"Sichern\"");
    edit("msgid \"Copying %d of %d files\"\nmsgstr \"Copying %d of %d files\"",
         "msgid \"Copying %d of %d files\"\nmsgstr \"%d Dateien kopiert\"");
    edit("msgstr \"\"\n\"Two\\n\"\n\"\\n\"\n\"breaks\"", "msgstr \"\"\n\"Zwei\\n\"\n\"\\n\"\n\"Umbr\xc3\xbc\x63he\"");
    edit("msgid \"Message number 5 about %s\"\nmsgstr \"Message number 5 about %s\"",
         "msgid \"Message number 5 about %s\"\nmsgstr \"Meldung 5 \xc3\xbc\x62\x65r %s und noch sehr viel mehr Text dazu, viel zu lang\"");
    edited += "\nmsgid \"Not in the file\"\nmsgstr \"Nicht in der Datei\"\n";
    writeBytes(path("edited.po"), edited);
    const ToolRun valid = runTool(QStringLiteral("msgfmt"), {QStringLiteral("--check"), QStringLiteral("-o"),
                                                             path("edited.mo"), path("edited.po")});
    EXPECT_EQ(valid.status, 0) << valid.err.toStdString();

    const auto expectPlan = [&](const ExchangeDocument &exchange) {
        const ImportPlan result = plan(id, exchange);
        EXPECT_EQ(result.summary(), QStringLiteral("3 changed, 299 unchanged, 1 refused, 1 unknown"));
        ASSERT_EQ(result.changes.size(), 3u);
        EXPECT_EQ(result.changes[0].translation, QStringLiteral("Sichern"));
        EXPECT_EQ(result.changes[1].translation, QStringLiteral("Zwei\\n\\nUmbrüche"));
        EXPECT_TRUE(result.changes[2].tooLong);
        ASSERT_EQ(result.refused.size(), 1u);
        EXPECT_EQ(result.refused[0].reason, QStringLiteral("Please put \"%d\" in String."));
        EXPECT_EQ(result.unknown[0].source, QStringLiteral("Not in the file"));
    };
    expectPlan(ReadExchangeFile(path("edited.po"), ExchangeFormat::Po));

    // The same translations through translate-toolkit's XLIFF.
    const ToolRun toXliff = runTool(QStringLiteral("po2xliff"), {path("edited.po"), path("edited.xlf")});
    ASSERT_EQ(toXliff.status, 0) << toXliff.err.toStdString();
    expectPlan(ReadExchangeFile(path("edited.xlf"), ExchangeFormat::Xliff));
}

TEST_F(RealTools, TmxIsReadUnitForUnitByTranslateToolkitAndCountedByTmxwc)
{
    const QString tmx = path("out.tmx");
    QString error;
    ASSERT_TRUE(SaveTmx(tmx, {exportOf(id)}, {QStringLiteral("1.0"), {}}, &error)) << error.toStdString();
    // Each unit as ours reads it: tuid, source, target language and target.
    QStringList ours;
    const TmxReadResult read = ReadTmxFile(tmx, [&](const TmxUnit &unit) {
        EXPECT_EQ(unit.variants.size(), 2u);
        // translate-toolkit names a unit without a tuid by its source.
        const QString id = unit.tuid.isEmpty() ? unit.variants[0].text : unit.tuid;
        ours << QStringList{id, unit.variants[0].text, unit.variants[1].language, unit.variants[1].text}.join(u'\t');
        return true;
    });
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    // 13 special strings less the untranslated, empty and not-to-be-translated
    // ones, and the 240 translated ordinary ones that may be translated.
    EXPECT_EQ(ours.size(), TmxUnitCount(exportOf(id)));
    EXPECT_GT(ours.size(), 200);

    // translate-toolkit's TMX storage (Debian's python3, where the package lives).
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, json\n"
                                 "from translate.storage import tmx\n"
                                 "store = tmx.tmxfile.parsefile(sys.argv[1])\n"
                                 "units = [[u.getid(), u.source, store.gettargetlanguage() or '', u.target] "
                                 "for u in store.units]\n"
                                 "sys.stdout.buffer.write(json.dumps(units, ensure_ascii=False).encode())\n"),
                  tmx});
    ASSERT_TRUE(python.waitForFinished(120000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonArray units = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QStringList theirs;
    for (const QJsonValue &unit : units) {
        const QJsonArray fields = unit.toArray();
        theirs << QStringList{fields[0].toString(), fields[1].toString(), QStringLiteral("de"), fields[3].toString()}
                      .join(u'\t');
    }
    EXPECT_EQ(theirs, ours);

    const ToolRun count = runTool(QStringLiteral("tmxwc"), {tmx});
    EXPECT_EQ(count.status, 0) << count.err.toStdString();
    EXPECT_EQ(count.out.trimmed(), tmx.toUtf8() + ": " + QByteArray::number(ours.size()) + " tu.");
}
