#include "catalogue/catalogue_types.h"
#include "checks/text_checks.h"

#include <gtest/gtest.h>

namespace {

QStringList placeholders(const QString &text, int codeType)
{
    QStringList found;
    PlaceholderScanner scanner;
    for (QString p; !(p = scanner.NextPlaceholder(codeType, text)).isEmpty(); ++scanner.position)
        found << p;
    return found;
}

TEST(Checks, LengthLimitIsRatioTimesOriginal)
{
    EXPECT_TRUE(CheckLength("OK", "Okay", 2.0f).ok);
    const CheckResult tooLong = CheckLength("OK", "Okay!", 2.0f);
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.messageId, 129);
    EXPECT_TRUE(CheckLength("", "", 2.0f).ok);
    EXPECT_FALSE(CheckLength("", "x", 2.0f).ok);
    EXPECT_TRUE(CheckLength("abc", "abcd", 1.5f).ok);
    EXPECT_FALSE(CheckLength("abc", "abcde", 1.5f).ok);
}

TEST(Checks, ScannerFindsPrintfAndNumberedPlaceholders)
{
    EXPECT_EQ(placeholders("%s %-5d %.2f %ld %*d", CodeTypeCpp), QStringList({"%s", "%-5d", "%.2f", "%ld", "%*d"}));
    EXPECT_EQ(placeholders("50% off, % d", CodeTypeCpp), QStringList());
    // A doubled sign is not one, but its second half is examined on its own.
    EXPECT_EQ(placeholders("100%%", CodeTypeCpp), QStringList());
    EXPECT_EQ(placeholders("%%d", CodeTypeCpp), QStringList({"%d"}));
    EXPECT_EQ(placeholders("%1 of %12 %s", CodeTypeQt), QStringList({"%1", "%1"}));
    EXPECT_EQ(placeholders("%s %1", 7), QStringList());
}

TEST(Checks, PlaceholderMismatchNamesTheRightToken)
{
    struct Case {
        QString original, translation;
        int codeType;
        int message;  // 0: passes
        QString text;
    } cases[] = {
        {"%d of %s", "%s of %d", CodeTypeCpp, 104, "Please remove one \"%s\"."},
        {"Hello %s", "Hallo", CodeTypeCpp, 103, "Please put \"%s\" in String."},
        {"%1 files", "%1 %2 Dateien", CodeTypeQt, 104, "Please remove one \"%2\"."},
        {"%1 files", "%s Dateien %1", CodeTypeQt, 0, ""},
        {"%s and %d", "%s und %d", CodeTypeCpp, 0, ""},
        {"%s", "%s %s", CodeTypeCpp, 104, "Please remove one \"%s\"."},
        // One placeholder typed in place of another: the missing one is named.
        {"Size %s", "Größe %d", CodeTypeCpp, 103, "Please put \"%s\" in String."},
        {"%s %d %s", "%s %s", CodeTypeCpp, 103, "Please put \"%d\" in String."},
    };
    for (const Case &c : cases) {
        const CheckResult r = CheckPlaceholders(c.original, c.translation, c.codeType);
        EXPECT_EQ(r.ok, c.message == 0) << c.original.toStdString() << " / " << c.translation.toStdString();
        EXPECT_EQ(r.messageId, c.message) << c.original.toStdString();
        EXPECT_EQ(r.message, c.text) << c.original.toStdString();
    }
}

TEST(Checks, LineBreakEscapesMustMatch)
{
    EXPECT_TRUE(CheckEscapeSequences("a\\nb\\nc", "x\\ny\\nz").ok);
    const CheckResult missing = CheckEscapeSequences("a\\nb\\nc", "x\\ny");
    EXPECT_EQ(missing.messageId, 103);
    EXPECT_EQ(missing.message, u"Please put \"\\n\" in String.");
    const CheckResult extra = CheckEscapeSequences("a", "b\\r");
    EXPECT_EQ(extra.message, u"Please remove one \"\\r\".");
    // \r\n counts as one \r and one \n.
    EXPECT_TRUE(CheckEscapeSequences("a\\r\\nb", "x\\ry\\n").ok);
    EXPECT_FALSE(CheckEscapeSequences("a\\r\\nb", "x\\n").ok);
}

} // namespace
