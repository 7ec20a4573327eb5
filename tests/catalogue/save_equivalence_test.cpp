// Saving keeps entry texts in the tree as catalogue text and escapes them
// while writing. These tests hold the result to the plain rules: every
// element's `from` and `to` set to EscapeForFile of the entry's texts, new
// entries appended in original order, written as the file form.

#include "catalogue/document.h"
#include "catalogue/file_text.h"
#include "catalogue/xml_escape.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"
#include "catalogue/xml_writer.h"
#include "test_support.h"

#include <QDir>
#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QString randomText(QRandomGenerator &random, const QList<QString> &pieces, int maxPieces)
{
    QString text;
    for (int i = random.bounded(maxPieces + 1); i > 0; --i)
        text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

TEST(CatalogueText, WritesAsTheFileFormOfItsEscapedText)
{
    const QList<QString> pieces = {QStringLiteral("\\"), QStringLiteral("/"), QStringLiteral("r"),
                                   QStringLiteral("n"), QStringLiteral("\r"), QStringLiteral("\n"),
                                   QStringLiteral("&"), QStringLiteral("<"), QStringLiteral(">"),
                                   QStringLiteral("\""), QStringLiteral("\t"), QString(QChar(1)),
                                   QStringLiteral("\u00e9"), QStringLiteral("\U0001F600"), QString(QChar(0xD800)),
                                   QStringLiteral("&amp;"), QStringLiteral("&#10;"), QString(300, u'a')};
    QRandomGenerator random(5);
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(random, pieces, 8);
        std::string direct, viaEscape;
        appendCatalogueText(direct, text);
        appendFileFormValue(viaEscape, EscapeForFile(text));
        ASSERT_EQ(direct, viaEscape) << round;
    }
}

TEST(CatalogueText, UnescapedTextsWriteBackExactlyWhenTheShortTestSaysSo)
{
    // The pieces the forms are made of, and characters around them.
    const QList<QString> pieces = {QStringLiteral("/"),    QStringLiteral("n"),     QStringLiteral("r"),
                                   QStringLiteral("\\"), QStringLiteral("&"),     QStringLiteral("lt;"),
                                   QStringLiteral("gt;"),  QStringLiteral("quot;"), QStringLiteral("amp;"),
                                   QStringLiteral("apos;"), QStringLiteral("#10;"), QStringLiteral("\r"),
                                   QStringLiteral("\n"),  QStringLiteral("\t"),   QStringLiteral("<"),
                                   QStringLiteral("\""),  QStringLiteral("x"),     QStringLiteral("\u00e9")};
    QRandomGenerator random(21);
    int writesBack = 0;
    for (int round = 0; round < 100000; ++round) {
        const QString text = randomText(random, pieces, 7);
        const bool expected = decodeFileFormValue(EscapeForFile(UnescapeFromFile(text))) == text;
        ASSERT_EQ(UnescapedTextWritesBack(text), expected) << text.toStdString();
        writesBack += expected;
    }
    EXPECT_GT(writesBack, 10000);  // both answers are well represented
    EXPECT_LT(writesBack, 90000);
}

// The UTF-8 that appendUtf8 writes, character by character: controls XML
// cannot carry dropped, a lone surrogate as U+FFFD, U+FFFE and U+FFFF
// dropped, everything else as its own UTF-8.
std::string utf8ByRules(const QString &text)
{
    std::string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            continue;
        if (c == 0xFFFE || c == 0xFFFF)
            continue;
        QString one(text[i]);
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
            one += text[++i];
        else if (QChar::isSurrogate(c))
            one = QString(QChar(0xFFFD));
        out += one.toUtf8().toStdString();
    }
    return out;
}

TEST(CatalogueText, WritesEveryScriptAsUtf8)
{
    // Runs of one script longer than the writer's buffer, ASCII between
    // other scripts, surrogate pairs split and whole, the non-characters.
    const QList<QString> pieces = {QStringLiteral("plain text "), QString(100, QChar(0x4E2D)),
                                   QString(90, QChar(0x00E9)), QStringLiteral("\u0416\u0436 "),
                                   QStringLiteral("\U0001F600"), QString(QChar(0xD83D)), QString(QChar(0xDE00)),
                                   QString(QChar(0xFFFE)), QString(QChar(0xFFFF)), QString(QChar(0xFFFD)),
                                   QString(QChar(0xE000)), QString(QChar(0x7F)), QString(QChar(0x07FF)),
                                   QString(QChar(0x0800)), QString(QChar(1)), QStringLiteral("\t"),
                                   QString(20, u'a')};
    QRandomGenerator random(9);
    for (int round = 0; round < 5000; ++round) {
        const QString text = randomText(random, pieces, 10);
        std::string written;
        appendUtf8(written, text);
        ASSERT_EQ(written, utf8ByRules(text)) << round;
    }
}

// A language file made of the constructs whose file form and memory form
// differ: line-break forms, entities, character references, backslashes.
QByteArray randomLanguageFile(QRandomGenerator &random)
{
    const QList<QString> pieces = {QStringLiteral("a"),      QStringLiteral("B"),     QStringLiteral("/n"),
                                   QStringLiteral("/r/n"),   QStringLiteral("\\n"),   QStringLiteral("\\"),
                                   QStringLiteral("&amp;"),  QStringLiteral("&lt;"),  QStringLiteral("&amp;lt;"),
                                   QStringLiteral("&quot;"), QStringLiteral("&#10;"), QStringLiteral("&#9;"),
                                   QStringLiteral("\u00fc"), QStringLiteral(" "),     QStringLiteral("%s")};
    QList<QByteArray> lines;
    for (int i = random.bounded(1, 30); i > 0; --i) {
        QString line = QStringLiteral("<L from=\"%1\"").arg(randomText(random, pieces, 3));
        if (random.bounded(4))
            line += QStringLiteral(" to=\"%1\"").arg(randomText(random, pieces, 3));
        if (random.bounded(2))
            line += QStringLiteral(" key=\"K%1\"").arg(random.bounded(5));
        if (random.bounded(6) == 0)
            line += QStringLiteral(" IsTrans=\"false\"");
        line += random.bounded(8) ? QStringLiteral("/>") : QStringLiteral("><L from=\"inner\"/></L>");
        lines << line.toUtf8();
    }
    return languageFile("AllowLength=\"1.5\"", lines);
}

// The save written out rule by rule over a tree of its own.
QByteArray saveByRules(XmlDocument *tree, const EntryMap &entries)
{
    std::vector<const StringEntry *> written;
    std::function<void(XmlElement *)> apply = [&](XmlElement *element) {
        if (element->name == u"Language") {
            xml_element_set_attribute(element, QStringLiteral("AllowLength"), QStringLiteral("1.500000"));
            xml_element_set_attribute(element, QStringLiteral("CodeType"), QStringLiteral("CPlus2"));
        } else {
            const QString original = UnescapeFromFile(xml_element_attribute_text(element, QStringLiteral("from")));
            if (const StringEntry *entry = original.isEmpty() ? nullptr : entries.lookup(original)) {
                written.push_back(entry);
                const QString from = EscapeForFile(original);
                xml_element_set_attribute(element, QStringLiteral("to"),
                                          entry->translatable ? EscapeForFile(entry->translation) : from);
                xml_element_set_attribute(element, QStringLiteral("from"), from);
                if (entry->translatable)
                    xml_element_remove_attribute(element, QStringLiteral("IsTrans"));
                else
                    xml_element_set_attribute_text(element, QStringLiteral("IsTrans"), QStringLiteral("false"));
            }
        }
        for (XmlElement *child = element->firstChild; child; child = child->nextSibling)
            apply(child);
    };
    apply(tree->root);
    for (const auto &[original, entry] : entries) {
        if (std::find(written.begin(), written.end(), &entry) != written.end())
            continue;
        XmlElement *element = xml_element_add_child(tree->root, QStringLiteral("L"));
        xml_element_set_attribute(element, QStringLiteral("from"), EscapeForFile(original));
        xml_element_set_attribute(element, QStringLiteral("to"), EscapeForFile(entry.translation));
        if (!entry.keys.isEmpty())
            xml_element_set_attribute_text(element, QStringLiteral("key"), entry.keys.first());
        if (!entry.translatable)
            xml_element_set_attribute_text(element, QStringLiteral("IsTrans"), QStringLiteral("false"));
    }
    return xml_document_serialize(tree);
}

class SaveEquivalence : public FolderTest {};

TEST_F(SaveEquivalence, SavesAndResavesAfterEditsAsTheRulesDo)
{
    QRandomGenerator random(17);
    const QList<QString> edits = {QStringLiteral("x\\ny"), QStringLiteral("line\nbreak"), QStringLiteral("a & b"),
                                  QStringLiteral("&lt;"), QStringLiteral("q\"uote"), QStringLiteral("/n")};
    for (int round = 0; round < 300; ++round) {
        const QString path = write(QStringLiteral("in.xml"), randomLanguageFile(random));
        CRendaroDoc document;
        const int id = document.LoadCatalogue(path, false);
        ASSERT_GE(id, 0);
        XmlDocument *reference = xml_parse_file(path);
        ASSERT_TRUE(reference);
        for (int save = 0; save < 2; ++save) {
            // Edit some translations and add a string before each save.
            const EntryMap &entries = document.findCatalogue(id)->entries;
            for (size_t n = 0; n < entries.size(); ++n) {
                if (random.bounded(3) == 0)
                    document.SetTranslation(id, entries.entryAt(n).original, edits[random.bounded(int(edits.size()))], 1);
            }
            document.AddEntry(id, edits[random.bounded(int(edits.size()))] + QString::number(save), QStringLiteral("new"), 1);
            const QString out = folder.path(QStringLiteral("out%1.xml").arg(save));
            ASSERT_TRUE(document.SaveCatalogue(id, out, true));
            ASSERT_EQ(readBytes(out), saveByRules(reference, document.findCatalogue(id)->entries))
                << "round " << round << " save " << save << "\n"
                << readBytes(path).toStdString();
        }
        xml_document_free(reference);
    }
}

// A master collected from several files is written straight from its
// entries with the bytes of a save of the master in place; a catalogue
// whose tree holds elements is written as a save writes it.
TEST_F(SaveEquivalence, ACollectedMasterWritesWhatItsSaveWrites)
{
    QRandomGenerator random(29);
    const QList<QString> keyPieces = {QStringLiteral("K"), QStringLiteral("&amp;"), QStringLiteral("&quot;"),
                                      QStringLiteral("&#10;"), QStringLiteral("\u00e9"), QStringLiteral("1")};
    for (int round = 0; round < 100; ++round) {
        CRendaroDoc inPlace, collected;
        for (int file = random.bounded(4); file >= 0; --file) {
            QByteArray bytes = randomLanguageFile(random);
            bytes.replace("key=\"K", "key=\"" + randomText(random, keyPieces, 3).toUtf8());
            const QString path = write(QStringLiteral("in%1.xml").arg(file), bytes);
            ASSERT_GE(inPlace.LoadCatalogue(path, true), 0);
            ASSERT_GE(collected.LoadCatalogue(path, true), 0);
        }
        const QString expected = folder.path(QStringLiteral("in-place.xml")), out = folder.path(QStringLiteral("out.xml"));
        ASSERT_TRUE(inPlace.SaveCatalogue(0, expected, true));
        CXMLStruct master = collected.TakeMasterCatalogue();
        QString reason;
        ASSERT_TRUE(CRendaroDoc::WriteCollectedCatalogueFile(master, out, &reason)) << reason.toStdString();
        ASSERT_EQ(readBytes(out), readBytes(expected)) << "round " << round;
        EXPECT_EQ(master.filePath, out);

        // A file's own catalogue has a tree with elements.
        const int id = inPlace.LoadCatalogue(folder.path(QStringLiteral("in0.xml")), false);
        ASSERT_TRUE(inPlace.SaveCatalogue(id, expected, true));
        CXMLStruct own;
        own.entries = inPlace.CopyEntries(id);
        own.lengthRatio = inPlace.findCatalogue(id)->lengthRatio;
        own.codeType = inPlace.findCatalogue(id)->codeType;
        own.tree = makeDocumentPtr(xml_parse_file(folder.path(QStringLiteral("in0.xml"))));
        ASSERT_TRUE(CRendaroDoc::WriteCollectedCatalogueFile(own, out, &reason)) << reason.toStdString();
        ASSERT_EQ(readBytes(out).toStdString(), readBytes(expected).toStdString()) << "round " << round;
    }
    // A file that cannot be written is named in the reason.
    CXMLStruct empty;
    QString reason;
    QDir().mkpath(folder.path(QStringLiteral("folder.xml")));
    EXPECT_FALSE(CRendaroDoc::WriteCollectedCatalogueFile(empty, folder.path(QStringLiteral("folder.xml")), &reason));
    EXPECT_TRUE(reason.startsWith(folder.path(QStringLiteral("folder.xml")) + ": ")) << reason.toStdString();
}

} // namespace
