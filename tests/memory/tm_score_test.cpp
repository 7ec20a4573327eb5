// The scores' promises: 100 only for the identical original, 95-99 for
// differences of case, accelerator, surrounding white space and trailing
// punctuation, edit similarity with placeholders and line-break escapes as
// one unit each, and texts sharing no word below 40.

#include "memory/edit_distance.h"
#include "memory/tm_score.h"
#include "plain_distance.h"
#include "test_support.h"

#include <QRandomGenerator>

namespace {

} // namespace

TEST(TmScore, IdenticalOnlyScoresHundred)
{
    EXPECT_EQ(TmScore("Delete the selected files?", "Delete the selected files?"), 100);
    EXPECT_EQ(TmScore("", ""), 100);
    for (const char *other : {"delete the selected files?", "Delete the selected files", "&Delete the selected files?",
                              " Delete the selected files? ", "Delete the selected files."})
        EXPECT_LT(TmScore("Delete the selected files?", other), 100) << other;
}

TEST(TmScore, SurfaceDifferencesScoreAtLeastNinety)
{
    const struct {
        const char *a;
        const char *b;
    } pairs[] = {
        {"Save", "save"},                          // case
        {"Open File", "OPEN FILE"},
        {"&Open", "Open"},                         // accelerator
        {"Save(&S)", "Save"},
        {"Cancel", "  Cancel "},                   // surrounding white space
        {"Connection failed", "Connection failed."},  // trailing punctuation
        {"Please wait", "Please wait..."},
        {"&Delete all items", " delete all items!"},  // several at once
    };
    for (const auto &pair : pairs) {
        const int score = TmScore(pair.a, pair.b);
        EXPECT_GE(score, 90) << pair.a << " / " << pair.b;
        EXPECT_LT(score, 100) << pair.a << " / " << pair.b;
    }
    // One difference ranks above several.
    EXPECT_GT(TmScore("Delete all items", "delete all items"), TmScore("Delete all items", " &DELETE ALL ITEMS!"));
}

TEST(TmScore, NearIdenticalTextsRankByEditSimilarity)
{
    EXPECT_GE(TmScore("Delete %s file?", "Delete %s files?"), 85);
    // Closer wording scores higher, and every fuzzy score stays below the
    // surface differences.
    const QString text = "The connection to the camera failed.";
    const int oneWord = TmScore(text, "The connection to the device failed.");
    const int twoWords = TmScore(text, "The connection to the device was lost.");
    EXPECT_GT(TmScore(text, "the connection to the camera failed"), oneWord);
    EXPECT_GT(oneWord, twoWords);
    EXPECT_LE(TmScore(text, "The connection to the camera has failed."), 94);
}

TEST(TmScore, PlaceholdersAndEscapesAreOneUnitEach)
{
    // "%-10.2f" against "%s" is one substitution, as "a" against "b" is.
    EXPECT_EQ(TmScore("Size %-10.2f", "Size %s"), TmScore("Size a", "Size b"));
    EXPECT_EQ(TmScore("Line one\\r\\nLine two", "Line one\\nLine two"), TmScore("Line oneaLine two", "Line onebLine two"));
    EXPECT_EQ(TmScore("Copy %1 of %2", "Copy %2 of %1"), TmScore("Copy a of b", "Copy b of a"));
    EXPECT_EQ(TmRawUnits(u"%s\\r\\n%1").size(), 3u);
}

TEST(TmScore, TextsSharingNoWordStayBelowForty)
{
    const struct {
        const char *a;
        const char *b;
    } pairs[] = {
        {"The connection to the camera failed.", "Please insert a blank disc into your drive."},
        {"Save", "Same"},
        {"Open recent projects", "Cancel current upload"},
        {"Delete %s file?", "Rename %s folder?"},
    };
    for (const auto &pair : pairs)
        EXPECT_LT(TmScore(pair.a, pair.b), 40) << pair.a << " / " << pair.b;
    // A shared word (or a shared stem) lifts the cap.
    EXPECT_GE(TmScore("Delete file", "Delete files"), 60);
    EXPECT_GE(TmScore("Log", "Logs"), 60);
}

TEST(EditDistance, BitParallelMatchesThePlainTableAtEveryLength)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 600; ++round) {
        // Lengths across one, two and several machine words; a small
        // alphabet so that matches are frequent.
        const int alphabet = 2 + int(random.bounded(6));
        auto make = [&](int length) {
            std::vector<TmUnit> units(static_cast<std::size_t>(length), 0);
            for (TmUnit &unit : units)
                unit = 'a' + TmUnit(random.bounded(alphabet));
            return units;
        };
        const std::vector<TmUnit> a = make(int(random.bounded(round < 300 ? 70 : 300)));
        std::vector<TmUnit> b = random.bounded(3) == 0 ? a : make(int(random.bounded(round < 300 ? 70 : 300)));
        if (!b.empty() && random.bounded(2))
            b[random.bounded(quint32(b.size()))] = 'z';
        const EditDistancePattern pattern(a);
        const std::size_t plain = plainDistance(a, b);
        ASSERT_EQ(pattern.distanceTo(b), plain) << "lengths " << a.size() << " and " << b.size() << ", round " << round;
        // Bounded: exact up to the bound, above it past the bound.
        for (std::size_t bound : {std::size_t(0), plain / 2, plain ? plain - 1 : 0, plain, plain + 3}) {
            const std::size_t within = pattern.distanceWithin(b.data(), b.size(), bound);
            if (plain <= bound)
                ASSERT_EQ(within, plain) << "bound " << bound << ", round " << round;
            else
                ASSERT_GT(within, bound) << "distance " << plain << ", round " << round;
        }
    }
}

TEST(TmScore, BoundsAgreeWithTheScoreOfEveryDistance)
{
    // TmScoreBound is the score of the nearest pair possible, and
    // TmDistanceAllowed the last distance keeping a minimum: both against
    // the scores of texts that far apart.
    for (std::size_t length : {0u, 1u, 3u, 10u, 37u, 64u, 65u, 130u}) {
        for (std::size_t other : {length, length + 1, length + 5, length / 2, length * 2}) {
            for (std::size_t distance = 0; distance <= std::max(length, other) + 1; ++distance) {
                const std::size_t real = std::max(distance, std::max(length, other) - std::min(length, other));
                const QString a(qsizetype(length), u'a');
                // `other` units `real` edits away from `a` (as near as the lengths allow).
                QString b(qsizetype(other), u'a');
                for (std::size_t i = 0, changes = real - (std::max(length, other) - std::min(length, other));
                     i < changes && i < std::min(length, other); ++i)
                    b[qsizetype(i)] = u'b';
                const int score = TmScore(a, b);
                const std::size_t actual = EditDistancePattern(TmComparisonUnits(a)).distanceTo(TmComparisonUnits(b));
                if (actual != real || (actual == 0 && a != b))
                    continue;  // the lengths leave no such pair
                // Texts sharing no word keep half, which the bound need not say.
                if (score >= 40 || actual == 0)
                    EXPECT_EQ(TmScoreBound(length, other, distance), score) << length << ' ' << other << ' ' << distance;
                else
                    EXPECT_GE(TmScoreBound(length, other, distance), score) << length << ' ' << other << ' ' << distance;
                for (int minimum : {1, 40, 60, 75, 90, 94}) {
                    const int full = actual == 0 ? 100 : TmScoreBound(length, other, actual);
                    EXPECT_EQ(actual <= TmDistanceAllowed(length, other, minimum), full >= minimum)
                        << length << ' ' << other << ' ' << actual << ' ' << minimum;
                }
            }
        }
    }
}
