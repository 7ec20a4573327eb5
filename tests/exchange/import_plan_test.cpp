// Translations coming back: matched by original (and key), checked as an
// edit, never adding an entry.

#include "exchange_fixture.h"

namespace {

const QList<QByteArray> kPlanLines = {
    R"(<L from="Open" to="Open" key="IDS_OPEN"/>)",
    R"(<L from="Save" to="Sichern" key="IDS_SAVE"/>)",
    R"(<L from="Delete %s?" to="Delete %s?" key="IDS_DEL"/>)",
    R"(<L from="One/nTwo" to="One/nTwo" key="IDS_TWO"/>)",
    R"(<L from="Brand" to="Brand" key="IDS_BRAND" IsTrans="false"/>)",
    R"(<L from="Hi" to="Hi" key="IDS_HI"/>)",
    R"(<L from="Close" to="Close" key="IDS_CLOSE"/>)",
    R"(<L from="Close" to="Close" key="IDS_CLOSE_TAB"/>)",
    R"(<L from="A/r/nB" to="A/r/nB" key="IDS_CRLF"/>)",
};

QList<QByteArray> messages(const QList<std::pair<QByteArray, QByteArray>> &pairs)
{
    QList<QByteArray> lines;
    for (const auto &[id, str] : pairs)
        lines << "msgid \"" + id + "\"" << "msgstr \"" + str + "\"" << "";
    return lines;
}

} // namespace

class ImportPlanning : public ExchangeTest {};

TEST_F(ImportPlanning, ChecksEveryTranslationAsAnEdit)
{
    const int id = load(QStringLiteral("DEU.xml"), kPlanLines);
    const ImportPlan result = plan(id, ParsePo(poFile(messages({
        {"Open", "Öffnen"},
        {"Save", "Ablegen"},                    // replaces a translation
        {"Delete %s?", "%s löschen?"},
        {"One\\nTwo", "Eins\\nZwei"},           // a real line break comes back as the escape
        {"Hi", "Hallo Welt, wie geht es dir"},  // too long: kept, with a warning
    }))));
    EXPECT_EQ(result.summary(), QStringLiteral("5 changed, 0 unchanged, 0 refused, 0 unknown"));
    ASSERT_EQ(result.changes.size(), 5u);
    EXPECT_EQ(result.changes[3].original, QStringLiteral("One\\nTwo"));
    EXPECT_EQ(result.changes[3].translation, QStringLiteral("Eins\\nZwei"));
    EXPECT_FALSE(result.changes[0].tooLong);
    EXPECT_TRUE(result.changes[4].tooLong);
    EXPECT_EQ(result.tooLongCount(), 1);

    // Nothing changed until the plan is applied; then all of it.
    EXPECT_EQ(translation(id, QStringLiteral("Open")), QStringLiteral("Open"));
    EXPECT_EQ(ApplyImportPlan(document, id, result), 5);
    EXPECT_EQ(translation(id, QStringLiteral("Open")), QStringLiteral("Öffnen"));
    EXPECT_EQ(translation(id, QStringLiteral("One\\nTwo")), QStringLiteral("Eins\\nZwei"));
    EXPECT_EQ(translation(id, QStringLiteral("Save")), QStringLiteral("Ablegen"));
}

TEST_F(ImportPlanning, RefusesWhatAnEditWouldRefuse)
{
    const int id = load(QStringLiteral("DEU.xml"), kPlanLines);
    const ImportPlan result = plan(id, ParsePo(poFile(messages({
        {"Delete %s?", "Löschen?"},
        {"One\\nTwo", "Eins Zwei"},
        {"Brand", "Marke"},
        {"A\\r\\nB", "A\\nB"},
    }))));
    EXPECT_EQ(result.summary(), QStringLiteral("0 changed, 0 unchanged, 4 refused, 0 unknown"));
    ASSERT_EQ(result.refused.size(), 4u);
    EXPECT_EQ(result.refused[0].reason, QStringLiteral("Please put \"%s\" in String."));
    EXPECT_EQ(result.refused[0].unit.line, 1);
    EXPECT_EQ(DescribeUnit(result.refused[0].unit), QStringLiteral("line 1: \"Delete %s?\""));
    EXPECT_EQ(result.refused[1].reason, QStringLiteral("Please put \"\\n\" in String."));
    EXPECT_EQ(DescribeUnit(result.refused[1].unit), QStringLiteral("line 4: \"One\\nTwo\""));
    EXPECT_EQ(result.refused[2].reason, QStringLiteral("the string is marked not to be translated"));
    EXPECT_EQ(result.refused[3].reason, QStringLiteral("Please put \"\\r\" in String."));
    EXPECT_EQ(ApplyImportPlan(document, id, result), 0);
}

TEST_F(ImportPlanning, EmptyEqualAndUnfinishedTranslationsChangeNothing)
{
    const int id = load(QStringLiteral("DEU.xml"), kPlanLines);
    const ImportPlan result = plan(id, ParsePo(poFile({
        "msgid \"Open\"", "msgstr \"\"", "",          // untranslated
        "msgid \"Hi\"", "msgstr \"Hi\"", "",          // msgen's copy of the original
        "msgid \"Save\"", "msgstr \"Sichern\"", "",   // the translation it has
        "#, fuzzy", "msgid \"Brand\"", "msgstr \"\"", "",  // fuzzy and empty: nothing to refuse
        "#, fuzzy", "msgid \"Close\"", "msgstr \"Schließen\"",
    })));
    EXPECT_EQ(result.summary(), QStringLiteral("0 changed, 4 unchanged, 1 refused, 0 unknown"));
    EXPECT_EQ(result.refused[0].reason, QStringLiteral("it is marked fuzzy, not a finished translation"));
}

TEST_F(ImportPlanning, UnknownOriginalsAreReportedNeverAdded)
{
    const int id = load(QStringLiteral("DEU.xml"), kPlanLines);
    const ImportPlan result = plan(id, ParsePo(poFile({
        "msgctxt \"IDS_NEW\"", "msgid \"New thing\"", "msgstr \"Neues Ding\"", "",
        "msgid \"open\"", "msgstr \"öffnen\"",  // originals compare exactly
    })));
    EXPECT_EQ(result.summary(), QStringLiteral("0 changed, 0 unchanged, 0 refused, 2 unknown"));
    EXPECT_EQ(DescribeUnit(result.unknown[0]), QStringLiteral("line 1: \"New thing\" (IDS_NEW)"));
    ApplyImportPlan(document, id, result);
    EXPECT_FALSE(document.HasEntry(QStringLiteral("New thing"), id));
    EXPECT_EQ(catalogue(id).entries.size(), 8u);
}

TEST_F(ImportPlanning, KeysDecideBetweenUnitsOfOneOriginal)
{
    const int id = load(QStringLiteral("DEU.xml"), kPlanLines);
    // "Close" comes back under both of the file's keys and under a key of
    // another file; only the file's own count.
    const ImportPlan own = plan(id, ParsePo(poFile({
        "msgctxt \"IDS_CLOSE\"", "msgid \"Close\"", "msgstr \"Schließen\"", "",
        "msgctxt \"IDS_ELSEWHERE\"", "msgid \"Close\"", "msgstr \"Zumachen\"", "",
        "msgctxt \"IDS_CLOSE_TAB\"", "msgid \"Close\"", "msgstr \"Schließen\"",
    })));
    EXPECT_EQ(own.summary(), QStringLiteral("1 changed, 1 unchanged, 0 refused, 1 unknown"));
    EXPECT_EQ(own.changes[0].translation, QStringLiteral("Schließen"));
    EXPECT_EQ(own.unknown[0].key, QStringLiteral("IDS_ELSEWHERE"));

    // Units that disagree about one entry: none of them is taken.
    const ImportPlan disagree = plan(id, ParsePo(poFile({
        "msgctxt \"IDS_CLOSE\"", "msgid \"Close\"", "msgstr \"Schließen\"", "",
        "msgctxt \"IDS_CLOSE_TAB\"", "msgid \"Close\"", "msgstr \"Zumachen\"",
    })));
    EXPECT_EQ(disagree.summary(), QStringLiteral("0 changed, 0 unchanged, 2 refused, 0 unknown"));
    EXPECT_EQ(disagree.refused[1].reason,
              QStringLiteral("the units at lines 1, 5 give this original different translations"));

    // A single unit is taken by its original whatever key it carries.
    const ImportPlan single = plan(id, ParsePo(poFile({"msgctxt \"X\"", "msgid \"Open\"", "msgstr \"Öffnen\""})));
    EXPECT_EQ(single.summary(), QStringLiteral("1 changed, 0 unchanged, 0 refused, 0 unknown"));
}

TEST_F(ImportPlanning, CarriageReturnsDroppedByAToolStillFindTheirEntry)
{
    const int id = load(QStringLiteral("DEU.xml"), kPlanLines);
    const ImportPlan dropped = plan(id, ParseXliff(xliffFile({
        "<trans-unit id=\"1\"><source>A\nB</source><target>X\nY</target></trans-unit>",
    })));
    EXPECT_EQ(dropped.summary(), QStringLiteral("0 changed, 0 unchanged, 1 refused, 0 unknown"));
    EXPECT_EQ(dropped.refused[0].reason, QStringLiteral("Please put \"\\r\" in String."));
    const ImportPlan kept = plan(id, ParseXliff(xliffFile({
        "<trans-unit id=\"1\"><source>A&#13;\nB</source><target>X&#13;\nY</target></trans-unit>",
    })));
    EXPECT_EQ(kept.summary(), QStringLiteral("1 changed, 0 unchanged, 0 refused, 0 unknown"));
    EXPECT_EQ(kept.changes[0].translation, QStringLiteral("X\\r\\nY"));
}
