// The bags' promise to the fuzzy index: the edit distance they bound a pair
// of texts to is never more than the true one, whichever text is the query,
// through the plain counts and through the block scans the search uses. A
// bound too high would drop a suggestion without a trace, so the texts are
// the ones most likely to break it: repeated letters past the counts' caps,
// non-ASCII letters, surrogate pairs, placeholders, empty and very long
// texts, and random texts with a few edits.

#include "memory/tm_bags.h"
#include "memory/tm_text.h"
#include "plain_distance.h"
#include "test_support.h"

#include <QRandomGenerator>
#include <algorithm>

namespace bag_test {

// The bound the search gives `other` for `query`: the letters through a
// block scan (the other text in one lane of a block of strangers), the
// pairs through the unpacked query, the higher of the two. Checks on the
// way that the scans count as the plain functions do.
std::size_t searchBound(const std::vector<TmUnit> &query, const std::vector<TmUnit> &other, int lane)
{
    const std::size_t n = query.size(), m = other.size();
    const TmLetterBag queryLetters = TmLetterBagOf(query.data(), n);
    const TmLetterBag otherLetters = TmLetterBagOf(other.data(), m);
    std::vector<std::uint8_t> block(kTmBlockBytes, 0);
    TmLetterBag stranger{};
    stranger.fill(255);  // lacks nothing: other lanes must not leak into ours
    for (std::size_t l = 0; l < kTmLanes; ++l)
        TmStoreLetterBag(int(l) == lane ? otherLetters : stranger, block.data(), l);
    // The scan the search uses (wide where the processor allows) and the
    // narrow one must agree lane for lane.
    alignas(32) std::uint8_t missing[kTmLanes], narrow[kTmLanes];
    const TmLetterQuery letters(queryLetters);
    const std::uint32_t scanned = letters.scanWithin(block.data(), missing, std::uint8_t(lane));
    letters.scanNarrow(block.data(), narrow);
    const std::size_t letterMissing = TmLetterMissing(queryLetters, otherLetters);
    EXPECT_EQ(missing[lane], std::min<std::size_t>(letterMissing, 255));
    for (std::size_t l = 0; l < kTmLanes; ++l) {
        EXPECT_EQ(narrow[l], missing[l]) << "lane " << l;
        if (int(l) != lane) {
            EXPECT_EQ(missing[l], 0) << "lane " << l;
        }
    }
    EXPECT_EQ(scanned, TmLanesWithin(missing, std::uint8_t(lane)));
    const std::uint32_t within = TmLanesWithin(missing, missing[lane]);
    EXPECT_TRUE(within & (1u << lane));
    if (missing[lane] > 0) {
        EXPECT_FALSE(TmLanesWithin(missing, std::uint8_t(missing[lane] - 1)) & (1u << lane));
    }

    const TmPairBag queryPairs = TmPairBagOf(query.data(), n);
    const TmPairBag otherPairs = TmPairBagOf(other.data(), m);
    const std::size_t pairMissing = TmPairQuery(queryPairs).missingIn(otherPairs.data());
    EXPECT_EQ(pairMissing, TmPairMissing(queryPairs, otherPairs));
    return std::max(TmLetterBound(missing[lane], n, m), TmPairBound(pairMissing, n, m));
}

// Checks both directions; true when a bound equals a distance above zero.
bool checkPair(const QString &a, const QString &b, int lane)
{
    const std::vector<TmUnit> x = TmComparisonUnits(a), y = TmComparisonUnits(b);
    const std::size_t distance = plainDistance(x, y);
    const std::size_t forward = searchBound(x, y, lane), backward = searchBound(y, x, int(kTmLanes) - 1 - lane);
    EXPECT_LE(forward, distance) << '"' << a.toStdString() << "\" against \"" << b.toStdString() << '"';
    EXPECT_LE(backward, distance) << '"' << b.toStdString() << "\" against \"" << a.toStdString() << '"';
    return distance > 0 && (forward == distance || backward == distance);
}

QString repeated(const QString &piece, int times) { return piece.repeated(times); }

} // namespace bag_test

using bag_test::checkPair;
using bag_test::repeated;

TEST(TmBags, BoundsNeverExceedTheEditDistanceOnAdversarialTexts)
{
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");   // a surrogate pair
    const QString wink = QString::fromUtf8("\xF0\x9F\x98\x89");    // same high surrogate
    const QString fraktur = QString::fromUtf8("\xF0\x9D\x94\x98"); // another high surrogate
    const QList<QPair<QString, QString>> pairs = {
        {"", ""},
        {"", "a"},
        {"", repeated("a", 400)},
        {repeated("a", 300), repeated("a", 10)},
        {repeated("a", 300), repeated("b", 300)},        // letter counts past their cap of 255
        {repeated("a", 256), repeated("a", 255)},
        {repeated("ab", 200), repeated("ba", 200)},      // pair counts past their cap of 15
        {repeated("ab", 40), repeated("ab", 8)},
        {repeated("abc", 30), repeated("acb", 30)},
        {"Save file", "Save files"},
        {"Open the file", "the file Open"},              // the same letters, moved
        {"%s of %d", "%d of %s"},                        // placeholders as units
        {"%s %s %s", "%1 %2 %3"},
        {"Line one\\nLine two", "Line one Line two"},
        {QString::fromUtf8("Ärger über Öl"), QString::fromUtf8("Arger uber Ol")},
        {QString::fromUtf8("Датотека сачувана"), QString::fromUtf8("Датотеке сачуване")},
        {QString::fromUtf8("文件已保存"), QString::fromUtf8("文件未保存")},
        {smile + smile + smile, wink + wink + wink},      // pairs that share their first unit
        {smile + "x" + fraktur, fraktur + "x" + smile},
        {repeated(smile, 150), repeated(wink, 150)},
        {QString(QChar(0xD83D)), smile},                 // a lone surrogate
        {repeated(QString::fromUtf8("é"), 270), repeated("e", 270)},
    };
    int lane = 0;
    for (const auto &[a, b] : pairs)
        checkPair(a, b, lane++ % int(kTmLanes));
}

TEST(TmBags, BoundsNeverExceedTheEditDistanceOnRandomTexts)
{
    QRandomGenerator random(29);
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    // Units of every kind the buckets tell apart or merge.
    const QStringList pieces = {"a", "e", "t", "s", "E", " ", "  ", "0", "7", ".", ",", "!", "&", "%s", "%d", "\\n",
                                QString::fromUtf8("ß"), QString::fromUtf8("ü"), QString::fromUtf8("文"),
                                QString::fromUtf8("я"), smile, QString(QChar(0xDC00))};
    auto make = [&](int length) {
        QString text;
        for (int i = 0; i < length; ++i)
            text += pieces[random.bounded(qsizetype(pieces.size()))];
        return text;
    };
    auto edit = [&](QString text, int edits) {
        for (int e = 0; e < edits; ++e) {
            const int at = text.isEmpty() ? 0 : int(random.bounded(int(text.size())));
            switch (random.bounded(3)) {
            case 0: if (!text.isEmpty()) text.remove(at, 1); break;
            case 1: text.insert(at, pieces[random.bounded(qsizetype(pieces.size()))]); break;
            default: if (!text.isEmpty()) text.replace(at, 1, pieces[random.bounded(qsizetype(pieces.size()))]);
            }
        }
        return text;
    };
    int tight = 0;
    for (int round = 0; round < 1500; ++round) {
        const int length = int(random.bounded(round < 1200 ? 60 : 700));
        const QString a = make(length);
        const QString b = random.bounded(4) == 0 ? make(int(random.bounded(80))) : edit(a, int(random.bounded(6)));
        tight += checkPair(a, b, round % int(kTmLanes)) ? 1 : 0;
        if (::testing::Test::HasFailure())
            return;
    }
    // The bounds are of use, not zero everywhere: many a pair a few edits
    // apart is bounded to its exact distance.
    EXPECT_GT(tight, 100);
}
