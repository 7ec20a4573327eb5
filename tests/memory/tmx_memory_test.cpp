// TMX files in the translation memory: which variant of a unit is the
// original and which the translation, units left out and counted, faults,
// and the memory built from TMX files beside language files.

#include "exchange/language_tags.h"
#include "exchange/tmx_reader.h"
#include "memory/memory_loader.h"
#include "memory/tmx_memory.h"
#include "test_support.h"

namespace {

QByteArray tmxOf(const QList<QByteArray> &units)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\">\n<header srclang=\"en-US\"/>\n"
                     "<body>\n";
    for (const QByteArray &unit : units)
        out += unit + '\n';
    return out + "</body>\n</tmx>\n";
}

// A unit of the given variants ("en-US=Open").
TmxUnit unitOf(std::initializer_list<const char *> variants)
{
    TmxUnit unit;
    for (const char *variant : variants) {
        const QString text = QString::fromUtf8(variant);
        const qsizetype equals = text.indexOf(u'=');
        unit.variants.push_back({text.left(equals), text.mid(equals + 1)});
    }
    return unit;
}

} // namespace

TEST(LanguageMatch, SameLanguageRegionIgnoredWhenNeeded)
{
    struct Case {
        const char *wanted, *given;
        int match;
    };
    const Case cases[] = {
        {"de", "de", 2},       {"de", "DE", 2},       {"de-DE", "de_de", 2}, {"de", "de-DE", 1},
        {"de-DE", "de", 1},    {"de-DE", "de-AT", 0}, {"pt-BR", "pt", 1},    {"pt-BR", "PT-BR", 2},
        {"pt-BR", "pt-PT", 0}, {"zh-TW", "zh-CN", 0}, {"zh-TW", "zh-Hant-TW", 1}, {"sr-Latn", "sr@latin", 2},
        {"nb", "no", 2},       {"de", "fr", 0},       {"de", "", 0},         {"", "de", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LanguageMatch(QString::fromLatin1(c.wanted), QString::fromLatin1(c.given)), c.match)
            << c.wanted << " / " << c.given;
}

TEST(TmxSegmentPicker, TakesTheEnglishOriginalAndTheWantedTranslation)
{
    struct Case {
        const char *what;
        const char *language;
        TmxUnit unit;
        const char *original;  // null: the unit is left out
        const char *translation;
    };
    const std::vector<Case> cases = {
        {"the two variants", "de", unitOf({"en-US=Open", "de=Öffnen"}), "Open", "Öffnen"},
        {"upper case, region ignored", "de", unitOf({"EN-GB=Open", "DE-DE=Öffnen"}), "Open", "Öffnen"},
        {"the exact language first", "pt-BR", unitOf({"en=Open", "pt=Abrir (pt)", "pt-BR=Abrir", "pt-PT=Abre"}),
         "Open", "Abrir"},
        {"a region-less one serves", "pt-BR", unitOf({"en=Open", "pt-PT=Abre", "pt=Abrir"}), "Open", "Abrir"},
        {"another region never", "pt-BR", unitOf({"en=Open", "pt-PT=Abre"}), nullptr, nullptr},
        {"the most exact English", "fr", unitOf({"en-GB=Colour", "en=Color", "fr=Couleur"}), "Color", "Couleur"},
        {"order does not matter", "fr", unitOf({"fr=Couleur", "en=Color"}), "Color", "Couleur"},
        {"no English", "de", unitOf({"fr=Ouvrir", "de=Öffnen"}), nullptr, nullptr},
        {"not the language", "de", unitOf({"en=Open", "fr=Ouvrir"}), nullptr, nullptr},
        {"an empty translation", "de", unitOf({"en=Open", "de="}), nullptr, nullptr},
        {"the original again", "de", unitOf({"en=OK", "de=OK"}), nullptr, nullptr},
        {"line breaks become escapes", "de", unitOf({"en=A\nB", "de=C\r\nD"}), "A\\nB", "C\\r\\nD"},
        {"no language given: the one other", "", unitOf({"en=Open", "ja=開く"}), "Open", "開く"},
        {"no language given: several others", "", unitOf({"en=Open", "ja=開く", "de=Öffnen"}), nullptr, nullptr},
    };
    for (const Case &c : cases) {
        TmxSegmentPicker picker(QString::fromLatin1(c.language));
        TmxSegment segment;
        const bool picked = picker.pick(c.unit, &segment);
        EXPECT_EQ(picked, c.original != nullptr) << c.what;
        if (picked && c.original) {
            EXPECT_EQ(segment.original, QString::fromUtf8(c.original)) << c.what;
            EXPECT_EQ(segment.translation, QString::fromUtf8(c.translation)) << c.what;
        }
    }
}

class TmxMemory : public FolderTest {};

TEST_F(TmxMemory, SegmentsComeInBatchesInFileOrder)
{
    QList<QByteArray> units;
    for (int i = 0; i < 25; ++i) {
        const QByteArray n = QByteArray::number(i);
        units << "<tu tuid=\"K" + n + "\"><tuv xml:lang=\"en\"><seg>S" + n + "</seg></tuv><tuv xml:lang=\"de\"><seg>T"
                     + n + "</seg></tuv></tu>";
    }
    units << R"(<tu><tuv xml:lang="fr"><seg>x</seg></tuv><tuv xml:lang="de"><seg>y</seg></tuv></tu>)";
    const QString path = write(QStringLiteral("m.tmx"), tmxOf(units));
    std::vector<std::size_t> sizes;
    QStringList seen;
    const TmxMemoryRead read = ReadTmxSegments(
        path, QStringLiteral("de"),
        [&](std::vector<TmxSegment> &batch) {
            sizes.push_back(batch.size());
            for (const TmxSegment &segment : batch)
                seen << segment.keys.join(u',') + u':' + segment.original + u'=' + segment.translation;
        },
        {}, 10);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.units, 26);
    EXPECT_EQ(read.skipped, 1);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{10, 10, 5}));
    ASSERT_EQ(seen.size(), 25);
    EXPECT_EQ(seen.first(), "K0:S0=T0");
    EXPECT_EQ(seen.last(), "K24:S24=T24");
    EXPECT_EQ(TmxSkippedText(read, QStringLiteral("de")),
              "1 of 26 units were left out: they hold no English text, no text in de, or no translation");

    // Cancelled before the second batch: nothing more is handed over.
    int batches = 0;
    ReadTmxSegments(path, QStringLiteral("de"), [&](std::vector<TmxSegment> &) { ++batches; },
                    [&] { return batches >= 1; }, 10);
    EXPECT_EQ(batches, 1);
}

TEST_F(TmxMemory, BuildsFromTmxFilesBesideLanguageFiles)
{
    const QString xml = write(QStringLiteral("ViewResDEU.xml"),
                              languageFile("", {R"(<L from="Save" to="Speichern" key="IDS_SAVE"/>)"}));
    const QString tmx = write(QStringLiteral("agency.TMX"),
                              tmxOf({R"(<tu tuid="IDS_OPEN"><tuv xml:lang="EN-US"><seg>Open <ph>%s</ph></seg></tuv>)"
                                     R"(<tuv xml:lang="DE-DE"><seg><ph>%s</ph> öffnen</seg></tuv></tu>)",
                                     R"(<tu><tuv xml:lang="en"><seg>Two
lines</seg></tuv><tuv xml:lang="de"><seg>Zwei
Zeilen</seg></tuv></tu>)",
                                     R"(<tu><tuv xml:lang="en"><seg>Only English</seg></tuv></tu>)"}));
    MemoryBuildOptions options;
    options.language = QStringLiteral("de");
    const MemoryBuildResult built = BuildTranslationMemory({xml, tmx}, options);
    ASSERT_TRUE(built.memory);
    EXPECT_TRUE(built.failures.empty());
    EXPECT_EQ(built.filesRead, 2);
    EXPECT_EQ(built.memory->segmentCount(), 3u);
    const std::vector<TmSuggestion> open = built.memory->lookup(QStringLiteral("Open %s"), 100, 5);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].translation, "%s öffnen");
    EXPECT_EQ(open[0].files, QStringList{tmx});
    EXPECT_EQ(open[0].keys, QStringList{"IDS_OPEN"});
    ASSERT_EQ(built.memory->lookup(QStringLiteral("Two\\nlines"), 100, 5).size(), 1u);
    EXPECT_EQ(built.memory->lookup(QStringLiteral("Two\\nlines"), 100, 5)[0].translation, "Zwei\\nZeilen");
    EXPECT_EQ(built.memory->lookup(QStringLiteral("Save"), 100, 5).size(), 1u);
    ASSERT_EQ(built.notes.size(), 1u);
    EXPECT_EQ(built.notes[0].path, tmx);
    EXPECT_TRUE(built.notes[0].reason.startsWith("1 of 3 units were left out")) << built.notes[0].reason.toStdString();

    // Another language takes nothing from the TMX file.
    options.language = QStringLiteral("fr");
    EXPECT_EQ(BuildTranslationMemory({xml, tmx}, options).memory->segmentCount(), 1u);
}

TEST_F(TmxMemory, AMalformedTmxFileIsNamedAndItsEarlierUnitsStay)
{
    const QString tmx = write(QStringLiteral("broken.tmx"),
                              "<tmx version=\"1.4\"><body>\n"
                              "<tu><tuv xml:lang=\"en\"><seg>Open</seg></tuv><tuv xml:lang=\"de\"><seg>Öffnen</seg></tuv></tu>\n"
                              "<tu><tuv xml:lang=\"en\"><seg>Close</seg></tuv><tuv xml:lang=\"de\"><seg>Schließen</seg></tuv>\n"
                              "</body>");
    const QString laughs = write(QStringLiteral("laughs.tmx"),
                                 "<!DOCTYPE tmx [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>\n"
                                 "<tmx><body><tu><tuv xml:lang=\"en\"><seg>&b;</seg></tuv></tu></body></tmx>");
    MemoryBuildOptions options;
    options.language = QStringLiteral("de");
    options.threads = 2;
    const MemoryBuildResult built = BuildTranslationMemory({tmx, laughs, folder.path(QStringLiteral("none.tmx"))}, options);
    ASSERT_TRUE(built.memory);
    ASSERT_EQ(built.failures.size(), 3u);
    EXPECT_EQ(built.failures[0].path, folder.path(QStringLiteral("none.tmx")));
    EXPECT_EQ(built.failures[1].path, tmx);
    EXPECT_EQ(built.failures[1].reason, "line 4: mismatched tag; the unit before it is used");
    EXPECT_EQ(built.failures[2].path, laughs);
    EXPECT_TRUE(built.failures[2].reason.startsWith("line 1: a DOCTYPE with declarations of its own"));
    EXPECT_EQ(built.filesRead, 1);
    EXPECT_EQ(built.memory->segmentCount(), 1u);
    EXPECT_EQ(built.memory->lookup(QStringLiteral("Open"), 100, 1).at(0).translation, "Öffnen");
}
