// The memory: which entries become segments, lookups (identical first,
// near-identical in order, unrelated left below the minimum, duplicates most
// frequent first with their files), the index finding near matches among
// many originals, and building from files and folders.

#include "memory/lookup_many.h"
#include "memory/memory_loader.h"
#include "memory/tm_score.h"
#include "memory/translation_memory.h"
#include "catalogue/string_entry.h"
#include "test_support.h"

#include <QRandomGenerator>

namespace {

struct Pair {
    const char *original;
    const char *translation;
};

std::shared_ptr<TranslationMemory> memoryOf(std::initializer_list<Pair> pairs, const QString &file = "DEU.xml")
{
    TranslationMemoryBuilder builder;
    const std::uint32_t id = builder.addFile(file);
    for (const Pair &pair : pairs)
        builder.addSegment(id, pair.original, pair.translation, KeyList{"IDS_" + QString(pair.original)});
    return builder.build();
}

QStringList originals(const std::vector<TmSuggestion> &suggestions)
{
    QStringList list;
    for (const TmSuggestion &s : suggestions)
        list << s.original;
    return list;
}

} // namespace

TEST(TranslationMemory, IdenticalOriginalComesFirstWithHundred)
{
    const auto memory = memoryOf({{"Delete %s files?", "%s Dateien löschen?"},
                                  {"Delete %s file?", "%s Datei löschen?"},
                                  {"delete %s file", "%s Datei entfernen"}});
    const std::vector<TmSuggestion> found = memory->lookup("Delete %s file?", 60, 5);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].score, 100);
    EXPECT_EQ(found[0].translation, "%s Datei löschen?");
    EXPECT_EQ(found[0].files, QStringList{"DEU.xml"});
    EXPECT_EQ(found[0].keys, QStringList{"IDS_Delete %s file?"});
    // The surface difference before the changed word.
    EXPECT_EQ(originals(found), QStringList({"Delete %s file?", "delete %s file", "Delete %s files?"}));
    EXPECT_GE(found[1].score, 95);
    EXPECT_GE(found[2].score, 85);
    EXPECT_LT(found[2].score, found[1].score);
    // A minimum of 100 asks for the identical original only.
    EXPECT_EQ(originals(memory->lookup("Delete %s file?", 100, 5)), QStringList{"Delete %s file?"});
    EXPECT_TRUE(memory->lookup("Delete %s file", 100, 5).empty());
}

TEST(TranslationMemory, UnrelatedOriginalsStayBelowTheMinimumAndTheLimitHolds)
{
    const auto memory = memoryOf({{"Please insert a blank disc.", "Bitte eine leere Disc einlegen."},
                                  {"Open the camera settings", "Kameraeinstellungen öffnen"},
                                  {"Open the camera settings now", "Kameraeinstellungen jetzt öffnen"},
                                  {"Open camera settings", "Kameraeinstellungen öffnen"}});
    EXPECT_TRUE(memory->lookup("The connection failed.", 60, 5).empty());
    EXPECT_TRUE(memory->lookup("Disc", 60, 5).empty());
    const std::vector<TmSuggestion> two = memory->lookup("Open the camera settings", 60, 2);
    EXPECT_EQ(originals(two), QStringList({"Open the camera settings", "Open the camera settings now"}));
    // Every score reported is the score of the pair.
    for (const TmSuggestion &s : memory->lookup("Open camera setting", 0, 10))
        EXPECT_EQ(s.score, TmScore("Open camera setting", s.original)) << s.original.toStdString();
}

TEST(TranslationMemory, DuplicateOriginalsOfferEveryTranslationMostFrequentFirst)
{
    TranslationMemoryBuilder builder;
    const std::uint32_t a = builder.addFile("a/DEU.xml");
    const std::uint32_t b = builder.addFile("b/DEU.xml");
    const std::uint32_t c = builder.addFile("c/DEU.xml");
    builder.addSegment(a, "Close", "Schließen", KeyList{"IDS_CLOSE"});
    builder.addSegment(b, "Close", "Beenden", KeyList{"IDS_QUIT", "IDS_EXIT"});
    builder.addSegment(c, "Close", "Beenden", KeyList{"IDS_QUIT"});
    const auto memory = builder.build();
    EXPECT_EQ(memory->segmentCount(), 3u);
    EXPECT_EQ(memory->originalCount(), 1u);
    const std::vector<TmSuggestion> found = memory->lookup("Close", 60, 5);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].translation, "Beenden");
    EXPECT_EQ(found[0].files, QStringList({"b/DEU.xml", "c/DEU.xml"}));
    EXPECT_EQ(found[0].keys, QStringList({"IDS_QUIT", "IDS_EXIT"}));
    EXPECT_EQ(found[1].translation, "Schließen");
    EXPECT_EQ(found[1].files, QStringList{"a/DEU.xml"});
    EXPECT_EQ(found[1].score, 100);
    // The limit counts translations.
    EXPECT_EQ(memory->lookup("Close", 60, 1).size(), 1u);
}

TEST(TranslationMemory, IndexFindsNearMatchesAmongManyOriginals)
{
    // Texts built from a small vocabulary, so that every trigram is common
    // and the index must rank, not just collect.
    const QStringList words = {"open", "save", "file", "folder", "device", "camera", "network", "delete",
                               "selected", "items", "update", "failed", "please", "again", "settings", "the"};
    QRandomGenerator random(11);
    TranslationMemoryBuilder builder;
    const std::uint32_t file = builder.addFile("big.xml");
    QStringList texts;
    for (int i = 0; i < 20000; ++i) {
        QStringList sentence;
        for (int w = 0, n = 3 + int(random.bounded(6)); w < n; ++w)
            sentence << words[random.bounded(qsizetype(words.size()))];
        sentence << QString::number(i);
        texts << sentence.join(' ');
        builder.addSegment(file, texts.back(), "T" + QString::number(i), KeyList{});
    }
    const auto memory = builder.build();
    for (int probe = 0; probe < 50; ++probe) {
        const int index = int(random.bounded(qsizetype(texts.size())));
        const QString &target = texts[index];
        // Every text was interned and is found again exactly.
        const std::vector<TmSuggestion> exact = memory->lookup(target, 100, 5);
        ASSERT_EQ(exact.size(), 1u);
        EXPECT_EQ(exact[0].translation, "T" + QString::number(index));
        QString query = target;
        query.insert(query.indexOf(' '), 'x');  // one letter more in the first word
        const std::vector<TmSuggestion> found = memory->lookup(query, 60, 5);
        ASSERT_FALSE(found.empty()) << query.toStdString();
        EXPECT_EQ(found.front().original, target) << query.toStdString();
        EXPECT_EQ(found.front().score, TmScore(query, target));
    }
}

TEST(TranslationMemory, LookupsOnSeveralThreadsGiveWhatOneThreadGives)
{
    const QStringList words = {"open", "save", "file", "folder", "device", "camera", "delete", "items"};
    QRandomGenerator random(5);
    auto sentence = [&] {
        QStringList parts;
        for (int w = 0, n = 2 + int(random.bounded(4)); w < n; ++w)
            parts << words[random.bounded(qsizetype(words.size()))];
        return parts.join(' ');
    };
    TranslationMemoryBuilder builder;
    const std::uint32_t file = builder.addFile("m.xml");
    for (int i = 0; i < 2000; ++i)
        builder.addSegment(file, sentence() + ' ' + QString::number(i % 700), "T" + QString::number(i), {});
    const auto memory = builder.build();
    QStringList queries;
    for (int i = 0; i < 600; ++i)
        queries << sentence() + ' ' + QString::number(i % 900);
    const auto together = LookupMany(*memory, queries, 60, 3, 3);
    ASSERT_EQ(together.size(), std::size_t(queries.size()));
    std::size_t suggestions = 0;
    for (qsizetype i = 0; i < queries.size(); ++i) {
        const std::vector<TmSuggestion> alone = memory->lookup(queries[i], 60, 3);
        ASSERT_EQ(together[std::size_t(i)].size(), alone.size()) << queries[i].toStdString();
        for (std::size_t k = 0; k < alone.size(); ++k) {
            EXPECT_EQ(together[std::size_t(i)][k].translation, alone[k].translation);
            EXPECT_EQ(together[std::size_t(i)][k].score, alone[k].score);
        }
        suggestions += alone.size();
    }
    EXPECT_GT(suggestions, 0u);
}

TEST(TranslationMemory, EqualScoresKeepTheOrderTheOriginalsWereMet)
{
    TranslationMemoryBuilder builder;
    const std::uint32_t first = builder.addFile("first.xml");
    const std::uint32_t second = builder.addFile("second.xml");
    // Added out of file order, as loading threads may finish.
    builder.addSegment(second, "Open the map", "Karte öffnen", {});
    builder.addSegment(first, "Open the tab", "Reiter öffnen", {});
    builder.addSegment(first, "Open the car", "Auto öffnen", {});
    const auto memory = builder.build();
    const std::vector<TmSuggestion> found = memory->lookup("Open the box", 60, 5);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].score, found[2].score);
    EXPECT_EQ(originals(found), QStringList({"Open the tab", "Open the car", "Open the map"}));
}

class MemoryFiles : public FolderTest {};

TEST_F(MemoryFiles, SegmentsAreTheTranslatableTranslatedEntries)
{
    const QString path = write("DEU.xml", languageFile("", {
        R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
        R"(<L from="Same" to="Same"/>)",
        R"(<L from="Empty" to=""/>)",
        R"(<L from="Fixed" to="Fest" IsTrans="false"/>)",
        R"(<L from="Line/nbreak" to="Zeilen/numbruch"/>)",
    }));
    const MemoryBuildResult built = BuildTranslationMemory({path});
    ASSERT_TRUE(built.memory);
    EXPECT_TRUE(built.failures.empty());
    EXPECT_EQ(built.memory->segmentCount(), 2u);
    EXPECT_EQ(built.memory->lookup("Open", 100, 5).at(0).keys, QStringList{"IDS_OPEN"});
    EXPECT_EQ(built.memory->lookup("Line\\nbreak", 100, 5).at(0).translation, "Zeilen\\numbruch");
    // Nothing near them either: the other originals share no word with them.
    for (const char *left : {"Same", "Empty", "Fixed"})
        EXPECT_TRUE(built.memory->lookup(left, 40, 5).empty()) << left;
}

TEST_F(MemoryFiles, FoldersAreListedAsLanguageFoldersAndUnreadablePathsNamed)
{
    QDir(folder.root()).mkpath("tree/sub/.svn");
    const QString a = write("tree/A_DEU.xml", languageFile("", {R"(<L from="Close" to="Schließen"/>)"}));
    write("tree/sub/B_DEU.xml", languageFile("", {R"(<L from="Close" to="Beenden"/>)"}));
    write("tree/sub/.svn/C_DEU.xml", languageFile("", {R"(<L from="Close" to="Zu"/>)"}));
    write("tree/notes.txt", "not a language file");
    const QString broken = write("tree/sub/D_DEU.xml", "<Language><L from=");
    const QString missing = folder.path("gone.xml");

    // The file named on its own is also below the folder: it counts once.
    const MemoryBuildResult built = BuildTranslationMemory({a, missing, folder.path("tree")}, {2, {}, nullptr, true, {}});
    ASSERT_TRUE(built.memory);
    ASSERT_EQ(built.failures.size(), 2u);
    EXPECT_EQ(built.failures[0].path, missing);
    EXPECT_EQ(built.failures[0].reason, "No such file or directory");
    EXPECT_EQ(built.failures[1].path, broken);
    EXPECT_FALSE(built.failures[1].reason.isEmpty());
    const std::vector<TmSuggestion> found = built.memory->lookup("Close", 100, 5);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].files, QStringList{a});
    EXPECT_EQ(found[1].files, QStringList{folder.path("tree/sub/B_DEU.xml")});
}

TEST_F(MemoryFiles, CancelledBuildGivesNoMemory)
{
    const QString path = write("DEU.xml", languageFile("", {R"(<L from="Open" to="Öffnen"/>)"}));
    std::atomic<bool> cancel{true};
    MemoryBuildOptions options;
    options.cancel = &cancel;
    EXPECT_FALSE(BuildTranslationMemory({path}, options).memory);
}
