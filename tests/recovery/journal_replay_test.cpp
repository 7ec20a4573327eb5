// A journal's records folded and compared with a file as it is now: what
// differs is restored, what the file no longer holds is named, and the
// catalogue saved afterwards holds every restored change.

#include "catalogue/document.h"
#include "recovery/journal_replay.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

JournalRecord set(const QString &original, const QString &translation, int translatable = 1)
{
    return {JournalRecordType::Set, original, translation, translatable};
}
JournalRecord add(const QString &original, const QString &translation, int translatable = 1)
{
    return {JournalRecordType::Add, original, translation, translatable};
}
JournalRecord removal(const QString &original) { return {JournalRecordType::Remove, original, QString(), 1}; }
JournalRecord settings(float ratio, int codeType)
{
    JournalRecord record;
    record.type = JournalRecordType::Settings;
    record.lengthRatio = ratio;
    record.codeType = codeType;
    return record;
}

class JournalReplay : public FolderTest {
protected:
    void SetUp() override
    {
        path = write("DEU.xml", languageFile("AllowLength=\"2.0\" CodeType=\"CPlus2\"",
                                             {R"(<L from="Open" to="Open"/>)", R"(<L from="Save" to="Sichern"/>)",
                                              R"(<L from="Close" to="Close"/>)", R"(<L from="Help" to="Help"/>)"}));
        id = document.LoadCatalogue(path, false);
        ASSERT_GE(id, 1);
        document.SelectCatalogue(id);
    }
    EntryState state(const QString &original) const { return ReadEntryState(document, id, original); }

    CRendaroDoc document;
    QString path;
    int id = -1;
};

TEST_F(JournalReplay, TheLastStateOfEachEntryIsRestoredOnce)
{
    const std::vector<JournalRecord> records = {
        set("Open", "Öffnen"), set("Close", "Zu"), set("Close", "Schließen"),  // the last text wins
        set("Help", "Hilfe"), set("Help", "Help"),  // edited and undone: the file has it already
        set("Save", "Sichern", 0),                  // only the flag
        add("Print %s", "Drucken %s"),
    };
    EXPECT_EQ(JournalChangeCount(records), 5);
    const JournalPlan plan = PlanJournalReplay(document, id, records);
    EXPECT_EQ(plan.count(), 4);  // Help equals the file
    EXPECT_TRUE(plan.leftOut.isEmpty());

    std::vector<std::pair<QString, EntryState>> heard;
    ApplyJournalPlan(document, id, plan,
                     [&](const QString &original, const EntryState &before) { heard.emplace_back(original, before); });
    EXPECT_EQ(state("Open").translation, u"Öffnen");
    EXPECT_EQ(state("Close").translation, u"Schließen");
    EXPECT_EQ(state("Help").translation, u"Help");
    EXPECT_EQ(state("Save").translatable, 0);
    EXPECT_EQ(state("Save").translation, u"Sichern");
    EXPECT_EQ(state("Print %s").translation, u"Drucken %s");
    // In the order first changed, each with the state it had: what an undo step needs.
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0].first, u"Open");
    EXPECT_EQ(heard[0].second.translation, u"Open");
    EXPECT_EQ(heard[3].first, u"Print %s");
    EXPECT_FALSE(heard[3].second.existed);

    // Planned again, nothing is left to restore.
    EXPECT_EQ(PlanJournalReplay(document, id, records).count(), 0);
}

TEST_F(JournalReplay, OriginalsGoneFromTheFileAreLeftOutAndNamed)
{
    const std::vector<JournalRecord> records = {set("Open", "Öffnen"), set("Exit", "Beenden"),
                                                set("Quit", "Verlassen"), add("New", "Neu")};
    const JournalPlan plan = PlanJournalReplay(document, id, records);
    EXPECT_EQ(plan.leftOut, QStringList({"Exit", "Quit"}));
    EXPECT_EQ(plan.count(), 2);  // Open, and the added New (an addition needs no original in the file)
    ApplyJournalPlan(document, id, plan, {});
    EXPECT_FALSE(state("Exit").existed);
    EXPECT_EQ(state("New").translation, u"Neu");
}

TEST_F(JournalReplay, AdditionsTakenBackAreNotMade)
{
    const std::vector<JournalRecord> records = {add("New", "Neu"), add("Newer", "Neuer"), removal("Newer"),
                                                removal("New"), add("New", "Neu!")};
    EXPECT_EQ(JournalChangeCount({add("X", "Y"), removal("X")}), 0);
    const JournalPlan plan = PlanJournalReplay(document, id, records);
    ASSERT_EQ(plan.entries.size(), 1u);
    EXPECT_TRUE(plan.entries[0].add);
    EXPECT_EQ(plan.entries[0].translation, u"Neu!");
    // Taking back an addition the file already held cannot be done.
    EXPECT_EQ(PlanJournalReplay(document, id, {removal("Open")}).leftOut, QStringList{"Open"});
}

TEST_F(JournalReplay, ANewTextUnderANotToBeTranslatedMarkIsKept)
{
    // Setting the flag to 0 alone keeps the old text, so the text goes first.
    const JournalPlan plan = PlanJournalReplay(document, id, {set("Open", "Öffnen", 0)});
    ApplyJournalPlan(document, id, plan, {});
    EXPECT_EQ(state("Open").translation, u"Öffnen");
    EXPECT_EQ(state("Open").translatable, 0);
}

TEST_F(JournalReplay, SettingsAreRestoredWhenTheyDiffer)
{
    JournalPlan plan = PlanJournalReplay(document, id, {settings(3.5f, 1)});
    ASSERT_TRUE(plan.settings);
    EXPECT_EQ(plan.count(), 1);
    ApplyJournalPlan(document, id, plan, {});
    const CatalogueSettings now = ReadCatalogueSettings(document, id);
    EXPECT_EQ(now.lengthRatio, 3.5f);
    EXPECT_EQ(now.codeType, 1);
    EXPECT_FALSE(PlanJournalReplay(document, id, {settings(3.5f, 1)}).settings);
}

TEST_F(JournalReplay, TheRestoredCatalogueSavesEveryChange)
{
    const JournalPlan plan =
        PlanJournalReplay(document, id, {set("Open", "Öffnen"), add("New", "Neu"), set("Help", "Help", 0)});
    ApplyJournalPlan(document, id, plan, {});
    const QString out = folder.path("out.xml");
    ASSERT_TRUE(document.SaveCatalogue(id, out, true));
    CRendaroDoc reread;
    const int again = reread.LoadCatalogue(out, false);
    ASSERT_GE(again, 1);
    EXPECT_EQ(reread.GetTranslation(again, "Open"), u"Öffnen");
    EXPECT_EQ(reread.GetTranslation(again, "New"), u"Neu");
    EXPECT_EQ(ReadEntryState(reread, again, "Help").translatable, 0);
    EXPECT_EQ(reread.GetTranslation(again, "Save"), u"Sichern");  // untouched
}

TEST_F(JournalReplay, AnUnknownCatalogueIsLeftAlone)
{
    const JournalPlan plan = PlanJournalReplay(document, 999, {add("New", "Neu")});
    ApplyJournalPlan(document, 999, plan, {});
    EXPECT_EQ(document.catalogues().size(), 2u);  // the master and the file: no catalogue made
}

} // namespace
