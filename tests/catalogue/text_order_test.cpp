#include "catalogue/entry_table.h"
#include "catalogue/text_order.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace {

// The plain definition: a stable comparison sort by OriginalLess.
std::vector<std::uint32_t> referenceOrder(const std::vector<QString> &texts)
{
    std::vector<std::uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return OriginalLess(texts[a], texts[b]); });
    return order;
}

std::vector<std::uint32_t> fastOrder(const std::vector<QString> &texts)
{
    std::vector<QStringView> views(texts.begin(), texts.end());
    return TextOrder(views);
}

// Texts built from a few stems, so that many share prefixes of every length
// around the eight units a sort record holds, some are prefixes of others or
// extend them by NUL units, some repeat, and units above the sign bit of a
// 16-bit value occur.
std::vector<QString> randomTexts(QRandomGenerator &random, int count)
{
    static const char16_t *const stems[] = {u"",         u"Are you sure you want to ", u"Are you sure you want",
                                            u"\u00e9",   u"\uffff\u8000",             u"abcdefgh",
                                            u"abcdefg",  u"The file %s"};
    static const char16_t units[] = {u'\0', u'a', u'b', u' ', u'\u00e9', u'\u8000', u'\uffff', u'\xd83d'};
    std::vector<QString> texts;
    for (int i = 0; i < count; ++i) {
        if (!texts.empty() && random.bounded(10) == 0) {
            texts.push_back(texts[size_t(random.bounded(int(texts.size())))]);
            continue;
        }
        QString text = QString::fromUtf16(stems[random.bounded(int(std::size(stems)))]);
        for (int n = random.bounded(0, 20); n > 0; --n)
            text += QChar(units[random.bounded(int(std::size(units)))]);
        texts.push_back(text);
    }
    return texts;
}

TEST(TextOrder, EqualsAStableSortByCodeUnits)
{
    QRandomGenerator random(7);
    // Sizes around the short runs that are compared directly, and larger.
    for (const int count : {0, 1, 2, 15, 16, 17, 40, 300, 5000}) {
        for (int round = 0; round < 4; ++round) {
            const std::vector<QString> texts = randomTexts(random, count);
            ASSERT_EQ(fastOrder(texts), referenceOrder(texts)) << count << " texts, round " << round;
        }
    }
}

TEST(TextOrder, LongSharedPrefixesPrefixesAndNulExtensions)
{
    // A thousand texts agreeing on their first 1,000 units (many levels of
    // eight units), with texts that end within a level, texts that continue
    // with NUL units (which equal the padding of a shorter text) and the
    // empty text.
    const QString shared(1000, u'x');
    std::vector<QString> texts = {QString(), shared, shared + QChar(0), shared + QChar(0) + QChar(0)};
    QRandomGenerator random(11);
    for (int i = 0; i < 1000; ++i) {
        QString text = shared.left(random.bounded(990, 1000));
        for (int n = random.bounded(0, 12); n > 0; --n)
            text += QChar(char16_t(random.bounded(3)));
        texts.push_back(text);
    }
    ASSERT_EQ(fastOrder(texts), referenceOrder(texts));
}

TEST(TextOrder, SortByTextKeepsEachItemWithItsText)
{
    std::vector<std::pair<QString, int>> items = {{"b", 1}, {"a", 2}, {"ab", 3}, {"a", 4}, {"", 5}};
    SortByText(items, [](const std::pair<QString, int> &item) { return QStringView(item.first); });
    const std::vector<std::pair<QString, int>> expected = {{"", 5}, {"a", 2}, {"a", 4}, {"ab", 3}, {"b", 1}};
    EXPECT_EQ(items, expected);
}

} // namespace
