#include "catalogue/file_text.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The conversions written as the plain sequence of whole-text replacements.
QString escapeByRules(QString s)
{
    const char16_t *rules[][2] = {{u"\\r\\n", u"/r/n"}, {u"\\n", u"/n"}, {u"\\r", u"/r"}, {u"\r\n", u"/r/n"},
                                  {u"\n", u"/n"},       {u"\r", u"/r"},  {u"&", u"&amp;"}, {u"<", u"&lt;"},
                                  {u">", u"&gt;"},      {u"\"", u"&quot;"}};
    for (auto &rule : rules)
        s.replace(QString::fromUtf16(rule[0]), QString::fromUtf16(rule[1]));
    return s;
}

QString unescapeByRules(QString s)
{
    const char16_t *rules[][2] = {{u"/r/n", u"\\r\\n"}, {u"/n", u"\\n"}, {u"/r", u"\\r"}, {u"&lt;", u"<"},
                                  {u"&gt;", u">"},      {u"&quot;", u"\""}, {u"&amp;", u"&"}};
    for (auto &rule : rules)
        s.replace(QString::fromUtf16(rule[0]), QString::fromUtf16(rule[1]));
    return s;
}

TEST(FileText, ExamplesOfBothDirections)
{
    EXPECT_EQ(EscapeForFile(QStringLiteral("a < b & c")), u"a &lt; b &amp; c");
    EXPECT_EQ(EscapeForFile(QStringLiteral("Line 1\nLine 2\r\nx\\r\\ny\"")), u"Line 1/nLine 2/r/nx/r/ny&quot;");
    EXPECT_EQ(UnescapeFromFile(QStringLiteral("a/r/nb/nc/r&amp;lt;&quot;")), u"a\\r\\nb\\nc\\r&lt;\"");
    const QString plain = QStringLiteral("nothing special");
    EXPECT_EQ(EscapeForFile(plain), plain);
}

TEST(FileText, SinglePassMatchesTheReplacementRulesOnRandomText)
{
    // Texts built from the characters the rules look at.
    const QString alphabet = QStringLiteral("\\/rn\r\n&<>\";ampltgquox");
    QRandomGenerator random(42);
    for (int round = 0; round < 20000; ++round) {
        // A plain stretch first, so that the first special character lies
        // anywhere in the first few blocks of eight.
        QString text(random.bounded(4) ? 0 : random.bounded(30), u'x');
        const int length = random.bounded(12);
        for (int i = 0; i < length; ++i)
            text += alphabet[random.bounded(int(alphabet.size()))];
        ASSERT_EQ(EscapeForFile(text), escapeByRules(text)) << text.toStdString();
        ASSERT_EQ(UnescapeFromFile(text), unescapeByRules(text)) << text.toStdString();
        QString inPlace = text;
        inPlace.resize(UnescapeFromFileInPlace(reinterpret_cast<char16_t *>(inPlace.data()), inPlace.size()));
        ASSERT_EQ(inPlace, unescapeByRules(text)) << text.toStdString();
    }
}

TEST(FileText, LengthRatioReadsLikeStrtodAndWritesSixDecimals)
{
    EXPECT_FLOAT_EQ(ParseLengthRatio(QStringLiteral("1.5")), 1.5f);
    EXPECT_FLOAT_EQ(ParseLengthRatio(QStringLiteral(" 3.25abc")), 3.25f);
    EXPECT_FLOAT_EQ(ParseLengthRatio(QStringLiteral("+2")), 2.0f);
    EXPECT_FLOAT_EQ(ParseLengthRatio(QStringLiteral("-1e1")), -10.0f);
    EXPECT_FLOAT_EQ(ParseLengthRatio(QStringLiteral("wide")), 0.0f);
    EXPECT_FLOAT_EQ(ParseLengthRatio(QString()), 0.0f);
    EXPECT_EQ(FormatLengthRatio(2.0f), u"2.000000");
    EXPECT_EQ(FormatLengthRatio(1.5f), u"1.500000");
}

TEST(FileText, LengthRatioBeyondFloatReadsAsInfinityLikeStrtod)
{
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ParseLengthRatio(QStringLiteral("1e40")), inf);   // beyond float
    EXPECT_EQ(ParseLengthRatio(QStringLiteral("1e400")), inf);  // beyond double
    EXPECT_EQ(ParseLengthRatio(QStringLiteral("-1e400")), -inf);
    EXPECT_EQ(ParseLengthRatio(QStringLiteral("1e-400")), 0.0f);
    EXPECT_EQ(ParseLengthRatio(QStringLiteral("inf")), inf);
    EXPECT_TRUE(std::isnan(ParseLengthRatio(QStringLiteral("nan"))));
    EXPECT_EQ(ParseLengthRatio(QStringLiteral("3.4028234e38")), std::numeric_limits<float>::max());
}

} // namespace
