#include "merge/file_layout.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <limits>
#include <expat.h>

namespace {

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The encoding a declaration names: the value of encoding="..." in the
// first "<?xml ... ?>"; empty when there is none.
QByteArray declaredEncoding(const QByteArray &bytes)
{
    if (!bytes.startsWith("<?xml"))
        return QByteArray();
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return QByteArray();
    const QByteArray declaration = bytes.left(end);
    qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return QByteArray();
    at += 8;
    while (at < declaration.size() && (isXmlSpace(declaration[at]) || declaration[at] == '='))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return QByteArray();
    const qsizetype close = declaration.indexOf(declaration[at], at + 1);
    return close < 0 ? QByteArray() : declaration.mid(at + 1, close - at - 1).toUpper();
}

void appendReference(QByteArray &out, char32_t code)
{
    out += "&#";
    out += QByteArray::number(quint32(code));
    out += ';';
}

// Names met in every language file, held once for all.
QByteArrayView knownName(const char *name)
{
    static const char *const kKnown[] = {"from", "to", "key", "IsTrans", "AllowLength", "CodeType"};
    for (const char *known : kKnown) {
        if (std::strcmp(known, name) == 0)
            return QByteArrayView(known);
    }
    return QByteArrayView();
}

struct LayoutReader {
    XML_Parser parser = nullptr;
    LanguageFileLayout *layout = nullptr;
    bool keepAttributes = true;
    QString reason;
    int depth = 0;
    qsizetype previousEnd = 0;  // end of the last element or of the root's start tag
    // Where each element's attributes start in the store (the store grows
    // while the file is read; the views are made at the end).
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    std::pair<std::size_t, std::size_t> rootRange{0, 0};

    void stop(const QString &why)
    {
        if (reason.isEmpty())
            reason = why;
        XML_StopParser(parser, XML_FALSE);
    }

    QByteArrayView keep(const char *text)
    {
        const std::size_t size = std::strlen(text);
        if (size == 0)
            return QByteArrayView("", 0);
        if (layout->valueBlocks.empty() || layout->valueBlockUsed + size > layout->valueBlockSize) {
            layout->valueBlockSize = std::max<std::size_t>(size, 256 * 1024);
            layout->valueBlocks.push_back(std::make_unique<char[]>(layout->valueBlockSize));
            layout->valueBlockUsed = 0;
        }
        char *at = layout->valueBlocks.back().get() + layout->valueBlockUsed;
        std::memcpy(at, text, size);
        layout->valueBlockUsed += size;
        return QByteArrayView(at, qsizetype(size));
    }

    std::pair<std::size_t, std::size_t> store(const XML_Char **attributes)
    {
        const std::size_t first = layout->attributeStore.size();
        for (const XML_Char **a = attributes; a[0]; a += 2) {
            const QByteArrayView known = knownName(a[0]);
            layout->attributeStore.push_back({known.isNull() ? keep(a[0]) : known, keep(a[1])});
        }
        return {first, layout->attributeStore.size() - first};
    }

    void start(const XML_Char *name, const XML_Char **attributes)
    {
        ++depth;
        const qsizetype at = qsizetype(XML_GetCurrentByteIndex(parser));
        const qsizetype count = XML_GetCurrentByteCount(parser);
        if (depth == 1) {
            if (std::strcmp(name, "Language") != 0)
                return stop(QStringLiteral("the root element is <%1>, not <Language>").arg(QString::fromUtf8(name)));
            layout->prolog = {0, at};
            layout->rootStart = {at, at + count};
            rootRange = store(attributes);
            previousEnd = at + count;
        } else if (depth == 2 && std::strcmp(name, "L") == 0) {
            LayoutElement element;
            element.lead = {previousEnd, at};
            element.element = {at, at + count};
            element.startTagEnd = at + count;
            layout->elements.push_back(element);
            if (keepAttributes)
                ranges.push_back(store(attributes));
        }
    }

    void end(const XML_Char *name)
    {
        const qsizetype at = qsizetype(XML_GetCurrentByteIndex(parser));
        const qsizetype count = XML_GetCurrentByteCount(parser);
        if (depth == 2 && std::strcmp(name, "L") == 0) {
            LayoutElement &element = layout->elements.back();
            // An empty-element tag ends where it starts: expat gives it no bytes.
            if (count > 0)
                element.element.end = at + count;
            previousEnd = element.element.end;
        } else if (depth == 1) {
            if (count == 0) {
                layout->rootIsEmpty = true;
                layout->contentTail = layout->rootEnd = {layout->rootStart.end, layout->rootStart.end};
            } else {
                layout->contentTail = {previousEnd, at};
                layout->rootEnd = {at, at + count};
            }
        }
        --depth;
    }

    // The views into the store, now that it no longer grows.
    void finish()
    {
        const LayoutAttribute *store = layout->attributeStore.data();
        layout->rootAttributes = LayoutAttributes(store + rootRange.first, rootRange.second);
        for (std::size_t i = 0; i < ranges.size(); ++i)
            layout->elements[i].attributes = LayoutAttributes(store + ranges[i].first, ranges[i].second);
    }
};

void XMLCALL layoutOnStart(void *data, const XML_Char *name, const XML_Char **attributes)
{
    static_cast<LayoutReader *>(data)->start(name, attributes);
}

void XMLCALL layoutOnEnd(void *data, const XML_Char *name) { static_cast<LayoutReader *>(data)->end(name); }

// A language file has no DOCTYPE; one is refused before anything of it is
// read, so no entity can be declared.
void XMLCALL layoutOnDoctype(void *data, const XML_Char *, const XML_Char *, const XML_Char *, int)
{
    static_cast<LayoutReader *>(data)->stop(QStringLiteral("it has a DOCTYPE declaration"));
}

} // namespace

bool DecodeFileText(const QByteArray &bytes, QByteArray *utf8, FileEncoding *encoding, QString *reason)
{
    *encoding = FileEncoding();
    auto startsWith = [&bytes](const char *prefix, qsizetype size) {
        return bytes.size() >= size && std::memcmp(bytes.constData(), prefix, size_t(size)) == 0;
    };
    if (startsWith("\xEF\xBB\xBF", 3)) {
        *encoding = {TextEncoding::Utf8, true};
        *utf8 = bytes.mid(3);
        return true;
    }
    const bool bomLE = startsWith("\xFF\xFE", 2), bomBE = startsWith("\xFE\xFF", 2);
    const bool bareLE = startsWith("<\0", 2), bareBE = startsWith("\0<", 2);
    if (bomLE || bomBE || bareLE || bareBE) {
        const bool little = bomLE || bareLE;
        *encoding = {little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE, bomLE || bomBE};
        const QByteArray units = bytes.mid(encoding->byteOrderMark ? 2 : 0);
        if (units.size() % 2 != 0) {
            *reason = QStringLiteral("its UTF-16 text ends in half a character");
            return false;
        }
        QString text(units.size() / 2, Qt::Uninitialized);
        const auto *in = reinterpret_cast<const unsigned char *>(units.constData());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const unsigned a = in[2 * i], b = in[2 * i + 1];
            text[i] = QChar(char16_t(little ? (a | (b << 8)) : ((a << 8) | b)));
        }
        *utf8 = text.toUtf8();
        if (EncodeFileText(*utf8, *encoding) != bytes) {
            *reason = QStringLiteral("its UTF-16 text holds a broken character");
            return false;
        }
        return true;
    }
    const QByteArray declared = declaredEncoding(bytes);
    if (declared.isEmpty() || declared == "UTF-8" || declared == "UTF8") {
        *utf8 = bytes;  // expat checks that it is UTF-8
        return true;
    }
    if (declared == "ISO-8859-1" || declared == "ISO_8859-1" || declared == "LATIN1" || declared == "LATIN-1") {
        *encoding = {TextEncoding::Latin1, false};
        *utf8 = QString::fromLatin1(bytes).toUtf8();
        return true;
    }
    if (declared == "US-ASCII" || declared == "ASCII") {
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) > 0x7F) {
                *reason = QStringLiteral("it is declared US-ASCII but holds other bytes");
                return false;
            }
        }
        *encoding = {TextEncoding::Ascii, false};
        *utf8 = bytes;
        return true;
    }
    *reason = QStringLiteral("its encoding %1 is not one Rendaro merges").arg(QString::fromLatin1(declared));
    return false;
}

QByteArray EncodeFileText(const QByteArray &utf8, const FileEncoding &encoding)
{
    switch (encoding.encoding) {
    case TextEncoding::Utf8:
        return encoding.byteOrderMark ? QByteArray("\xEF\xBB\xBF") + utf8 : utf8;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const QString text = QString::fromUtf8(utf8);
        const bool little = encoding.encoding == TextEncoding::Utf16LE;
        QByteArray out;
        out.reserve(2 * text.size() + 2);
        if (encoding.byteOrderMark)
            out += little ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
        for (const QChar c : text) {
            const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
            out += little ? low : high;
            out += little ? high : low;
        }
        return out;
    }
    case TextEncoding::Latin1:
    case TextEncoding::Ascii: {
        const char32_t highest = encoding.encoding == TextEncoding::Latin1 ? 0xFF : 0x7F;
        QByteArray out;
        out.reserve(utf8.size());
        for (const char32_t code : QString::fromUtf8(utf8).toUcs4()) {
            if (code <= highest)
                out += char(code);
            else
                appendReference(out, code);
        }
        return out;
    }
    }
    return QByteArray();
}

const QByteArrayView *FindAttribute(const LayoutAttributes &attributes, QByteArrayView name)
{
    for (const LayoutAttribute &attribute : attributes) {
        if (attribute.name == name)
            return &attribute.value;
    }
    return nullptr;
}

bool ReadLanguageFileLayout(const QByteArray &bytes, LanguageFileLayout *layout, QString *reason, bool attributes)
{
    *layout = LanguageFileLayout();
    if (bytes.size() > std::numeric_limits<int>::max() / 2) {
        *reason = QStringLiteral("it is too large");
        return false;
    }
    if (!DecodeFileText(bytes, &layout->text, &layout->encoding, reason))
        return false;
    const qsizetype newline = layout->text.indexOf('\n');
    layout->lineEnd = newline > 0 && layout->text[newline - 1] == '\r' ? QByteArray("\r\n") : QByteArray("\n");

    LayoutReader reader;
    reader.layout = layout;
    reader.keepAttributes = attributes;

    // The text is UTF-8 now, whatever the declaration says.
    reader.parser = XML_ParserCreate("UTF-8");
    if (!reader.parser) {
        *reason = QStringLiteral("out of memory");
        return false;
    }
    XML_SetParamEntityParsing(reader.parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(reader.parser, &reader);
    XML_SetElementHandler(reader.parser, layoutOnStart, layoutOnEnd);
    XML_SetStartDoctypeDeclHandler(reader.parser, layoutOnDoctype);
    const XML_Status status = XML_Parse(reader.parser, layout->text.constData(), int(layout->text.size()), XML_TRUE);
    if (status == XML_STATUS_ERROR && reader.reason.isEmpty())
        reader.reason = QStringLiteral("line %1: %2")
                            .arg(XML_GetCurrentLineNumber(reader.parser))
                            .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(reader.parser))));
    XML_ParserFree(reader.parser);
    if (!reader.reason.isEmpty()) {
        *reason = reader.reason;
        return false;
    }
    reader.finish();
    const qsizetype rootEnd = layout->rootIsEmpty ? layout->rootStart.end : layout->rootEnd.end;
    layout->epilogue = {rootEnd, layout->text.size()};
    return true;
}

TagShape ShapeOfTag(QByteArrayView tag)
{
    TagShape shape;
    qsizetype at = 1;
    const qsizetype size = tag.size();
    while (at < size && !isXmlSpace(tag[at]) && tag[at] != '/' && tag[at] != '>')
        ++at;
    shape.nameEnd = at;
    for (;;) {
        const qsizetype space = at;
        while (at < size && isXmlSpace(tag[at]))
            ++at;
        if (at >= size || tag[at] == '/' || tag[at] == '>') {
            shape.closeBegin = at;
            shape.selfClosing = at < size && tag[at] == '/';
            return shape;
        }
        TagAttribute attribute;
        attribute.spaceBegin = space;
        attribute.nameBegin = at;
        while (at < size && !isXmlSpace(tag[at]) && tag[at] != '=')
            ++at;
        attribute.nameEnd = at;
        while (at < size && (isXmlSpace(tag[at]) || tag[at] == '='))
            ++at;
        attribute.valueBegin = at;
        const char quote = at < size ? tag[at] : '"';
        ++at;
        while (at < size && tag[at] != quote)
            ++at;
        attribute.valueEnd = std::min(size, at + 1);
        at = attribute.valueEnd;
        shape.attributes.push_back(attribute);
    }
}
