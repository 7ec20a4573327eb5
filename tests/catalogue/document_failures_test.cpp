// Document operations that fail say so, name what failed, and leave the
// document consistent; catalogues move without copying their entries.

#include "catalogue/document.h"
#include "catalogue/xml_parser.h"
#include "special_files.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <thread>
#include <type_traits>

namespace {

class DocumentFailures : public FolderTest {
protected:
    CRendaroDoc document;
};

TEST_F(DocumentFailures, UnknownIdentifiersFailWithAReasonAndAddNothing)
{
    const QString path = write("a.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>"}));
    const int id = document.LoadCatalogue(path, false);
    ASSERT_TRUE(document.SelectCatalogue(id));

    EXPECT_FALSE(document.SaveCatalogue(42, folder.path("out.xml"), true));
    EXPECT_FALSE(document.lastErrorText().isEmpty());
    EXPECT_FALSE(QFile::exists(folder.path("out.xml")));
    EXPECT_EQ(document.catalogues().size(), 2u);

    EXPECT_EQ(document.ImportTranslationsFromFile(42, path), 0);
    EXPECT_EQ(document.ImportTranslationsFromFile(-1, path), 0);
    EXPECT_EQ(document.catalogues().size(), 2u);

    EXPECT_FALSE(document.SelectCatalogue(42));
    EXPECT_FALSE(document.SelectCatalogue(-1));
    EXPECT_EQ(document.currentCatalogueId(), id);
}

TEST_F(DocumentFailures, SelectingACatalogueWhoseFileCannotBeParsedKeepsTheCurrentOne)
{
    const int shown = document.LoadCatalogue(write("a.xml", languageFile("", {})), false);
    ASSERT_TRUE(document.SelectCatalogue(shown));
    ASSERT_EQ(document.AddEntry(77, "pasted", "pasted", 1), 0);  // a catalogue without a file or tree
    const int pasted = document.currentCatalogueId();
    ASSERT_TRUE(document.SelectCatalogue(shown));
    EXPECT_FALSE(document.SelectCatalogue(pasted));
    EXPECT_FALSE(document.lastErrorText().isEmpty());
    EXPECT_EQ(document.currentCatalogueId(), shown);
}

TEST_F(DocumentFailures, SaveAllNamesEveryFileThatFailedAndStillWritesTheOthers)
{
    const QString one = write("one.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>"}));
    const QString two = write("two.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>"}));
    const QString three = write("three.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>"}));
    for (const QString &path : {one, two, three})
        document.LoadCatalogue(path, true);
    document.SetTranslation(0, "A", "Ah", 1);
    QFile::remove(two);
    QDir().mkdir(two);  // cannot be written over
    EXPECT_FALSE(document.SaveAllCatalogues(nullptr));
    EXPECT_TRUE(document.lastErrorText().contains(two)) << document.lastErrorText().toStdString();
    EXPECT_FALSE(document.lastErrorText().contains(one));
    EXPECT_EQ(readBytes(three), languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", {"<L from=\"A\" to=\"Ah\"/>"}));
}

TEST_F(DocumentFailures, AfterSaveAllEachFileSavedAloneKeepsWhatSaveAllWrote)
{
    const QString one = write("one.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>", "<L from=\"B\" to=\"B\"/>"}));
    const int id = document.LoadCatalogue(one, true);
    document.SetTranslation(0, "A", "Ah", 1);
    document.SetTranslation(0, "B", "B", 0);
    ASSERT_TRUE(document.SaveAllCatalogues(nullptr));
    const QByteArray afterSaveAll = readBytes(one);
    EXPECT_EQ(document.GetTranslation(id, "A"), u"Ah");
    EXPECT_EQ(document.findCatalogue(id)->entries.at("B").translatable, 0);
    ASSERT_TRUE(document.SaveCatalogue(id, one, true));
    EXPECT_EQ(readBytes(one), afterSaveAll);
}

TEST_F(DocumentFailures, CataloguesMoveWithoutCopyingAndEntriesKeepTheirAddresses)
{
    static_assert(std::is_nothrow_move_constructible_v<CXMLStruct>);
    const QString path = write("a.xml", languageFile("", {"<L from=\"A\" to=\"Ah\"/>"}));
    const int first = document.LoadCatalogue(path, false);
    const int second = document.LoadCatalogue(path, false);
    const StringEntry *entry = &document.findCatalogue(second)->entries.at("A");
    for (int i = 0; i < 20; ++i)
        document.LoadCatalogue(path, false);  // the catalogue list grows and moves
    document.CloseCatalogue(first);           // the second moves down one place
    EXPECT_EQ(&document.findCatalogue(second)->entries.at("A"), entry);
    EXPECT_EQ(entry->translation, u"Ah");
}

TEST_F(DocumentFailures, ManyKeysUnderOneOriginalAreEachKeptOnceInOrder)
{
    QList<QByteArray> lines;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 5000; ++i)
            lines << QStringLiteral("<L from=\"Same\" to=\"Same\" key=\"K%1\"/>").arg(i).toUtf8();
    }
    const int id = document.LoadCatalogue(write("keys.xml", languageFile("", lines)), false);
    const KeyList &keys = document.findCatalogue(id)->entries.at("Same").keys;
    ASSERT_EQ(keys.size(), 5000);
    EXPECT_EQ(keys.first(), u"K0");
    EXPECT_EQ(keys.at(4999), u"K4999");
    EXPECT_EQ(document.findCatalogue(id)->keys.size(), 10000);  // the file's own list keeps repeats
}

TEST_F(DocumentFailures, FoldersDevicesAndFifosAreRefusedWithoutWaiting)
{
    const QString fifo = folder.path("pipe.xml");
    ASSERT_TRUE(makeFifo(fifo));
    // Opening a FIFO for reading would wait for a writer forever.
    EXPECT_EQ(document.LoadCatalogue(fifo, false), -1);
    EXPECT_TRUE(document.lastErrorText().contains(u"FIFO")) << document.lastErrorText().toStdString();
    EXPECT_EQ(document.LoadCatalogue(folder.root(), true), -1);
    EXPECT_TRUE(document.lastErrorText().contains(u"folder"));
    EXPECT_EQ(document.catalogues().size(), 1u);
}

TEST_F(DocumentFailures, AStreamThatDeliversShortPiecesIsReadToItsEnd)
{
    QList<QByteArray> lines;
    for (int i = 0; i < 2000; ++i)
        lines << QStringLiteral("<L from=\"Text %1\" to=\"Text %1\"/>").arg(i).toUtf8();
    const QByteArray bytes = languageFile("", lines);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::thread writer([&] {
        // Pieces smaller than the parser's chunk, with pauses between them.
        for (qsizetype at = 0; at < bytes.size(); at += 1000) {
            const qsizetype size = std::min<qsizetype>(1000, bytes.size() - at);
            if (::write(ends[1], bytes.constData() + at, size_t(size)) != size)
                break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ::close(ends[1]);
    });
    QFile input;
    ASSERT_TRUE(input.open(ends[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    XmlTreeParser *parser = xml_parser_new();
    const int parsed = xml_parser_parse_stream(parser, input);
    writer.join();
    EXPECT_EQ(parsed, 1) << xml_parser_error_text(parser).toStdString();
    XmlDocument *tree = xml_parser_document(parser);
    xml_parser_free(parser);
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->root->childCount, 2000);
    xml_document_free(tree);
}

} // namespace
