// Images built byte by byte: menu language choice, and directories or
// templates shaped to make a careless reader loop, recurse or blow up.

#include "resparse/res_extract.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

void put16(QByteArray &b, qsizetype at, unsigned v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
void put32(QByteArray &b, qsizetype at, unsigned v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
void add16(QByteArray &b, unsigned v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void addText(QByteArray &b, const QString &text)
{
    for (QChar c : text)
        add16(b, c.unicode());
    add16(b, 0);
}

struct Resource {
    unsigned type, id, language;
    QByteArray data;
};

constexpr qsizetype kSectionFileOffset = 0x200;
constexpr unsigned kSectionRva = 0x1000;

// Offsets inside the resource section of what buildImage wrote.
struct Layout {
    std::vector<qsizetype> dataEntries;  // one per resource, in input order
};

// A PE32+ image with one section holding a resource directory of the given
// resources (types, ids and languages in order of first appearance).
QByteArray buildImage(const std::vector<Resource> &resources, Layout *layout = nullptr)
{
    std::vector<unsigned> types;
    std::map<unsigned, std::vector<unsigned>> ids;
    std::map<std::pair<unsigned, unsigned>, std::vector<size_t>> versions;
    for (size_t i = 0; i < resources.size(); ++i) {
        const Resource &r = resources[i];
        if (!ids.count(r.type))
            types.push_back(r.type);
        auto &idList = ids[r.type];
        if (std::find(idList.begin(), idList.end(), r.id) == idList.end())
            idList.push_back(r.id);
        versions[{r.type, r.id}].push_back(i);
    }
    QByteArray rsrc;
    auto directory = [&rsrc](size_t count) {
        const qsizetype at = rsrc.size();
        rsrc.append(QByteArray(16 + qsizetype(count) * 8, '\0'));
        put16(rsrc, at + 14, unsigned(count));
        return at;
    };
    std::vector<qsizetype> dataEntryAt(resources.size());
    const qsizetype root = directory(types.size());
    for (size_t t = 0; t < types.size(); ++t) {
        const qsizetype typeDir = directory(ids[types[t]].size());
        put32(rsrc, root + 16 + qsizetype(t) * 8, types[t]);
        put32(rsrc, root + 20 + qsizetype(t) * 8, 0x80000000u | unsigned(typeDir));
        const auto &idList = ids[types[t]];
        for (size_t n = 0; n < idList.size(); ++n) {
            const auto &list = versions[{types[t], idList[n]}];
            const qsizetype nameDir = directory(list.size());
            put32(rsrc, typeDir + 16 + qsizetype(n) * 8, idList[n]);
            put32(rsrc, typeDir + 20 + qsizetype(n) * 8, 0x80000000u | unsigned(nameDir));
            for (size_t l = 0; l < list.size(); ++l) {
                dataEntryAt[list[l]] = rsrc.size();
                put32(rsrc, nameDir + 16 + qsizetype(l) * 8, resources[list[l]].language);
                put32(rsrc, nameDir + 20 + qsizetype(l) * 8, unsigned(rsrc.size()));
                rsrc.append(QByteArray(16, '\0'));
            }
        }
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        while (rsrc.size() % 4)
            rsrc.append('\0');
        put32(rsrc, dataEntryAt[i], kSectionRva + unsigned(rsrc.size()));
        put32(rsrc, dataEntryAt[i] + 4, unsigned(resources[i].data.size()));
        rsrc.append(resources[i].data);
    }
    if (layout)
        layout->dataEntries = dataEntryAt;

    QByteArray image(kSectionFileOffset, '\0');
    put16(image, 0, 0x5A4D);
    put32(image, 0x3C, 0x40);
    put32(image, 0x40, 0x4550);
    put16(image, 0x44, 0x8664);
    put16(image, 0x46, 1);            // one section
    put16(image, 0x54, 240);          // optional header size
    const qsizetype optional = 0x58;
    put16(image, optional, 0x20B);    // PE32+
    put32(image, optional + 108, 16); // data directories
    put32(image, optional + 112 + 2 * 8, kSectionRva);
    put32(image, optional + 112 + 2 * 8 + 4, unsigned(rsrc.size()));
    const qsizetype section = optional + 240;
    image.replace(section, 5, ".rsrc");
    put32(image, section + 8, unsigned(rsrc.size()));
    put32(image, section + 12, kSectionRva);
    put32(image, section + 16, unsigned(rsrc.size()));
    put32(image, section + 20, unsigned(kSectionFileOffset));
    return image + rsrc;
}

// A standard menu template of plain items (ids from 1) ending with the last.
QByteArray standardMenu(const QStringList &items)
{
    QByteArray b;
    add16(b, 0);
    add16(b, 0);
    for (qsizetype i = 0; i < items.size(); ++i) {
        add16(b, i + 1 == items.size() ? 0x80 : 0);
        add16(b, unsigned(i + 1));
        addText(b, items[i]);
    }
    return b;
}

QByteArray stringBlock(const QStringList &strings)
{
    QByteArray b;
    for (int i = 0; i < 16; ++i) {
        const QString s = strings.value(i);
        add16(b, unsigned(s.size()));
        for (QChar c : s)
            add16(b, c.unicode());
    }
    return b;
}

qsizetype totalLength(const QStringList &texts)
{
    qsizetype n = 0;
    for (const QString &t : texts)
        n += t.size();
    return n;
}

TEST(HandBuiltImage, MenuInSeveralLanguagesReadsTheVersionTheLoaderPicks)
{
    const QByteArray image = buildImage({
        {4, 5, 0x0407, standardMenu({"Datei"})},
        {4, 5, 0x0409, standardMenu({"File"})},
        {4, 6, 0x0407, standardMenu({"Ansicht"})},
        {4, 6, 0x040C, standardMenu({"Affichage"})},
        {4, 7, 0x0809, standardMenu({"Colour"})},
        {4, 7, 0x0000, standardMenu({"Neutral"})},
        {6, 1, 0x0407, stringBlock({"", "Eins"})},
        {6, 1, 0x0409, stringBlock({"", "One"})},
    });
    QStringList texts;
    ASSERT_TRUE(ExtractFromImage(image, QStringLiteral("x 5 6 7 1"), texts));
    // Menus: each version counts once but shows the picked one (US English,
    // else the first listed, and a neutral version before any other).
    // String tables: each version its own texts.
    EXPECT_EQ(texts, QStringList({"File", "File", "Ansicht", "Ansicht", "Neutral", "Neutral", "Eins", "One"}));
}

TEST(HandBuiltImage, DirectoryLoopsEndTheAffectedBranchOnly)
{
    Layout layout;
    QByteArray image = buildImage({{6, 1, 0x0409, stringBlock({"", "One"})}, {4, 2, 0x0409, standardMenu({"Item"})}},
                                  &layout);
    QStringList texts;
    ASSERT_TRUE(ExtractFromImage(image, QStringLiteral("x12"), texts));
    ASSERT_EQ(texts, QStringList({"One", "Item"}));
    // The menu type (second in the root) now points back at the root.
    put32(image, kSectionFileOffset + 16 + 8 + 4, 0x80000000u);
    texts.clear();
    ASSERT_TRUE(ExtractFromImage(image, QStringLiteral("x12"), texts));
    EXPECT_EQ(texts, QStringList({"One"}));
    // A language entry that claims to be a directory, pointing at itself.
    const qsizetype languageDir = layout.dataEntries[0] - 8;
    put32(image, kSectionFileOffset + languageDir + 4, 0x80000000u | unsigned(languageDir - 16));
    texts.clear();
    ASSERT_TRUE(ExtractFromImage(image, QStringLiteral("x12"), texts));
    EXPECT_TRUE(texts.isEmpty());
}

TEST(HandBuiltImage, ManyEntriesSharingLargeDataStayBounded)
{
    const QString big(30000, QChar(u'x'));
    std::vector<Resource> resources = {{6, 1, 0, stringBlock({big, big})}};
    for (unsigned language = 1; language < 400; ++language)
        resources.push_back({6, 1, language, QByteArray(4, '\0')});
    Layout layout;
    QByteArray image = buildImage(resources, &layout);
    // Every language version points at the first one's data.
    const QByteArray firstEntry = image.mid(kSectionFileOffset + layout.dataEntries[0], 8);
    for (qsizetype entry : layout.dataEntries)
        image.replace(kSectionFileOffset + entry, 8, firstEntry);
    QStringList texts;
    ASSERT_TRUE(ExtractFromImage(image, QStringLiteral("x1"), texts));
    // Several versions are read in full, but not all 400 of them.
    EXPECT_GE(texts.size(), 4);
    EXPECT_LT(texts.size(), 800);
    EXPECT_LE(totalLength(texts), image.size() * 8);
}

TEST(HandBuiltImage, DeeplyNestedMenuAndOversizedCountsEndTheResource)
{
    // 20000 popups, each inside the previous one.
    QByteArray deep;
    add16(deep, 0);
    add16(deep, 0);
    for (int i = 0; i < 20000; ++i) {
        add16(deep, 0x10 | 0x80);
        addText(deep, QStringLiteral("p"));
    }
    // A dialog claiming 65535 controls with data for one.
    QByteArray dialog;
    for (unsigned v : {0u, 0u})  // style, extended style
        add16(dialog, v), add16(dialog, v);
    add16(dialog, 0xFFFF);
    for (int i = 0; i < 4; ++i)
        add16(dialog, 10);
    for (int i = 0; i < 3; ++i)
        add16(dialog, 0);  // no menu, class or title
    const QByteArray image = buildImage({
        {4, 1, 0x0409, deep},
        {5, 2, 0x0409, dialog},
        {6, 1, 0x0409, QByteArray("\xFF\xFF", 2)},  // a length past the data
        {4, 3, 0x0409, standardMenu({"After"})},
    });
    QStringList texts;
    ASSERT_TRUE(ExtractFromImage(image, QStringLiteral("x123"), texts));
    // The nesting limit stops the deep menu after a bounded number of levels;
    // the broken dialog and string block add nothing; later resources are read.
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_LT(texts.size(), 100);
    EXPECT_EQ(texts.first(), u"p");
    EXPECT_EQ(texts.last(), u"After");
    EXPECT_EQ(texts.count(QStringLiteral("p")), texts.size() - 1);
}

// Inputs that once broke the reader (or were built to), kept as files: each
// must be read to the end with results no larger than the file itself.
TEST(Regressions, EveryKeptInputIsReadSafely)
{
    const QDir folder(QStringLiteral(RENDARO_TEST_DATA "/regressions"));
    const QStringList files = folder.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        const QByteArray bytes = readBytes(folder.filePath(name));
        QStringList texts;
        ExtractFromImage(bytes, QStringLiteral("x0123456789 9876543210"), texts);
        EXPECT_LE(totalLength(texts), bytes.size() * 8) << name.toStdString();
    }
}

} // namespace
