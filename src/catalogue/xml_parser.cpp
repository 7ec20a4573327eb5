#include "catalogue/xml_parser.h"

#include "catalogue/safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <expat.h>
#include <vector>

struct XmlTreeParser {
    XML_Parser parser = nullptr;
    XmlDocument *document = nullptr;
    XmlElement *current = nullptr;
    std::vector<XmlElement *> stack;  // ancestors of current
    QString errorText;
    XmlElementHook hook = nullptr;
    void *hookContext = nullptr;
    // Reading without a tree (xml_scan_file): the start-tag hook and the
    // number of elements open.
    XmlStartTagHook startTagHook = nullptr;
    XmlStartTagLineHook startTagLineHook = nullptr;  // instead, when the lines are asked for
    int open = 0;
    // Reading the root's children without a tree: their hook, whether one
    // is open, and whether the document turned out not to suit that.
    XmlChildTagHook childHook = nullptr;
    bool childOpen = false;
    bool refused = false;
    // Element and attribute names repeat on every line of a language file;
    // each distinct name is converted and looked up in the document once.
    std::vector<std::pair<QByteArray, XmlName>> names;
    // One element's attributes while its start tag is read.
    std::vector<XmlName> attributeNames;
    std::vector<QString> attributeValues;

    XmlName name(const char *utf8)
    {
        const size_t length = std::strlen(utf8);
        for (const auto &[bytes, known] : names) {
            if (size_t(bytes.size()) == length && std::memcmp(bytes.constData(), utf8, length) == 0)
                return known;
        }
        const XmlName fresh = xml_document_name(document, QString::fromUtf8(utf8, qsizetype(length)));
        if (names.size() < 64)
            names.emplace_back(QByteArray(utf8, qsizetype(length)), fresh);
        return fresh;
    }
};

namespace {

bool isTrailingSpace(QChar c)
{
    // The C library's wide white-space class: ASCII white space and the
    // Unicode spaces, but not the no-break spaces.
    const char16_t u = c.unicode();
    if (u == u' ' || (u >= u'\t' && u <= u'\r'))
        return true;
    if (u == 0x00A0 || u == 0x2007 || u == 0x202F)
        return false;
    return u >= 0x80 && c.isSpace();
}

bool isLeadingSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\n' || u == u'\r' || u == u'\t' || u == u'\v';
}

void trimText(XmlElement *element)
{
    QString text = xml_element_text(element);
    qsizetype end = text.size();
    while (end > 0 && isTrailingSpace(text[end - 1]))
        --end;
    qsizetype begin = 0;
    while (begin < end && isLeadingSpace(text[begin]))
        ++begin;
    if (begin == end)
        xml_element_set_text(element, QString());
    else if (begin > 0 || end < text.size())
        xml_element_set_text(element, text.mid(begin, end - begin));
}

void XMLCALL onDeclaration(void *userData, const XML_Char *version, const XML_Char *encoding, int)
{
    auto *p = static_cast<XmlTreeParser *>(userData);
    if (!p)
        return;
    if (!p->document)
        p->document = xml_document_new();
    if (version)
        p->document->version = QString::fromUtf8(version);
    if (encoding)
        p->document->encoding = QString::fromUtf8(encoding);
}

void refuse(XmlTreeParser *p)
{
    p->refused = true;
    XML_StopParser(p->parser, XML_FALSE);
}

void XMLCALL onStart(void *userData, const XML_Char *name, const XML_Char **attributes)
{
    auto *p = static_cast<XmlTreeParser *>(userData);
    if (!p)
        return;
    if (p->stack.size() >= size_t(kXmlMaxDepth)) {
        p->errorText = QStringLiteral("elements nested deeper than %1 levels").arg(kXmlMaxDepth);
        XML_StopParser(p->parser, XML_FALSE);
        return;
    }
    if (!p->document)
        p->document = xml_document_new();
    if (p->childHook && p->document->root) {
        // Only the root's empty children are taken; anything deeper means
        // the document needs its tree.
        const bool taken = !p->childOpen && p->stack.empty() && p->childHook(p->hookContext, name, attributes);
        p->childOpen = true;
        if (!taken)
            refuse(p);
        return;
    }
    XmlElement *element;
    if (p->document->root) {
        p->stack.push_back(p->current);
        element = xml_element_add_named_child(p->current, p->name(name));
    } else {
        element = xml_document_set_root(p->document, QString::fromUtf8(name));
    }
    p->current = element;
    // Equal values within one element (an untranslated string's `to` repeats
    // its `from`) share one string.
    int count = 0;
    for (const XML_Char **a = attributes; a && a[0]; a += 2)
        ++count;
    if (count > 0) {
        if (p->attributeValues.size() < size_t(count)) {
            p->attributeValues.resize(size_t(count));
            p->attributeNames.resize(size_t(count));
        }
        for (int i = 0; i < count; ++i) {
            const char *bytes = attributes[2 * i + 1];
            QString &value = p->attributeValues[size_t(i)];
            for (int j = 0; j < i && j < 4 && value.isNull(); ++j) {
                if (std::strcmp(attributes[2 * j + 1], bytes) == 0)
                    value = p->attributeValues[size_t(j)];
            }
            if (value.isNull())
                value = xml_text_from_utf8(bytes);
            p->attributeNames[size_t(i)] = p->name(attributes[2 * i]);
        }
        xml_element_append_parsed_attributes(element, p->attributeNames.data(), p->attributeValues.data(), count);
        for (int i = 0; i < count; ++i)
            p->attributeValues[size_t(i)] = QString();
    }
    if (p->hook)
        p->hook(p->hookContext, element);
}

// The start and end handlers of a read without a tree. The depth limit is
// the tree's: an element is refused where the tree parser would refuse it
// (it counts the ancestors of the element's parent).
void XMLCALL onScanStart(void *userData, const XML_Char *name, const XML_Char **attributes)
{
    auto *p = static_cast<XmlTreeParser *>(userData);
    if (p->open > kXmlMaxDepth) {
        p->errorText = QStringLiteral("elements nested deeper than %1 levels").arg(kXmlMaxDepth);
        XML_StopParser(p->parser, XML_FALSE);
        return;
    }
    ++p->open;
    if (p->startTagLineHook)
        p->startTagLineHook(p->hookContext, name, attributes, XML_GetCurrentLineNumber(p->parser));
    else
        p->startTagHook(p->hookContext, name, attributes);
}

void XMLCALL onScanEnd(void *userData, const XML_Char *)
{
    --static_cast<XmlTreeParser *>(userData)->open;
}

void XMLCALL onText(void *userData, const XML_Char *text, int length)
{
    auto *p = static_cast<XmlTreeParser *>(userData);
    if (!p || !p->current)
        return;
    if (p->childOpen) {
        // White space inside a taken child is trimmed away by the tree too.
        for (int i = 0; i < length; ++i) {
            if (!isLeadingSpace(QChar(char16_t(uchar(text[i]))))) {
                refuse(p);
                return;
            }
        }
        return;
    }
    if (!xml_element_has_text(p->current)) {
        // Leading white space is trimmed at the end anyway; skipping it here
        // spares a string for the line breaks between every two elements.
        int i = 0;
        while (i < length && isLeadingSpace(QChar(char16_t(uchar(text[i])))))
            ++i;
        if (i < length)
            xml_element_set_text(p->current, QString::fromUtf8(text + i, length - i));
    } else {
        xml_element_append_text(p->current, QString::fromUtf8(text, length));
    }
}

void XMLCALL onEnd(void *userData, const XML_Char *)
{
    auto *p = static_cast<XmlTreeParser *>(userData);
    if (!p || !p->current)
        return;
    if (p->childOpen) {
        p->childOpen = false;
        return;
    }
    if (xml_element_has_text(p->current))
        trimText(p->current);
    if (p->stack.empty()) {
        p->current = nullptr;
    } else {
        p->current = p->stack.back();
        p->stack.pop_back();
    }
}

} // namespace

XmlTreeParser *xml_parser_new()
{
    auto *p = new XmlTreeParser;
    p->parser = XML_ParserCreate(nullptr);
    if (!p->parser) {
        delete p;
        xml_set_error(XmlErrorMemory);
        return nullptr;
    }
    // No handler for external entities is installed, so a DOCTYPE can never
    // make expat read another file; parameter entities are not parsed.
    XML_SetParamEntityParsing(p->parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(p->parser, p);
    XML_SetXmlDeclHandler(p->parser, onDeclaration);
    XML_SetElementHandler(p->parser, onStart, onEnd);
    XML_SetCharacterDataHandler(p->parser, onText);
    return p;
}

int xml_parser_parse_stream(XmlTreeParser *p, QIODevice &stream)
{
    if (!p)
        return 0;
    p->errorText.clear();
    for (;;) {
        // Read straight into expat's own buffer (what XML_Parse would copy
        // the bytes into), sparing a buffer and a copy of every file.
        char *buffer = static_cast<char *>(XML_GetBuffer(p->parser, int(kXmlChunkSize)));
        if (!buffer) {
            p->errorText = QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(p->parser)));
            xml_set_error(XmlErrorMemory);
            return 0;
        }
        const qint64 got = stream.read(buffer, kXmlChunkSize);
        if (got < 0) {
            p->errorText = stream.errorString();
            xml_set_error(XmlErrorFile);
            return 0;
        }
        // A pipe may deliver less than asked before its end; only a read
        // that gives nothing ends it. A file ends where it says it does.
        const bool final = got == 0 || (!stream.isSequential() && stream.atEnd());
        if (XML_ParseBuffer(p->parser, int(got), final) == XML_STATUS_ERROR) {
            if (p->errorText.isEmpty()) {
                p->errorText = QStringLiteral("line %1: %2")
                                   .arg(XML_GetCurrentLineNumber(p->parser))
                                   .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(p->parser))));
            }
            xml_set_error(XmlErrorMalformed);
            return 0;
        }
        if (final)
            return 1;
    }
}

int xml_parser_parse_file(XmlTreeParser *p, const QString &path)
{
    if (!p)
        return 0;
    // A folder, device or FIFO is never read: opening a FIFO would wait for
    // a writer, and a device may never end.
    const QString notRegular = nonRegularFileReason(path);
    QFile file(path);
    if (!notRegular.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        p->errorText = notRegular.isEmpty() ? file.errorString() : QStringLiteral("%1: %2").arg(path, notRegular);
        xml_set_error(XmlErrorFile);
        return 0;
    }
    return xml_parser_parse_stream(p, file);
}

XmlDocument *xml_parser_document(XmlTreeParser *p)
{
    if (!p)
        return nullptr;
    XmlDocument *document = p->document;
    p->document = nullptr;
    p->current = nullptr;
    p->stack.clear();
    p->names.clear();  // they belong to the document handed out
    return document;
}

QString xml_parser_error_text(const XmlTreeParser *p) { return p ? p->errorText : QString(); }

void xml_parser_free(XmlTreeParser *p)
{
    if (!p)
        return;
    XML_ParserFree(p->parser);
    // A document nobody took (a failed parse) is released here.
    xml_document_free(p->document);
    delete p;
}

void xml_parser_set_element_hook(XmlTreeParser *p, XmlElementHook hook, void *context)
{
    if (!p)
        return;
    p->hook = hook;
    p->hookContext = context;
}

QString xml_text_from_utf8(const char *utf8)
{
    // QString::fromUtf8 reserves one code unit per byte, which for CJK text
    // is up to three times what the text needs, and a large file holds
    // hundreds of thousands of them.
    QString text = QString::fromUtf8(utf8);
    if (text.capacity() - text.size() > 8)
        text.squeeze();
    return text;
}

namespace {
XmlTreeParser *newScanParser(XmlStartTagHook hook, XmlStartTagLineHook lineHook, void *context)
{
    XmlTreeParser *parser = xml_parser_new();
    if (!parser)
        return nullptr;
    parser->startTagHook = hook;
    parser->startTagLineHook = lineHook;
    parser->hookContext = context;
    XML_SetXmlDeclHandler(parser->parser, nullptr);
    XML_SetElementHandler(parser->parser, onScanStart, onScanEnd);
    XML_SetCharacterDataHandler(parser->parser, nullptr);
    return parser;
}

bool scanFile(const QString &path, QString *errorText, XmlStartTagHook hook, XmlStartTagLineHook lineHook,
              void *context)
{
    XmlTreeParser *parser = newScanParser(hook, lineHook, context);
    if (!parser)
        return false;
    const bool parsed = xml_parser_parse_file(parser, path) != 0;
    if (!parsed && errorText)
        *errorText = xml_parser_error_text(parser);
    xml_parser_free(parser);
    return parsed;
}
} // namespace

bool xml_scan_file(const QString &path, QString *errorText, XmlStartTagHook hook, void *context)
{
    return scanFile(path, errorText, hook, nullptr, context);
}

bool xml_scan_pieces(const std::vector<QByteArrayView> &pieces, XmlStartTagHook hook, void *context)
{
    constexpr qsizetype kScanPart = qsizetype(256) << 10;
    XmlTreeParser *parser = newScanParser(hook, nullptr, context);
    if (!parser)
        return false;
    bool parsed = true;
    for (std::size_t i = 0; i < pieces.size() && parsed; ++i) {
        // expat copies what it is given into a buffer of its own, so it is
        // given a little at a time: one buffer, kept in the cache, instead
        // of a copy of the whole piece in freshly faulted memory.
        QByteArrayView rest = pieces[i];
        do {
            const QByteArrayView part = rest.first(std::min<qsizetype>(rest.size(), kScanPart));
            rest = rest.sliced(part.size());
            const bool final = i + 1 == pieces.size() && rest.isEmpty();
            parsed = XML_Parse(parser->parser, part.data(), int(part.size()), final) != XML_STATUS_ERROR;
        } while (parsed && !rest.isEmpty());
    }
    if (parsed && pieces.empty())
        parsed = XML_Parse(parser->parser, "", 0, true) != XML_STATUS_ERROR;
    xml_parser_free(parser);
    return parsed;
}

bool xml_scan_file_lines(const QString &path, QString *errorText, XmlStartTagLineHook hook, void *context)
{
    return scanFile(path, errorText, nullptr, hook, context);
}

XmlDocument *xml_parse_file(const QString &path, QString *errorText, XmlElementHook hook, void *context)
{
    XmlTreeParser *parser = xml_parser_new();
    if (!parser)
        return nullptr;
    xml_parser_set_element_hook(parser, hook, context);
    XmlDocument *document = nullptr;
    if (xml_parser_parse_file(parser, path))
        document = xml_parser_document(parser);
    else if (errorText)
        *errorText = xml_parser_error_text(parser);
    xml_parser_free(parser);
    return document;
}

XmlDocument *xml_parse_file_without_children(const QString &path, QString *errorText, XmlElementHook root,
                                             XmlChildTagHook child, void *context, bool *refused)
{
    *refused = false;
    XmlTreeParser *parser = xml_parser_new();
    if (!parser)
        return nullptr;
    xml_parser_set_element_hook(parser, root, context);
    parser->childHook = child;
    XmlDocument *document = nullptr;
    if (xml_parser_parse_file(parser, path))
        document = xml_parser_document(parser);
    else if (parser->refused)
        *refused = true;
    else if (errorText)
        *errorText = xml_parser_error_text(parser);
    xml_parser_free(parser);
    return document;
}
