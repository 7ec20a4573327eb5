// Pre-translation plans: only untranslated, translatable entries; a
// suggestion failing the checks against the entry's own original is left
// out (the next one is tried); the summary counts both.

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "memory/pretranslate.h"
#include "memory/text_diff.h"
#include "test_support.h"

class PreTranslation : public FolderTest {
protected:
    CXMLStruct *load(const QList<QByteArray> &lines, const QByteArray &root = "CodeType=\"CPlus2\"")
    {
        const int id = document.LoadCatalogue(write("target.xml", languageFile(root, lines)), false);
        return document.findCatalogue(id);
    }
    CRendaroDoc document;
};

TEST_F(PreTranslation, FillsUntranslatedEntriesAndLeavesOutCheckFailures)
{
    TranslationMemoryBuilder builder;
    const std::uint32_t file = builder.addFile("memory.xml");
    builder.addSegment(file, "Open", "Öffnen", {});
    builder.addSegment(file, "Save", "Speichern", {});
    builder.addSegment(file, "Copy %s", "%d kopieren", {});          // wrong placeholder
    builder.addSegment(file, "Two\\nlines", "Zwei Zeilen", {});      // lost line break
    builder.addSegment(file, "Delete %s file", "%s Datei löschen", {});
    builder.addSegment(file, "Close", "Schließen", {});
    const auto memory = builder.build();

    const CXMLStruct *catalogue = load({
        R"(<L from="Open" to="Open"/>)",
        R"(<L from="Save" to=""/>)",
        R"(<L from="Copy %s" to="Copy %s"/>)",
        R"(<L from="Two/nlines" to="Two/nlines"/>)",
        R"(<L from="Delete %s file?" to="Delete %s file?"/>)",
        R"(<L from="Close" to="Zumachen"/>)",            // translated already
        R"(<L from="Unknown" to="Unknown"/>)",
        R"(<L from="Open" to="Open" IsTrans="false"/>)",
    });
    ASSERT_TRUE(catalogue);

    const PreTranslationPlan exact = PlanPreTranslation(*catalogue, *memory, 100);
    ASSERT_EQ(exact.fills.size(), 2u);
    EXPECT_EQ(exact.fills[0].original, "Open");
    EXPECT_EQ(exact.fills[0].translation, "Öffnen");
    EXPECT_EQ(exact.fills[1].original, "Save");
    ASSERT_EQ(exact.leftOut.size(), 2u);
    EXPECT_EQ(exact.leftOut[0].original, "Copy %s");
    EXPECT_EQ(exact.leftOut[0].check.message, formatMessage(MsgPutPlaceholder, "%s"));
    EXPECT_EQ(exact.leftOut[1].original, "Two\\nlines");
    EXPECT_EQ(PreTranslationSummary(exact), "2 filled, 2 left out by the checks");

    // A lower minimum takes the near match, which passes the checks.
    const PreTranslationPlan fuzzy = PlanPreTranslation(*catalogue, *memory, 85);
    ASSERT_EQ(fuzzy.fills.size(), 3u);
    EXPECT_EQ(fuzzy.fills[0].original, "Delete %s file?");
    EXPECT_EQ(fuzzy.fills[0].translation, "%s Datei löschen");
    EXPECT_LT(fuzzy.fills[0].score, 100);
}

TEST_F(PreTranslation, AFailingSuggestionGivesWayToTheNextOne)
{
    TranslationMemoryBuilder builder;
    const std::uint32_t a = builder.addFile("a.xml");
    const std::uint32_t b = builder.addFile("b.xml");
    const std::uint32_t c = builder.addFile("c.xml");
    // The most frequent translation breaks the Qt placeholder order.
    builder.addSegment(a, "Copy %1 to %2", "%2 nach %1 kopieren", {});
    builder.addSegment(b, "Copy %1 to %2", "%2 nach %1 kopieren", {});
    builder.addSegment(c, "Copy %1 to %2", "%1 nach %2 kopieren", {});
    const auto memory = builder.build();
    const CXMLStruct *catalogue = load({R"(<L from="Copy %1 to %2" to=""/>)"}, "CodeType=\"QT\"");
    const PreTranslationPlan plan = PlanPreTranslation(*catalogue, *memory, 100);
    ASSERT_EQ(plan.fills.size(), 1u);
    EXPECT_EQ(plan.fills[0].translation, "%1 nach %2 kopieren");
    EXPECT_TRUE(plan.leftOut.empty());
}

TEST(TextDiff, MarksTheWordsTheTextAddsOrChanges)
{
    EXPECT_TRUE(DifferingRanges("Delete %s file?", "Delete %s file?").empty());
    EXPECT_EQ(DifferingRanges("Delete %s file?", "Delete %s files?"), (std::vector<TextRange>{{10, 5}}));
    EXPECT_EQ(DifferingRanges("Open the file", "Open a file"), (std::vector<TextRange>{{5, 1}}));
    EXPECT_EQ(DifferingRanges("Save file", "Save files now"), (std::vector<TextRange>{{5, 9}}));
    // Changed words are marked whole.
    EXPECT_EQ(DifferingRanges("Copy file", "Move files"), (std::vector<TextRange>{{0, 4}, {5, 5}}));
    // Where the text lacks something, the word before the gap is marked.
    EXPECT_EQ(DifferingRanges("Delete %s files?", "Delete %s file?"), (std::vector<TextRange>{{10, 4}}));
    EXPECT_EQ(DifferingRanges("Delete all files", "Delete files"), (std::vector<TextRange>{{0, 6}}));
    EXPECT_EQ(DifferingRanges("Really save", "save"), (std::vector<TextRange>{{0, 4}}));
    // Too large to align: all of it.
    EXPECT_EQ(DifferingRanges("abc", "abd", 4), (std::vector<TextRange>{{0, 3}}));
}
