// The memory: which entries become segments, lookups (identical first,
// near-identical in order, unrelated left below the minimum, duplicates most
// frequent first with their files), the index finding near matches among
// many originals, and building from files and folders.

#include "memory/lookup_many.h"
#include "memory/memory_loader.h"
#include "memory/tm_score.h"
#include "memory/translation_memory.h"
#include "catalogue/catalogue_reading.h"
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
    // The caller hears once that the files are parsed, before the last
    // one's strings are put together (and reported done).
    MemoryBuildOptions options;
    options.threads = 2;
    std::atomic<int> reported{0}, parsedCalls{0};
    int reportedWhenParsed = -1;
    options.progress = [&](int done, int) { reported = done; };
    options.filesParsed = [&] {
        ++parsedCalls;
        reportedWhenParsed = reported;
    };
    const MemoryBuildResult built = BuildTranslationMemory({a, missing, folder.path("tree")}, options);
    EXPECT_EQ(parsedCalls, 1);
    EXPECT_GE(reportedWhenParsed, 0);
    EXPECT_LT(reportedWhenParsed, 3);
    EXPECT_EQ(reported, 3);
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

    // Nothing to parse: no call.
    parsedCalls = 0;
    EXPECT_TRUE(BuildTranslationMemory({missing}, options).memory);
    EXPECT_EQ(parsedCalls, 0);
}

TEST_F(MemoryFiles, CancelledBuildGivesNoMemory)
{
    const QString path = write("DEU.xml", languageFile("", {R"(<L from="Open" to="Öffnen"/>)"}));
    std::atomic<bool> cancel{true};
    MemoryBuildOptions options;
    options.cancel = &cancel;
    EXPECT_FALSE(BuildTranslationMemory({path}, options).memory);
}

namespace {

// Language files whose elements repeat originals in every way reading
// cares about: translated after untranslated (empty or equal `to`) and the
// other way round, with the same key, another key, no key or no `to`, one
// original under more keys than fit a short list, IsTrans marks, escapes.
QByteArray repeatingFile(QRandomGenerator &random)
{
    static const char *const originals[] = {"Open", "Save &amp; exit", "Line/nbreak", "Close", "Files"};
    static const char *const translations[] = {"", "Open", "Auf", "Zu", "Datei/nen", "Save &amp; exit"};
    QList<QByteArray> lines;
    for (int i = random.bounded(1, 160); i > 0; --i) {
        // One original in a third of the lines, untranslated in half of
        // them, under any of two dozen keys.
        const bool many = random.bounded(3) == 0;
        const QByteArray original = many ? "Many" : originals[random.bounded(int(std::size(originals)))];
        QByteArray line = "<L from=\"" + original + '"';
        if (many)
            line += random.bounded(2) ? " to=\"Viele\"" : random.bounded(2) ? " to=\"Many\"" : " to=\"\"";
        else if (random.bounded(6))
            line += " to=\"" + QByteArray(translations[random.bounded(int(std::size(translations)))]) + '"';
        if (random.bounded(5))
            line += " key=\"K" + QByteArray::number(random.bounded(many ? 24 : 4)) + '"';
        if (random.bounded(10) == 0)
            line += " IsTrans=\"false\"";
        lines << line + "/>";
    }
    return languageFile("", lines);
}

// A file whose strings are all its own (the round's), nearly all translated.
QByteArray distinctFile(QRandomGenerator &random, int round)
{
    QList<QByteArray> lines;
    for (int i = random.bounded(1, 60); i > 0; --i) {
        const QByteArray n = QByteArray::number(round) + '-' + QByteArray::number(i);
        lines << "<L from=\"Open file " + n + "\" to=\"" + (random.bounded(8) ? "Datei " + n : "") + "\" key=\"D" + n +
                     "\"/>";
    }
    return languageFile("", lines);
}

QStringList describe(const std::vector<TmSuggestion> &suggestions)
{
    QStringList lines;
    for (const TmSuggestion &s : suggestions)
        lines << QString::number(s.score) + ' ' + s.original + " -> " + s.translation + " [" + s.files.join(',') +
                     "] [" + s.keys.join(',') + ']';
    return lines;
}

// Every suggestion the memory has for each of `queries` (identical and
// fuzzy), with its files and keys.
std::vector<TmSuggestion> allSuggestions(const TranslationMemory &memory, const QStringList &queries)
{
    std::vector<TmSuggestion> all;
    for (const QString &query : queries) {
        for (int minScore : {100, 0}) {
            for (TmSuggestion &s : memory.lookup(query, minScore, 1000))
                all.push_back(std::move(s));
        }
    }
    return all;
}

QStringList everything(const TranslationMemory &memory, const QStringList &queries)
{
    return describe(allSuggestions(memory, queries));
}

} // namespace

TEST_F(MemoryFiles, AFileReadAsItemsGivesTheSegmentsOfItsCatalogue)
{
    SetThreadedReadFrom(0);  // every file in pieces where it can be cut
    QRandomGenerator random(23);
    const QStringList queries = {"Open", "Save & exit", "Line\\nbreak", "Close", "Files", "Many", "Opens", "Open file 3-1"};
    // First an original kept untranslated under twenty keys, then
    // translated under others, one of which it had before: the translated
    // entry starts its keys afresh.
    QList<QByteArray> keys;
    for (int k = 0; k < 20; ++k)
        keys << "<L from=\"Many\" to=\"Many\" key=\"K" + QByteArray::number(k) + "\"/>";
    QStringList translatedKeys;
    for (int k = 30; k < 50; ++k)
        translatedKeys << "K" + QString::number(k);
    translatedKeys << "K1";
    for (const QString &k : translatedKeys)
        keys << "<L from=\"Many\" to=\"Viele\" key=\"" + k.toUtf8() + "\"/>";
    const QByteArray keyFile = languageFile("", keys);
    // The items' texts in blocks in odd rounds: the memory keeps the blocks
    // of a file of mostly new strings and copies the few it keeps of one
    // repeating others.
    for (int round = 0; round < 150; ++round) {
        const bool blocks = round % 2 == 1;
        TranslationMemoryBuilder fromItems, fromCatalogues;
        for (int f = 0; f < 4; ++f) {
            const QByteArray content = round == 0 && f == 0 ? keyFile
                                       : f == 3             ? distinctFile(random, round)
                                                            : repeatingFile(random);
            const QString path = write(QStringLiteral("f%1.xml").arg(f), content);
            const ReadCatalogue catalogue = ReadCatalogueFile(path, CatalogueParts::Entries, 1);
            ReadCatalogueItems items = ReadCatalogueItemsOnThreads(path, 3, blocks);
            ASSERT_TRUE(catalogue.ok && items.ok);
            fromCatalogues.addCatalogue(fromCatalogues.addFile(path), catalogue.catalogue);
            fromItems.addLanguageFile(fromItems.addFile(path), std::move(items.pieces), std::move(items.blocks));
        }
        auto expected = fromCatalogues.build(), actual = fromItems.build();
        EXPECT_EQ(actual->segmentCount(), expected->segmentCount());
        EXPECT_EQ(actual->originalCount(), expected->originalCount());
        const std::vector<TmSuggestion> handedOut = allSuggestions(*actual, queries);
        const QStringList wanted = everything(*expected, queries);
        ASSERT_EQ(describe(handedOut), wanted) << "round " << round;
        if (round == 0) {
            EXPECT_EQ(actual->lookup("Many", 100, 1).at(0).keys.mid(0, 21), translatedKeys);
        }
        // What a lookup hands out is the caller's, past the memory's end.
        actual.reset();
        EXPECT_EQ(describe(handedOut), wanted) << "round " << round;
    }
    SetThreadedReadFrom(qint64(4) << 20);
}
