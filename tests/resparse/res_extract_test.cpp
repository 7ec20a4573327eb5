#include "resparse/res_extract.h"
#include "test_support.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

const QString kFixtures = QStringLiteral(RENDARO_TEST_DATA "/fixtures");

QByteArray fixture(const char *name) { return readBytes(kFixtures + u'/' + QString::fromLatin1(name)); }

QString headerText() { return QString::fromLatin1(fixture("resource.h")); }

TEST(ResourceExtraction, ReadsMenusDialogsAndStringTablesInOrder)
{
    const QStringList expected = {
        // MENU: popups, their items depth first, no separator.
        "File", "Open...\tCtrl+O", "Exit", "Help", "About",
        // MENUEX: nested popup, "&&" kept as one "&".
        "Edit", "Cut", "More", "Save & Close", "Window",
        // DIALOG: caption, then only static and button texts; an icon gives "".
        "Options", "Name:", "OK", "",
        // DIALOGEX: classes given by name in any case; the progress bar and
        // rich edit are created but show no text. The dialog with a private
        // class cannot be created, the unlisted and the named ones are not read.
        "Extended", "Check me", "Label",
        // String tables: every language on its own (German sorts first), no
        // mnemonic processing, the unlisted block left out.
        "Hallo", "Ninety-six", "Hello", "&Not stripped", "Last of block"};
    for (const char *dll : {"resources32.dll", "resources64.dll"}) {
        QStringList texts;
        ASSERT_TRUE(ExtractFromImage(fixture(dll), headerText(), texts)) << dll;
        EXPECT_EQ(texts, expected) << dll;
    }
}

TEST(ResourceExtraction, HeaderFilterIsAPlainSubstringSearch)
{
    const QByteArray dll = fixture("resources64.dll");
    QStringList texts;
    // "1000" holds "100", which lets the string block 96-111 through, but the
    // block test ignores a match at the very first character.
    ASSERT_TRUE(ExtractFromImage(dll, QStringLiteral("#define X 1000"), texts));
    EXPECT_EQ(texts, QStringList({"Hallo", "Ninety-six", "Hello", "&Not stripped", "Last of block"}));
    texts.clear();
    ASSERT_TRUE(ExtractFromImage(dll, QStringLiteral("1000"), texts));
    EXPECT_TRUE(texts.isEmpty());
    // Menus and dialogs match anywhere, the first character included.
    ASSERT_TRUE(ExtractFromImage(dll, QStringLiteral("201"), texts));
    EXPECT_EQ(texts, QStringList({"Edit", "Cut", "More", "Save & Close", "Window"}));
    texts.clear();
    ASSERT_TRUE(ExtractFromImage(dll, QString(), texts));
    EXPECT_TRUE(texts.isEmpty());
}

TEST(ResourceExtraction, FilesThatCannotBeOpenedGiveFalseAndNothing)
{
    TempFolder folder;
    const QString dll = kFixtures + "/resources64.dll";
    const QString header = kFixtures + "/resource.h";
    QStringList texts = {"kept"};
    EXPECT_FALSE(ExtractResourceStrings(texts, folder.path("missing.dll"), header));
    EXPECT_FALSE(ExtractResourceStrings(texts, dll, folder.path("missing.h")));
    EXPECT_FALSE(ExtractResourceStrings(texts, dll, folder.root()));
    writeBytes(folder.path("text.exe"), "MZ but nothing else");
    EXPECT_FALSE(ExtractResourceStrings(texts, folder.path("text.exe"), header));
    EXPECT_EQ(texts, QStringList({"kept"}));
    EXPECT_FALSE(QFile::exists(folder.path("missing.h")));

    // A zero byte ends the header.
    writeBytes(folder.path("nul.h"), QByteArray("#define A 7\0 201", 16));
    EXPECT_TRUE(ExtractResourceStrings(texts, dll, folder.path("nul.h")));
    EXPECT_EQ(texts, QStringList({"kept"}));
}

TEST(StripMnemonics, RemovesSingleAmpersandsAndHalvesDoubles)
{
    EXPECT_EQ(StripMnemonics("&Open..."), u"Open...");
    EXPECT_EQ(StripMnemonics("Save && Exit"), u"Save & Exit");
    EXPECT_EQ(StripMnemonics("a&&&b"), u"a&b");
    EXPECT_EQ(StripMnemonics("trailing&"), u"trailing");
    EXPECT_EQ(StripMnemonics("&&&&"), u"&&");
}

// Every prefix of a real executable, and many copies with bytes changed,
// must be read without crashing or reading outside the data (the sanitizer
// build checks the latter).
TEST(ResourceExtraction, SurvivesTruncatedAndCorruptedFiles)
{
    const QString header = headerText();
    // No text can be longer than the data it was read from.
    auto longest = [](const QStringList &texts) {
        qsizetype n = 0;
        for (const QString &t : texts)
            n = std::max(n, t.size());
        return n;
    };
    for (const char *name : {"resources32.dll", "resources64.dll"}) {
        const QByteArray dll = fixture(name);
        QStringList full;
        ASSERT_TRUE(ExtractFromImage(dll, header, full));
        for (qsizetype length = 0; length < dll.size(); ++length) {
            QStringList texts;
            const bool isImage = ExtractFromImage(dll.left(length), header, texts);
            if (length < 0x40) {
                EXPECT_FALSE(isImage) << length;  // not even a DOS header
            }
            // What a cut file yields is never more than the whole file gives.
            EXPECT_LE(texts.size(), full.size()) << length;
        }
        QRandomGenerator random(11);
        for (int round = 0; round < 3000; ++round) {
            QByteArray copy = dll;
            for (int flips = 1 + random.bounded(8); flips > 0; --flips)
                copy[random.bounded(int(copy.size()))] = char(random.bounded(256));
            QStringList texts;
            ExtractFromImage(copy, header, texts);
            ASSERT_LE(longest(texts), copy.size() / 2) << round;
        }
    }
}

} // namespace

#include "resparse/header_filter.h"

namespace {

TEST(HeaderFilter, AgreesWithAPlainSearchOfTheHeader)
{
    QRandomGenerator random(5);
    const QString alphabet = QStringLiteral("0123456789 x\n");
    for (int round = 0; round < 200; ++round) {
        QString header;
        for (int i = random.bounded(40); i > 0; --i)
            header += alphabet[random.bounded(int(alphabet.size()))];
        const HeaderFilter filter(header);
        for (int n = 0; n < 2000; ++n) {
            const std::uint32_t id = random.bounded(2) ? random.bounded(200) : random.bounded(65536);
            ASSERT_EQ(filter.listsResource(id), header.contains(QString::number(id))) << header.toStdString() << id;
        }
        for (std::uint32_t block = 1; block < 300; ++block) {
            bool expected = false;
            for (std::uint32_t i = 0; i < 16; ++i)
                expected = expected || header.indexOf(QString::number(std::uint16_t((block - 1) * 16 + i)), 1) >= 0;
            ASSERT_EQ(filter.listsStringBlock(block), expected) << header.toStdString() << " block " << block;
        }
    }
}

} // namespace
