#include "catalogue/xml_writer.h"

#include "catalogue/safe_file.h"
#include "catalogue/xml_escape.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

// Attribute text is always written as UTF-8, so the header must say so;
// a document read with another encoding is declared UTF-8 on writing.
QString declaredEncoding(const XmlDocument *document)
{
    if (!document->encoding.isNull() && document->encoding.compare(u"UTF-8", Qt::CaseInsensitive) == 0)
        return document->encoding;
    return QStringLiteral("UTF-8");
}

void writeElement(QByteArray &out, const XmlElement *element, int depth)
{
    out.append(depth * 3, ' ');
    out.append('<');
    appendUtf8(out, element->name);
    for (const XmlAttribute *a = element->attributes.first; a; a = a->next) {
        out.append(' ');
        appendUtf8(out, a->name);
        out.append("=\"");
        if (a->fileForm)
            appendFileFormValue(out, a->value);
        else
            appendEscapedPlain(out, a->value, true);
        out.append('"');
    }
    const bool hasText = !element->text.isNull();
    if (!hasText && !element->firstChild && element->parent) {
        out.append("/>");
        out.append(kLineEnd);
        return;
    }
    out.append('>');
    if (!hasText)
        out.append(kLineEnd);
    for (const XmlElement *child = element->firstChild; child; child = child->nextSibling)
        writeElement(out, child, depth + 1);
    if (hasText)
        appendEscapedPlain(out, element->text, false);
    else
        out.append(depth * 3, ' ');
    out.append("</");
    appendUtf8(out, element->name);
    out.append('>');
    out.append(kLineEnd);
}

} // namespace

QByteArray xml_document_serialize(const XmlDocument *document)
{
    QByteArray out;
    if (!document)
        return out;
    out.reserve(1 << 16);
    out.append("<?xml version=\"");
    appendFileFormValue(out, document->version.isNull() ? QStringLiteral("1.0") : document->version);
    out.append("\" encoding=\"");
    appendFileFormValue(out, declaredEncoding(document));
    out.append("\" standalone=\"");
    out.append(document->standalone > 0 ? "yes" : "no");
    out.append("\"?>");
    out.append(kLineEnd);
    out.append(kLineEnd);
    if (document->root)
        writeElement(out, document->root, 0);
    return out;
}

int xml_document_write_file(const XmlDocument *document, const QString &path)
{
    if (!document || !writeFileAtomically(path, xml_document_serialize(document))) {
        xml_set_error(XmlErrorFile);
        return 0;
    }
    return 1;
}
