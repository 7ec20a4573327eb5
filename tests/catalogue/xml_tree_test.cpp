#include "catalogue/catalogue_types.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"
#include "catalogue/xml_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using DocumentPtr = XmlDocumentPtr;  // frees with xml_document_free

DocumentPtr parseBytes(const QByteArray &bytes, QString *error = nullptr)
{
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("in.xml"));
    writeBytes(path, bytes);
    return makeDocumentPtr(xml_parse_file(path, error));
}

QStringList attributeNames(const XmlElement *element)
{
    QStringList names;
    for (XmlAttribute *a = xml_element_next_attribute(element, nullptr); a; a = xml_element_next_attribute(element, a))
        names << xml_attribute_name(a);
    return names;
}

TEST(XmlTree, SettingAnExistingAttributeKeepsItsPlaceAndCount)
{
    DocumentPtr doc = makeDocumentPtr(xml_document_new());
    XmlElement *e = xml_document_set_root(doc.get(), QStringLiteral("L"));
    xml_element_set_attribute(e, QStringLiteral("from"), QStringLiteral("a"));
    xml_element_set_attribute(e, QStringLiteral("to"), QStringLiteral("b"));
    xml_element_set_attribute(e, QStringLiteral("key"), QStringLiteral("k"));
    xml_element_set_attribute(e, QStringLiteral("to"), QStringLiteral("c"));
    EXPECT_EQ(attributeNames(e), QStringList({"from", "to", "key"}));
    EXPECT_EQ(e->attributes.count, 3);
    EXPECT_EQ(xml_attribute_value(xml_element_find_attribute(e, QStringLiteral("to"))), u"c");

    xml_element_remove_attribute(e, QStringLiteral("missing"));
    EXPECT_EQ(e->attributes.count, 3);
    xml_element_remove_attribute(e, QStringLiteral("from"));
    xml_element_remove_attribute(e, QStringLiteral("key"));
    EXPECT_EQ(attributeNames(e), QStringList({"to"}));
    EXPECT_EQ(e->attributes.first, e->attributes.last);
    EXPECT_EQ(xml_element_find_attribute(e, QString()), nullptr);
}

TEST(XmlTree, FreeingAChildUnlinksItFromParentAndSiblings)
{
    DocumentPtr doc = makeDocumentPtr(xml_document_new());
    XmlElement *root = xml_document_set_root(doc.get(), QStringLiteral("r"));
    XmlElement *a = xml_element_add_child(root, QStringLiteral("a"));
    XmlElement *b = xml_element_add_child(root, QStringLiteral("b"));
    XmlElement *c = xml_element_add_child(root, QStringLiteral("c"));
    xml_element_add_child(b, QStringLiteral("inner"));
    xml_element_free(b);
    EXPECT_EQ(root->childCount, 2);
    EXPECT_EQ(xml_element_next_child(root, a), c);
    EXPECT_EQ(c->previousSibling, a);
    xml_element_free(a);
    xml_element_free(c);
    EXPECT_EQ(root->firstChild, nullptr);
    EXPECT_EQ(root->lastChild, nullptr);
    EXPECT_EQ(root->childCount, 0);
}

TEST(XmlParser, TrimsTextAndDropsBlankText)
{
    const DocumentPtr doc = parseBytes("<r><a>  a b \t</a><b> \n\t </b><c>\xe3\x80\x80x\xe3\x80\x80</c><d>x<i/>y</d></r>");
    ASSERT_TRUE(doc);
    const XmlElement *a = doc->root->firstChild;
    EXPECT_EQ(xml_element_text(a), u"a b");
    EXPECT_TRUE(xml_element_text(a->nextSibling).isNull());
    // Wide white space (U+3000) is stripped at the end but not at the start.
    EXPECT_EQ(xml_element_text(a->nextSibling->nextSibling), u"\u3000x");
    // Text runs around a child are joined.
    EXPECT_EQ(xml_element_text(doc->root->lastChild), u"xy");
}

TEST(XmlParser, ReadsChunkBoundariesAndKeepsTheDeclaration)
{
    for (int size : {49999, 50000, 50001, 100000, 100001}) {
        QByteArray bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r a=\"";
        const QByteArray tail = "\"/>";
        bytes += QByteArray(size - bytes.size() - tail.size(), 'x') + tail;
        ASSERT_EQ(bytes.size(), size);
        const DocumentPtr doc = parseBytes(bytes);
        ASSERT_TRUE(doc) << size;
        EXPECT_EQ(doc->version, u"1.0");
        EXPECT_EQ(doc->encoding, u"UTF-8");
        EXPECT_EQ(xml_element_attribute_text(doc->root, QStringLiteral("a")).size(), size - 47);
    }
}

TEST(XmlParser, BadInputFailsWithACodeAndNoDocument)
{
    TempFolder folder;
    struct Case {
        const char *name;
        QByteArray bytes;
        int error;
    } cases[] = {
        {"malformed", "<r><a></r>", XmlErrorMalformed},
        {"empty", "", XmlErrorMalformed},
        {"declaration only", "<?xml version=\"1.0\"?>\r\n", XmlErrorMalformed},
        {"bad encoding", "<?xml version=\"1.0\" encoding=\"X-NONE\"?><r/>", XmlErrorMalformed},
        {"two roots", "<r/><s/>", XmlErrorMalformed},
    };
    for (const Case &c : cases) {
        const QString path = folder.path(QString::fromLatin1(c.name));
        writeBytes(path, c.bytes);
        QString reason;
        EXPECT_EQ(xml_parse_file(path, &reason), nullptr) << c.name;
        EXPECT_EQ(xml_last_error(), c.error) << c.name;
        EXPECT_FALSE(reason.isEmpty()) << c.name;
    }
    EXPECT_EQ(xml_parse_file(folder.path(QStringLiteral("missing.xml"))), nullptr);
    EXPECT_EQ(xml_last_error(), XmlErrorFile);
    EXPECT_EQ(xml_parse_file(folder.root()), nullptr);
    EXPECT_EQ(xml_last_error(), XmlErrorFile);
}

TEST(XmlParser, NeverReadsExternalEntitiesAndRefusesDeepNesting)
{
    TempFolder folder;
    const QString secret = folder.path(QStringLiteral("secret.txt"));
    writeBytes(secret, "SECRET");
    const QByteArray withEntity = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e SYSTEM \"file://" + secret.toUtf8()
        + "\">]><r a=\"x\">&e;</r>";
    const DocumentPtr doc = parseBytes(withEntity);
    if (doc) {
        EXPECT_FALSE(xml_element_text(doc->root).contains(u"SECRET"));
    }

    // Entity expansion bombs are stopped by expat's amplification limit.
    QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'k'; ++c)
        bomb += QByteArray("<!ENTITY ") + c + " \"" + QByteArray(10, '&').replace("&", QByteArray("&") + char(c - 1) + ";") + "\">";
    bomb += "]><r>&k;</r>";
    EXPECT_FALSE(parseBytes(bomb));

    const QByteArray deep = QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000);
    EXPECT_FALSE(parseBytes(deep));
    const QByteArray fine = QByteArray("<a>").repeated(100) + QByteArray("</a>").repeated(100);
    EXPECT_TRUE(parseBytes(fine));
}

TEST(XmlWriter, WritesTheDocumentByteForByte)
{
    DocumentPtr doc = makeDocumentPtr(xml_document_new());
    xml_document_set_version(doc.get(), QStringLiteral("1.0"));
    xml_document_set_encoding(doc.get(), QStringLiteral("UTF-8"));
    XmlElement *root = xml_document_set_root(doc.get(), QStringLiteral("Language"));
    xml_element_set_attribute(root, QStringLiteral("AllowLength"), QStringLiteral("2.000000"));
    xml_element_set_attribute(root, QStringLiteral("CodeType"), QStringLiteral("CPlus2"));
    XmlElement *l = xml_element_add_child(root, QStringLiteral("L"));
    xml_element_set_attribute(l, QStringLiteral("from"), QStringLiteral("File"));
    xml_element_set_attribute(l, QStringLiteral("to"), QStringLiteral("Datei"));
    XmlElement *group = xml_element_add_child(root, QStringLiteral("G"));
    xml_element_add_child(xml_element_add_child(group, QStringLiteral("H")), QStringLiteral("I"));
    EXPECT_EQ(xml_document_serialize(doc.get()),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n"
                         "<Language AllowLength=\"2.000000\" CodeType=\"CPlus2\">\r\n"
                         "   <L from=\"File\" to=\"Datei\"/>\r\n"
                         "   <G>\r\n      <H>\r\n         <I/>\r\n      </H>\r\n   </G>\r\n"
                         "</Language>\r\n"));

    DocumentPtr empty = makeDocumentPtr(xml_document_new());
    xml_document_set_root(empty.get(), QStringLiteral("Language"));
    // No declared encoding: the header names the encoding actually written.
    EXPECT_EQ(xml_document_serialize(empty.get()),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n"
                         "<Language>\r\n</Language>\r\n"));
}

TEST(XmlWriter, WhatIsWrittenReadsBackTheSame)
{
    // Parsed values are plain and get escaped; values set by callers are in
    // file form and only made safe where they would break the markup.
    const DocumentPtr doc = parseBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                                       "<R note=\"a &amp; &lt;b&gt; &quot;q&quot;&#10;\">caf\xe9 &amp; t</R>");
    ASSERT_TRUE(doc);
    XmlElement *root = doc->root;
    xml_element_set_attribute(root, QStringLiteral("done"), QStringLiteral("x &amp; y &lt; z"));
    xml_element_set_attribute(root, QStringLiteral("raw"), QStringLiteral("1 & 2 < 3 \"4\" &bogus; &#0;"));
    xml_element_set_attribute_text(root, QStringLiteral("key"), QStringLiteral("K&<\"\t"));
    xml_element_set_attribute(root, QStringLiteral("wide"), QString::fromUtf8("Größe 😀"));
    const QByteArray written = xml_document_serialize(doc.get());
    EXPECT_TRUE(written.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>"));
    EXPECT_TRUE(written.contains("done=\"x &amp; y &lt; z\""));
    EXPECT_TRUE(written.contains("Größe 😀"));

    const DocumentPtr again = parseBytes(written);
    ASSERT_TRUE(again);
    for (const char *name : {"note", "done", "raw", "key", "wide"}) {
        const QString n = QString::fromLatin1(name);
        EXPECT_EQ(xml_element_attribute_text(again->root, n), xml_element_attribute_text(root, n)) << name;
    }
    EXPECT_EQ(xml_element_text(again->root), QString::fromUtf8("café & t"));
}

} // namespace
