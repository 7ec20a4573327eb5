#include "catalogue/text_match.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <random>

namespace {

// Random texts over letters whose case folding is special (sharp s and its
// capital, the Kelvin and long s signs that fold to ASCII, dotted and
// dotless i, the three sigmas, the Dz title case) and a Deseret letter pair
// outside the BMP (a surrogate pair each, folded by code point): the
// matcher must say what QStringView::contains says, in both modes.
TEST(TextMatcher, AgreesWithQtOnRandomTexts)
{
    const QStringList alphabet = {"a",      "A",      "k",      "K",      "s",      "S",      "\u00df", "\u1e9e",
                                  "\u212a", "\u017f", "i",      "I",      "\u0130", "\u0131", "\u03a3", "\u03c3",
                                  "\u03c2", "\u01c4", "\u01c5", "\u01c6", "\U00010400", "\U00010428", " "};
    std::mt19937 random(17);
    auto text = [&](int longest) {
        QString result;
        for (int i = 0, n = int(random() % unsigned(longest + 1)); i < n; ++i)
            result += alphabet[qsizetype(random() % unsigned(alphabet.size()))];
        return result;
    };
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        const QString needle = text(3), haystack = text(20);
        for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            const TextMatcher matcher(needle, cs);
            const bool expected = QStringView(haystack).contains(needle, cs);
            found += expected ? 1 : 0;
            ASSERT_EQ(matcher.isIn(haystack), expected)
                << needle.toStdString() << " in " << haystack.toStdString() << (cs ? " with case" : " without");
        }
    }
    EXPECT_GT(found, 5000);  // the texts match often enough to tell
}

TEST(TextMatcher, EmptyNeedleAndShortTexts)
{
    EXPECT_TRUE(TextMatcher(QString(), Qt::CaseInsensitive).isIn(QString()));
    EXPECT_TRUE(TextMatcher(QString(), Qt::CaseSensitive).isIn(u"x"));
    EXPECT_FALSE(TextMatcher(QStringLiteral("ab"), Qt::CaseInsensitive).isIn(u"A"));
    EXPECT_TRUE(TextMatcher(QStringLiteral("ab"), Qt::CaseInsensitive).isIn(u"xAB"));
    EXPECT_FALSE(TextMatcher(QStringLiteral("ab"), Qt::CaseSensitive).isIn(u"xAB"));
}

} // namespace
