// A language file's bytes cut into parts, its encodings, and start tags.

#include "merge/file_layout.h"
#include "test_support.h"

namespace {

// The file put together again from its parts.
QByteArray joined(const LanguageFileLayout &layout)
{
    QByteArray out = layout.view(layout.prolog).toByteArray();
    out += layout.view(layout.rootStart);
    for (const LayoutElement &element : layout.elements) {
        out += layout.view(element.lead);
        out += layout.view(element.element);
    }
    out += layout.view(layout.contentTail);
    out += layout.view(layout.rootEnd);
    out += layout.view(layout.epilogue);
    return out;
}

QByteArray utf16(const QByteArray &utf8, bool little, bool mark)
{
    QByteArray out = mark ? (little ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2)) : QByteArray();
    for (const QChar c : QString::fromUtf8(utf8)) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        out += little ? low : high;
        out += little ? high : low;
    }
    return out;
}

} // namespace

TEST(FileLayout, EveryByteBelongsToOnePart)
{
    const QByteArray file = "<?xml version=\"1.0\"?>\r\n<!-- head -->\r\n<Language AllowLength='3'>\r\n"
                            "  <!-- menu -->\r\n  <L from=\"a\" to=\"b\"/>\r\n  <Note/>\r\n"
                            "  <L\r\n    from=\"c &amp; d\"\r\n  key=\"K\">text<i/></L>\r\n"
                            "</Language>\r\n<!-- tail -->\r\n";
    LanguageFileLayout layout;
    QString reason;
    ASSERT_TRUE(ReadLanguageFileLayout(file, &layout, &reason)) << reason.toStdString();
    EXPECT_EQ(joined(layout), file);
    EXPECT_EQ(layout.lineEnd, "\r\n");
    EXPECT_EQ(layout.view(layout.prolog), "<?xml version=\"1.0\"?>\r\n<!-- head -->\r\n");
    EXPECT_EQ(layout.view(layout.rootStart), "<Language AllowLength='3'>");
    ASSERT_EQ(layout.rootAttributes.size(), 1u);
    EXPECT_EQ(layout.rootAttributes[0].value, "3");
    ASSERT_EQ(layout.elements.size(), 2u);
    EXPECT_EQ(layout.view(layout.elements[0].lead), "\r\n  <!-- menu -->\r\n  ");
    EXPECT_EQ(layout.view(layout.elements[0].element), "<L from=\"a\" to=\"b\"/>");
    // Other elements stand before the next element; content belongs to its element.
    EXPECT_EQ(layout.view(layout.elements[1].lead), "\r\n  <Note/>\r\n  ");
    EXPECT_EQ(layout.view(layout.elements[1].element), "<L\r\n    from=\"c &amp; d\"\r\n  key=\"K\">text<i/></L>");
    EXPECT_EQ(layout.view({layout.elements[1].element.begin, layout.elements[1].startTagEnd}),
              "<L\r\n    from=\"c &amp; d\"\r\n  key=\"K\">");
    EXPECT_EQ(*FindAttribute(layout.elements[1].attributes, "from"), "c & d");
    EXPECT_EQ(FindAttribute(layout.elements[1].attributes, "to"), nullptr);
    EXPECT_EQ(layout.view(layout.contentTail), "\r\n");
    EXPECT_EQ(layout.view(layout.epilogue), "\r\n<!-- tail -->\r\n");

    ASSERT_TRUE(ReadLanguageFileLayout("<Language CodeType=\"QT\"/>\n", &layout, &reason));
    EXPECT_TRUE(layout.rootIsEmpty);
    EXPECT_TRUE(layout.elements.empty());
    EXPECT_EQ(layout.lineEnd, "\n");
    EXPECT_EQ(joined(layout), "<Language CodeType=\"QT\"/>\n");
}

TEST(FileLayout, RefusesWhatIsNoLanguageFile)
{
    struct Case {
        QByteArray bytes;
        const char *reason;
    };
    const Case cases[] = {
        {"<Strings/>", "the root element is <Strings>, not <Language>"},
        {"<Language><L from=\"a\"></Language>", "line 1: mismatched tag"},
        {"plain text\n", "line 1: syntax error"},
        {"<!DOCTYPE Language [<!ENTITY a \"b\">]><Language/>", "it has a DOCTYPE declaration"},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><Language/>",
         "its encoding WINDOWS-1252 is not one Rendaro merges"},
        {"<?xml version=\"1.0\" encoding=\"US-ASCII\"?><Language from=\"\xC3\xA9\"/>",
         "it is declared US-ASCII but holds other bytes"},
        {"\xFF\xFE<\0L\0a", "its UTF-16 text ends in half a character"},
        {QByteArray("\xFF\xFE\x00\xD8<\0", 6), "its UTF-16 text holds a broken character"},
    };
    for (const Case &c : cases) {
        LanguageFileLayout layout;
        QString reason;
        EXPECT_FALSE(ReadLanguageFileLayout(c.bytes, &layout, &reason)) << c.reason;
        EXPECT_EQ(reason, QString::fromUtf8(c.reason));
    }
}

TEST(FileLayout, EncodingsDecodeAndEncodeToTheSameBytes)
{
    const QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<Language><L from=\"Größe\" to=\"大小 😀\"/>"
                            "</Language>\n";
    struct Case {
        const char *what;
        QByteArray bytes;
        FileEncoding encoding;
    };
    const QByteArray latin = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<Language><L from=\"Gr\xF6\xDF" "e\"/>"
                             "</Language>\n";
    const Case cases[] = {
        {"UTF-8", QByteArray(text).replace("UTF-16", "UTF-8"), {TextEncoding::Utf8, false}},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + QByteArray(text).replace("UTF-16", "UTF-8"), {TextEncoding::Utf8, true}},
        {"UTF-16LE", utf16(text, true, true), {TextEncoding::Utf16LE, true}},
        {"UTF-16BE", utf16(text, false, true), {TextEncoding::Utf16BE, true}},
        {"UTF-16LE without a mark", utf16(text, true, false), {TextEncoding::Utf16LE, false}},
        {"UTF-16BE without a mark", utf16(text, false, false), {TextEncoding::Utf16BE, false}},
        {"Latin-1", latin, {TextEncoding::Latin1, false}},
    };
    for (const Case &c : cases) {
        LanguageFileLayout layout;
        QString reason;
        ASSERT_TRUE(ReadLanguageFileLayout(c.bytes, &layout, &reason)) << c.what << ": " << reason.toStdString();
        EXPECT_TRUE(layout.encoding == c.encoding) << c.what;
        EXPECT_EQ(*FindAttribute(layout.elements.at(0).attributes, "from"), "Größe") << c.what;
        EXPECT_EQ(EncodeFileText(layout.text, layout.encoding), c.bytes) << c.what;
    }
    // What an encoding lacks becomes a character reference.
    EXPECT_EQ(EncodeFileText("é大😀", {TextEncoding::Latin1, false}), "\xE9&#22823;&#128512;");
    EXPECT_EQ(EncodeFileText("é大", {TextEncoding::Ascii, false}), "&#233;&#22823;");
}

TEST(FileLayout, ShapeOfStartTags)
{
    const QByteArray tag = "<L  from='a \"b\"'\r\n to = \"c\"  />";
    const TagShape shape = ShapeOfTag(tag);
    EXPECT_EQ(shape.nameEnd, 2);
    ASSERT_EQ(shape.attributes.size(), 2u);
    const TagAttribute &from = shape.attributes[0], &to = shape.attributes[1];
    EXPECT_EQ(tag.mid(from.spaceBegin, from.nameBegin - from.spaceBegin), "  ");
    EXPECT_EQ(tag.mid(from.nameBegin, from.nameEnd - from.nameBegin), "from");
    EXPECT_EQ(tag.mid(from.valueBegin, from.valueEnd - from.valueBegin), "'a \"b\"'");
    EXPECT_EQ(tag.mid(to.nameBegin, to.nameEnd - to.nameBegin), "to");
    EXPECT_EQ(tag.mid(to.valueBegin, to.valueEnd - to.valueBegin), "\"c\"");
    EXPECT_EQ(tag.mid(shape.closeBegin), "/>");
    EXPECT_TRUE(shape.selfClosing);
    const TagShape bare = ShapeOfTag("<Language>");
    EXPECT_EQ(bare.nameEnd, 9);
    EXPECT_TRUE(bare.attributes.empty());
    EXPECT_FALSE(bare.selfClosing);
}
