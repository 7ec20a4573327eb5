// Display form and language names.

#include "exchange/display_form.h"
#include "exchange/language_tags.h"
#include "test_support.h"

#include <QRandomGenerator>

TEST(DisplayForm, EscapesBecomeLineBreaksAndBack)
{
    EXPECT_EQ(ToDisplayForm(QStringLiteral("a\\nb\\r\\nc\\rd")), QStringLiteral("a\nb\r\nc\rd"));
    EXPECT_EQ(FromDisplayForm(QStringLiteral("a\nb\r\nc\rd")), QStringLiteral("a\\nb\\r\\nc\\rd"));
    // A backslash that starts no escape stays; in "\\n" the second one does.
    EXPECT_EQ(ToDisplayForm(QStringLiteral("C:\\temp \\\\n \\x")), QStringLiteral("C:\\temp \\\n \\x"));
    EXPECT_EQ(ToDisplayForm(QStringLiteral("ends with \\")), QStringLiteral("ends with \\"));
}

TEST(DisplayForm, RoundTripsEveryMemoryText)
{
    // Memory texts never hold a raw line break; every one comes back.
    const QString alphabet = QStringLiteral("ab\\nr%");
    QRandomGenerator random(7);
    for (int i = 0; i < 5000; ++i) {
        QString text;
        const int length = random.bounded(12);
        for (int k = 0; k < length; ++k)
            text += alphabet[random.bounded(alphabet.size())];
        ASSERT_EQ(FromDisplayForm(ToDisplayForm(text)), text) << text.toStdString();
    }
}

TEST(LanguageTags, CodesPathsAndGettextNames)
{
    EXPECT_EQ(LanguageTagForCode(QStringLiteral("DEU")), QStringLiteral("de"));
    EXPECT_EQ(LanguageTagForCode(QStringLiteral("cht")), QStringLiteral("zh-TW"));
    EXPECT_EQ(LanguageTagForCode(QStringLiteral("SRL")), QStringLiteral("sr-Latn"));
    EXPECT_EQ(LanguageTagForCode(QStringLiteral("NOR")), QStringLiteral("nb"));
    EXPECT_EQ(LanguageTagForCode(QStringLiteral("XYZ")), QString());

    EXPECT_EQ(LanguageTagForPath(QStringLiteral("/x/ViewResPTB.xml")), QStringLiteral("pt-BR"));
    EXPECT_EQ(LanguageTagForPath(QStringLiteral("ALL_CHS.xml")), QStringLiteral("zh-CN"));
    EXPECT_EQ(LanguageTagForPath(QStringLiteral("lang/JPN/strings.xml")), QStringLiteral("ja"));
    EXPECT_EQ(LanguageTagForPath(QStringLiteral("lang/misc/strings.xml")), QString());

    EXPECT_EQ(PoLanguageName(QStringLiteral("pt-BR")), QStringLiteral("pt_BR"));
    EXPECT_EQ(PoLanguageName(QStringLiteral("sr-Latn")), QStringLiteral("sr@latin"));
    EXPECT_EQ(PoLanguageName(QStringLiteral("de")), QStringLiteral("de"));

    EXPECT_TRUE(IsLanguageTag(QStringLiteral("sr-Latn")));
    EXPECT_TRUE(IsLanguageTag(QStringLiteral("es-419")));
    for (const char *bad : {"", "d", "de_DE", "de-", "\"de\"", "de DE", "1x"})
        EXPECT_FALSE(IsLanguageTag(QString::fromLatin1(bad))) << bad;
}

TEST(LanguageTags, ConflictsNeedDifferentLanguagesOrRegions)
{
    const auto conflict = [](const char *a, const char *b) {
        return LanguagesConflict(QString::fromLatin1(a), QString::fromLatin1(b));
    };
    EXPECT_FALSE(conflict("de", "de-DE"));
    EXPECT_FALSE(conflict("pt_BR", "pt-BR"));
    EXPECT_FALSE(conflict("sr@latin", "sr-Latn"));
    EXPECT_FALSE(conflict("no", "nb"));
    EXPECT_FALSE(conflict("", "fr"));
    EXPECT_FALSE(conflict("de_DE.UTF-8", "de"));
    EXPECT_TRUE(conflict("fr", "de"));
    EXPECT_TRUE(conflict("pt-PT", "pt_BR"));
    EXPECT_TRUE(conflict("zh-CN", "zh_TW"));
}
