// Reading without a tree, reading for a merge and reading the translations
// for a lookup give what a load with the tree gives: the same entries, keys
// and settings, the same master, the same translations, the same refusals.

#include "catalogue/catalogue_reading.h"
#include "catalogue/document.h"
#include "catalogue/translation_lookup.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_writer.h"
#include "test_support.h"
#include "threaded_read_from.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// Files of the constructs the reading rules care about: originals repeated
// with and without translations (empty `to`, `to` equal to `from`), keys
// repeated under one original (more than the reader's key-set threshold),
// IsTrans marks, escapes and entities, elements without an original,
// nested elements and a nested Language element with other settings.
QByteArray randomFile(QRandomGenerator &random, int maxLines = 60)
{
    static const char *const originals[] = {"Open",  "Open/nfile", "Save &amp; exit", "&lt;none&gt;",
                                            "Close", "%s of %d",   "\xef\xbb\xbfOpen", "\xef\xbb\xbf"};
    // "Open\\nfile" reads as the original "Open/nfile" does: untranslated.
    static const char *const translations[] = {"", "Open", "\xc3\x96" "ffnen", "Zu", "&quot;x&quot;", "/r/n",
                                               "Open\\nfile", "\xef\xbb\xbf"};
    QList<QByteArray> lines;
    for (int i = random.bounded(1, maxLines); i > 0; --i) {
        const int kind = random.bounded(20);
        if (kind == 0) {
            lines << "<L to=\"orphan\" key=\"K" + QByteArray::number(random.bounded(40)) + "\"/>";
            continue;
        }
        if (kind == 1) {
            lines << "<Language AllowLength=\"3.5\" CodeType=\"QT\"/>";
            continue;
        }
        QByteArray line = "<L from=\"" + QByteArray(originals[random.bounded(int(std::size(originals)))]) + "\"";
        if (random.bounded(5))
            line += " to=\"" + QByteArray(translations[random.bounded(int(std::size(translations)))]) + "\"";
        if (random.bounded(4))
            line += " key=\"K" + QByteArray::number(random.bounded(40)) + "\"";
        if (random.bounded(8) == 0)
            line += " IsTrans=\"false\"";
        line += random.bounded(10) ? "/>" : "><L from=\"Inner\" to=\"Innen\"/></L>";
        lines << line;
    }
    return languageFile(random.bounded(2) ? "AllowLength=\"1.25\" CodeType=\"QT\"" : "", lines);
}

void expectSameEntries(const EntryMap &actual, const EntryMap &expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t number = 0; number < expected.size(); ++number) {
        const StringEntry &a = actual.byNumber(number), &e = expected.byNumber(number);
        EXPECT_EQ(a.original, e.original) << number;
        EXPECT_EQ(a.translation, e.translation) << number;
        EXPECT_EQ(a.keys.toList(), e.keys.toList()) << number;
        EXPECT_EQ(a.translatable, e.translatable) << number;
        EXPECT_EQ(a.catalogueIds, e.catalogueIds) << number;
    }
}

class CatalogueReading : public FolderTest {};

TEST_F(CatalogueReading, EntriesWithoutTheTreeEqualALoadWithIt)
{
    QRandomGenerator random(3);
    for (int round = 0; round < 300; ++round) {
        const QString path = write("file.xml", randomFile(random));
        CRendaroDoc loaded, read;
        const int loadedId = loaded.LoadCatalogue(path, false);
        const int readId = read.LoadCatalogueEntries(path);
        ASSERT_GT(loadedId, 0);
        ASSERT_EQ(readId, loadedId);
        const CXMLStruct &expected = *loaded.findCatalogue(loadedId), &actual = *read.findCatalogue(readId);
        EXPECT_FALSE(actual.tree);
        expectSameEntries(actual.entries, expected.entries);
        EXPECT_EQ(actual.keys, expected.keys) << round;
        EXPECT_EQ(actual.lengthRatio, expected.lengthRatio) << round;
        EXPECT_EQ(actual.codeType, expected.codeType) << round;
        EXPECT_EQ(actual.filePath, path);
        if (HasFailure())
            FAIL() << "round " << round << ":\n" << readBytes(path).toStdString();
    }
}

TEST_F(CatalogueReading, ATranslationLookupHoldsTheRealTranslationsOfTheEntries)
{
    QRandomGenerator random(7);
    TranslationLookup lookup;  // read again and again: each read replaces what it held
    for (int round = 0; round < 300; ++round) {
        const QString path = write("file.xml", randomFile(random));
        const ReadCatalogue entries = ReadCatalogueFile(path, CatalogueParts::Entries, 1);
        QString error;
        ASSERT_TRUE(entries.ok && lookup.read(path, &error)) << error.toStdString();
        std::vector<QStringView> originals;
        size_t real = 0;
        for (const auto &[original, entry] : entries.catalogue.entries) {
            originals.push_back(original);
            const QStringView found = lookup.find(original);
            if (entry.translation.isEmpty() || entry.translation == original) {
                EXPECT_TRUE(found.isNull()) << round << ": " << original.toStdString();
                continue;
            }
            ++real;
            EXPECT_EQ(found, entry.translation) << round << ": " << original.toStdString();
        }
        EXPECT_EQ(lookup.size(), real) << round;
        // Many at once find what each finds, absent originals included.
        originals.push_back(u"not in the file");
        std::vector<QStringView> many(originals.size());
        lookup.findMany(originals.data(), originals.size(), many.data());
        for (size_t i = 0; i < originals.size(); ++i)
            ASSERT_EQ(many[i], lookup.find(originals[i])) << round;
        EXPECT_TRUE(many.back().isNull());
    }
}

TEST(TranslationLookup, KeepsTheFirstTranslationOfAnOriginalThroughGrowth)
{
    TranslationLookup lookup;
    for (int i = 0; i < 5000; ++i)
        EXPECT_TRUE(lookup.add(QStringLiteral("original %1").arg(i), QStringLiteral("first %1").arg(i)));
    for (int i = 0; i < 5000; i += 7)
        EXPECT_FALSE(lookup.add(QStringLiteral("original %1").arg(i), QStringLiteral("second")));
    EXPECT_EQ(lookup.size(), 5000u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(lookup.find(QStringLiteral("original %1").arg(i)), QStringLiteral("first %1").arg(i));
    EXPECT_TRUE(lookup.find(u"original").isNull());
    lookup.clear();
    EXPECT_EQ(lookup.size(), 0u);
    EXPECT_TRUE(lookup.find(u"original 1").isNull());
}

TEST_F(CatalogueReading, MergeItemsMergeAsALoadIntoTheMasterDoes)
{
    QRandomGenerator random(5);
    for (int round = 0; round < 100; ++round) {
        QStringList paths;
        for (int i = 0; i < 4; ++i)
            paths << write(QStringLiteral("f%1.xml").arg(i), randomFile(random));
        if (round % 3 == 0)
            paths.insert(1, write("broken.xml", "<Language><L from=\"Open\" to=\"Auf\"/>"));  // merges nothing
        CRendaroDoc loaded, merged;
        for (const QString &path : paths) {
            const bool loadedOk = loaded.LoadCatalogue(path, true) > 0;
            const bool mergedOk = merged.MergeReadCatalogue(ReadCatalogueFile(path, CatalogueParts::MergeItems, -1));
            ASSERT_EQ(mergedOk, loadedOk);
            EXPECT_EQ(merged.lastErrorText(), loaded.lastErrorText());
        }
        expectSameEntries(merged.catalogueAt(0)->entries, loaded.catalogueAt(0)->entries);
        EXPECT_EQ(merged.nextCatalogueId(), loaded.nextCatalogueId());
        EXPECT_EQ(merged.catalogues().size(), 1u);  // the files themselves are not kept
        if (HasFailure())
            FAIL() << "round " << round;
    }
}

TEST_F(CatalogueReading, AReadTakenUnderAnotherIdentifierRenamesItsEntries)
{
    const QString path = write("a.xml", languageFile("", {R"(<L from="A" to="B"/>)", R"(<L from="C" to="D"/>)"}));
    CRendaroDoc document;
    ReadCatalogue ahead = ReadCatalogueFile(path, CatalogueParts::TreeAndEntries, 7);
    EXPECT_EQ(ahead.catalogue.entries.at("A").catalogueIds[0], 7);
    const int id = document.AddReadCatalogue(std::move(ahead));
    EXPECT_EQ(id, 1);
    for (const auto &[original, entry] : document.findCatalogue(id)->entries)
        EXPECT_EQ(entry.catalogueIds[0], id) << original.toStdString();
    EXPECT_TRUE(document.findCatalogue(id)->tree);
}

TEST_F(CatalogueReading, EveryWayOfReadingRefusesTheSameFilesForTheSameReasons)
{
    // Nested 512 levels below the root is the deepest a tree takes.
    QByteArray deepest = "<Language>", tooDeep = "<Language>";
    for (int i = 0; i < 512; ++i)
        deepest += "<L>";
    for (int i = 0; i < 512; ++i)
        deepest += "</L>";
    deepest += "</Language>";
    for (int i = 0; i < 513; ++i)
        tooDeep += "<L>";
    const QStringList files = {write("deepest.xml", deepest),
                               write("deep.xml", tooDeep),
                               write("bad.xml", "<Language><L from=\"x\" from=\"y\"/></Language>"),
                               write("empty.xml", ""),
                               folder.path("missing.xml"),
                               folder.root()};
    for (const QString &path : files) {
        CRendaroDoc tree;
        const bool treeOk = tree.LoadCatalogue(path, false) > 0;
        EXPECT_EQ(treeOk, path == files.first()) << path.toStdString();
        for (const CatalogueParts parts : {CatalogueParts::Entries, CatalogueParts::MergeItems}) {
            const ReadCatalogue read = ReadCatalogueFile(path, parts, 1);
            EXPECT_EQ(read.ok, treeOk) << path.toStdString();
            EXPECT_EQ(read.errorText, tree.lastErrorText()) << path.toStdString();
        }
        TranslationLookup lookup;
        QString error;
        EXPECT_EQ(lookup.read(path, &error), treeOk) << path.toStdString();
        EXPECT_EQ(error, tree.lastErrorText()) << path.toStdString();
    }
}

// The line each entry is reported at holds the element it took its texts
// from: that line read on its own gives the entry's original, translation
// and mark.
TEST_F(CatalogueReading, ReadingWithLinesGivesTheEntriesAndTheLineOfEachOnesElement)
{
    QRandomGenerator random(5);
    for (int round = 0; round < 200; ++round) {
        const QByteArray bytes = randomFile(random);
        const QString path = write("file.xml", bytes);
        const ReadCatalogue plain = ReadCatalogueFile(path, CatalogueParts::Entries, 1);
        std::vector<std::uint32_t> lines;
        const ReadCatalogue withLines = ReadCatalogueFileWithLines(path, 1, lines);
        ASSERT_TRUE(withLines.ok);
        expectSameEntries(withLines.catalogue.entries, plain.catalogue.entries);
        ASSERT_EQ(lines.size(), plain.catalogue.entries.size());
        const QList<QByteArray> fileLines = bytes.split('\n');
        for (size_t number = 0; number < lines.size(); ++number) {
            const StringEntry &entry = withLines.catalogue.entries.byNumber(number);
            ASSERT_GE(lines[number], 1u);
            ASSERT_LE(lines[number], uint(fileLines.size()));
            const QString alone = write("line.xml", languageFile("", {fileLines[int(lines[number]) - 1].trimmed()}));
            const ReadCatalogue element = ReadCatalogueFile(alone, CatalogueParts::Entries, 1);
            const StringEntry *same = element.catalogue.entries.lookup(entry.original);
            ASSERT_NE(same, nullptr) << round << ": " << entry.original.toStdString() << " at " << lines[number];
            EXPECT_EQ(same->translation, entry.translation) << round << " at " << lines[number];
            EXPECT_EQ(same->translatable, entry.translatable) << round << " at " << lines[number];
        }
    }
    std::vector<std::uint32_t> lines{7};
    EXPECT_FALSE(ReadCatalogueFileWithLines(write("bad.xml", "<Language><L from=\"x\">"), 1, lines).ok);
    EXPECT_TRUE(lines.empty());
}

} // namespace

namespace {


} // namespace

TEST_F(CatalogueReading, ATreeReadOnTwoThreadsEqualsOneReadOnOneThread)
{
    QRandomGenerator random(11);
    for (int round = 0; round < 60; ++round) {
        // Larger files hand the second thread many batches of elements.
        const QString path = write("file.xml", randomFile(random, round % 4 == 0 ? 3000 : 60));
        ReadCatalogue one, two;
        {
            ThreadedReadFrom never(qint64(1) << 40);
            one = ReadCatalogueFile(path, CatalogueParts::TreeAndEntries, 1);
        }
        {
            ThreadedReadFrom always(0);
            two = ReadCatalogueFile(path, CatalogueParts::TreeAndEntries, 1);
        }
        ASSERT_TRUE(one.ok && two.ok) << one.errorText.toStdString();
        expectSameEntries(two.catalogue.entries, one.catalogue.entries);
        EXPECT_EQ(two.catalogue.keys, one.catalogue.keys);
        EXPECT_EQ(two.catalogue.lengthRatio, one.catalogue.lengthRatio);
        EXPECT_EQ(two.catalogue.codeType, one.catalogue.codeType);
        // The entries' strings went into the trees the same way, and a save
        // writes the same bytes.
        EXPECT_EQ(xml_document_serialize(two.catalogue.tree.get()), xml_document_serialize(one.catalogue.tree.get()));
        CRendaroDoc first, second;
        const int firstId = first.AddReadCatalogue(std::move(one)), secondId = second.AddReadCatalogue(std::move(two));
        ASSERT_TRUE(first.SaveCatalogue(firstId, path + ".1", true) && second.SaveCatalogue(secondId, path + ".2", true));
        EXPECT_EQ(readBytes(path + ".2"), readBytes(path + ".1"));
        if (HasFailure())
            FAIL() << "round " << round << ":\n" << readBytes(path).toStdString();
    }
}

TEST_F(CatalogueReading, AFileThatBreaksOffIsRefusedAlikeOnTwoThreads)
{
    // Cut after many elements were handed to the second thread, or inside
    // the first batch; the tree is freed only once that thread is done.
    QRandomGenerator random(13);
    const QByteArray whole = randomFile(random, 3000);
    for (const qsizetype keep : {whole.size() - 20, whole.size() / 2 + 7, qsizetype(300)}) {
        const QString path = write("cut.xml", whole.left(keep) + "<L from=\"x\"<");
        ReadCatalogue one, two;
        {
            ThreadedReadFrom never(qint64(1) << 40);
            one = ReadCatalogueFile(path, CatalogueParts::TreeAndEntries, 1);
        }
        {
            ThreadedReadFrom always(0);
            two = ReadCatalogueFile(path, CatalogueParts::TreeAndEntries, 1);
        }
        EXPECT_FALSE(one.ok);
        EXPECT_FALSE(two.ok);
        EXPECT_FALSE(two.errorText.isEmpty());
        EXPECT_EQ(two.errorText, one.errorText) << keep;
        EXPECT_EQ(two.catalogue.entries.size(), 0u);
        EXPECT_FALSE(two.catalogue.tree);
    }
}

namespace {

// A device that takes `room` bytes and then refuses to write.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }
    qint64 taken = 0;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (taken + length > m_room)
            return -1;
        taken += length;
        return length;
    }

private:
    qint64 m_room;
};

} // namespace

TEST_F(CatalogueReading, ATreeWrittenOnTwoThreadsHasTheBytesOfOneThread)
{
    QRandomGenerator random(17);
    for (int round = 0; round < 30; ++round) {
        const QString path = write("file.xml", randomFile(random, round % 3 == 0 ? 2000 : 60));
        XmlDocument *document = xml_parse_file(path);
        ASSERT_TRUE(document);
        xml_writer_set_two_threads(1 << 30, 2048);
        const QByteArray one = xml_document_serialize(document);
        // Runs of one element, of a few (the helper's two buffers in turn),
        // and of more than there are.
        for (const int run : {1, 3, 64, 100000}) {
            xml_writer_set_two_threads(1, run);
            EXPECT_EQ(xml_document_serialize(document), one) << "round " << round << ", runs of " << run;
        }
        // A device that fills up fails the write on either thread's run
        // without waiting for the helper for ever.
        for (const qint64 room : {qint64(0), qint64(one.size() / 3), qint64(one.size() - 1)}) {
            FullDevice device(room);
            xml_writer_set_two_threads(1, 3);
            EXPECT_FALSE(xml_document_write(document, device)) << room;
            EXPECT_LE(device.taken, room);
        }
        xml_writer_set_two_threads(16384, 2048);
        xml_document_free(document);
    }
}

TEST_F(CatalogueReading, EntriesPutIntoTheTreeOnTwoThreadsSaveAsOnOneThread)
{
    // Edits that only replace values, and edits that add or take away an
    // IsTrans mark; entries new to the file; a second save over the first.
    QRandomGenerator random(19);
    for (int round = 0; round < 40; ++round) {
        const QString path = write("file.xml", randomFile(random, round % 4 == 0 ? 2000 : 60));
        CRendaroDoc documents[2];
        int ids[2];
        for (int i = 0; i < 2; ++i) {
            ids[i] = documents[i].LoadCatalogue(path, false);
            ASSERT_GT(ids[i], 0);
        }
        const quint32 seed = random.generate();
        for (int i = 0; i < 2; ++i) {
            QRandomGenerator edits(seed);
            EntryMap &entries = documents[i].findCatalogue(ids[i])->entries;
            for (size_t number = 0; number < entries.size(); ++number) {
                StringEntry &entry = entries.byNumber(number);
                switch (edits.bounded(6)) {
                case 0: entry.translation = QStringLiteral("T%1 & /n").arg(number); break;
                case 1: entry.translatable = 1 - entry.translatable; break;
                default: break;
                }
            }
            StringEntry added;
            added.original = added.translation = QStringLiteral("Added %1").arg(round);
            entries.insert(std::move(added));
        }
        QByteArray saved[2][2];
        for (int i = 0; i < 2; ++i) {
            SetTwoThreadApplyFrom(i == 0 ? 1 << 30 : 1);
            for (int pass = 0; pass < 2; ++pass) {
                const QString out = path + QStringLiteral(".%1.%2").arg(i).arg(pass);
                ASSERT_TRUE(documents[i].SaveCatalogue(ids[i], out, true));
                saved[i][pass] = readBytes(out);
            }
        }
        SetTwoThreadApplyFrom(16384);
        EXPECT_EQ(saved[1][0], saved[0][0]) << "round " << round;
        EXPECT_EQ(saved[1][1], saved[0][1]) << "round " << round;
        if (HasFailure())
            FAIL() << readBytes(path).toStdString();
    }
}

namespace {

// The merge items of all pieces, in order, each as its fields and whether
// its `to` differs, one line each.
QStringList describeItems(const std::vector<std::vector<MergeItem>> &pieces)
{
    QStringList lines;
    for (const std::vector<MergeItem> &piece : pieces) {
        for (const MergeItem &item : piece) {
            const StringEntry &e = item.entry;
            lines << e.original + u'|' + e.translation + u'|' + e.keys.toList().join(u',') + u'|' +
                         QString::number(e.translatable) + u'|' + QString::number(int(item.toDiffers));
        }
    }
    return lines;
}

} // namespace

TEST_F(CatalogueReading, ItemsReadInPiecesAreTheItemsOfTheWholeFile)
{
    ThreadedReadFrom always(0);
    QRandomGenerator random(19);
    int cut = 0;
    for (int round = 0; round < 120; ++round) {
        // Some files large enough for each piece to reach the parser in
        // several parts, elements cut between them.
        const QString path = write("file.xml", randomFile(random, round % 30 == 0 ? 30000 : 400));
        const ReadCatalogue whole = ReadCatalogueFile(path, CatalogueParts::MergeItems, -1);
        for (int threads : {2, 3, 5}) {
            const ReadCatalogueItems pieces = ReadCatalogueItemsOnThreads(path, threads);
            ASSERT_TRUE(pieces.ok) << pieces.errorText.toStdString();
            ASSERT_EQ(describeItems(pieces.pieces), describeItems({whole.mergeItems})) << round << ", " << threads;
            cut += pieces.pieces.size() > 1 ? 1 : 0;
        }
    }
    // Nearly every file was parsed in pieces (a file of a line or two has
    // nowhere to cut).
    EXPECT_GT(cut, 300);
}

TEST_F(CatalogueReading, FilesThatCannotBeCutAnywhereAreReadWhole)
{
    ThreadedReadFrom always(0);
    const QByteArray line = R"(<L from="Open" to="Auf" key="K"/>)";
    QList<QByteArray> lines(40, line);
    // Lines that look like places to cut but lie inside a comment, a
    // CDATA section, a processing instruction or an element of the root.
    auto inside = [&](const QByteArray &open, const QByteArray &close) {
        QList<QByteArray> all = lines;
        all.insert(2, open);
        all.insert(all.size() - 2, close);
        return languageFile("", all);
    };
    const QByteArray withEntity =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE Language [<!ENTITY w \"Welt\">]>\n<Language>\n" +
        QList<QByteArray>(40, R"(<L from="Hello &w;" to="Hallo &w;" key="K"/>)").join("\n") + "\n</Language>\n";
    const QByteArray utf16 = [&] {
        const QString text = QString::fromUtf8(languageFile("", lines)).replace("UTF-8", "UTF-16");
        QByteArray bytes("\xFF\xFE");
        bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        return bytes;
    }();
    const QList<QByteArray> files = {
        inside("<!--", "-->"),
        inside("<Group>", "</Group>"),
        inside("<Group><![CDATA[", "]]></Group>"),
        inside("<?note", "?>"),
        withEntity,
        utf16,
        // A '>' in the root's attributes, and the root's name as it is.
        "<?xml version=\"1.0\"?>\n<Strings from=\"Root\" note=\"a>b\" CodeType=\"QT\">\n" + QList<QByteArray>(40, line).join("\n") +
            "\n</Strings>\n",
        // Broken in the middle and at the end: refused as the whole file is.
        languageFile("", QList<QByteArray>(20, line) + QList<QByteArray>{"<L from=\"x\" from=\"y\"/>"} +
                             QList<QByteArray>(20, line)),
        languageFile("", lines).chopped(4),
    };
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = write("file.xml", files[i]);
        const ReadCatalogue whole = ReadCatalogueFile(path, CatalogueParts::MergeItems, -1);
        const ReadCatalogueItems pieces = ReadCatalogueItemsOnThreads(path, 4);
        EXPECT_EQ(pieces.ok, whole.ok) << i;
        EXPECT_EQ(pieces.errorText, whole.errorText) << i;
        EXPECT_EQ(describeItems(pieces.pieces), describeItems({whole.mergeItems})) << i;
    }
    // The entity is expanded, and the comment's lines are no elements.
    EXPECT_TRUE(describeItems(ReadCatalogueItemsOnThreads(write("e.xml", withEntity), 4).pieces)
                    .startsWith("Hello Welt|Hallo Welt|K|1|1"));
    EXPECT_EQ(describeItems(ReadCatalogueItemsOnThreads(write("c.xml", inside("<!--", "-->")), 4).pieces).size(), 4);
}
