#include "catalogue/xml_writer.h"

#include "catalogue/safe_file.h"
#include "catalogue/xml_escape.h"

#include <QBuffer>
#include <QIODevice>
#include <vector>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr size_t kFlushSize = 128 << 10;

// Serialises into a buffer that is handed to the device whenever it grows
// past kFlushSize, so a large file never sits in memory twice.
class Writer {
public:
    explicit Writer(QIODevice &device) : m_device(device) { m_out.reserve(kFlushSize + 4096); }

    bool document(const XmlDocument *document)
    {
        m_out.append("<?xml version=\"");
        appendFileFormValue(m_out, document->version.isNull() ? QStringLiteral("1.0") : document->version);
        m_out.append("\" encoding=\"");
        appendFileFormValue(m_out, declaredEncoding(document));
        m_out.append("\" standalone=\"");
        m_out.append(document->standalone > 0 ? "yes" : "no");
        m_out.append("\"?>");
        m_out.append(kLineEnd);
        m_out.append(kLineEnd);
        if (document->root)
            element(document->root, 0);
        return flush();
    }

private:
    // Attribute text is always written as UTF-8, so the header must say so;
    // a document read with another encoding is declared UTF-8 on writing.
    static QString declaredEncoding(const XmlDocument *document)
    {
        if (!document->encoding.isNull() && document->encoding.compare(u"UTF-8", Qt::CaseInsensitive) == 0)
            return document->encoding;
        return QStringLiteral("UTF-8");
    }

    bool flush()
    {
        if (!m_ok || m_out.empty())
            return m_ok;
        m_ok = m_device.write(m_out.data(), qint64(m_out.size())) == qint64(m_out.size());
        m_out.clear();
        return m_ok;
    }

    // The bytes before an attribute's value (` name="`) or of an element's
    // start (`<name`): a document has a handful of names, each written on
    // every line, so each is converted once per write. Names are held once
    // by their document, so the text's address identifies the name.
    const std::string &nameBytes(const QString &name, bool attribute)
    {
        for (const NameBytes &known : m_names) {
            if (known.name == &name && known.attribute == attribute)
                return known.bytes;
        }
        std::string bytes(attribute ? " " : "<");
        appendUtf8(bytes, name);
        if (attribute)
            bytes += "=\"";
        if (m_names.size() == kNamesKept)
            m_names.pop_back();
        m_names.insert(m_names.begin(), {&name, attribute, std::move(bytes)});
        return m_names.front().bytes;
    }

    void element(const XmlElement *element, int depth)
    {
        m_out.append(size_t(depth) * 3, ' ');
        m_out.append(nameBytes(element->name.text(), false));
        for (const XmlAttribute *a = element->attributes.first; a; a = xml_element_next_attribute(element, a)) {
            m_out.append(nameBytes(a->name.text(), true));
            switch (a->form()) {
            case XmlFileFormValue: appendFileFormValue(m_out, a->value); break;
            case XmlCatalogueTextValue:
            case XmlCatalogueTextAsRead: appendCatalogueText(m_out, a->value); break;
            default: appendEscapedPlain(m_out, a->value, true); break;
            }
            m_out.push_back('"');
        }
        const bool hasText = xml_element_has_text(element);
        if (!hasText && !element->firstChild && element->parent) {
            m_out.append("/>");
            m_out.append(kLineEnd);
        } else {
            m_out.push_back('>');
            if (!hasText)
                m_out.append(kLineEnd);
            for (const XmlElement *child = element->firstChild; child; child = child->nextSibling)
                this->element(child, depth + 1);
            if (hasText)
                appendEscapedPlain(m_out, xml_element_text(element), false);
            else
                m_out.append(size_t(depth) * 3, ' ');
            m_out.append("</");
            appendUtf8(m_out, element->name.text());
            m_out.push_back('>');
            m_out.append(kLineEnd);
        }
        if (m_out.size() >= kFlushSize)
            flush();
    }

    struct NameBytes {
        const QString *name;
        bool attribute;
        std::string bytes;
    };
    static constexpr size_t kNamesKept = 16;

    QIODevice &m_device;
    std::string m_out;
    std::vector<NameBytes> m_names;  // most recently added first
    bool m_ok = true;
};

} // namespace

bool xml_document_write(const XmlDocument *document, QIODevice &device)
{
    return document && Writer(device).document(document);
}

QByteArray xml_document_serialize(const XmlDocument *document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    xml_document_write(document, buffer);
    return bytes;
}

int xml_document_write_file(const XmlDocument *document, const QString &path, QString *errorText)
{
    QString reason = QStringLiteral("nothing to write");
    if (!document
        || !writeFileAtomically(
            path, [document](QIODevice &device) { return xml_document_write(document, device); }, &reason)) {
        if (errorText)
            *errorText = QStringLiteral("%1: %2").arg(path, reason);
        xml_set_error(XmlErrorFile);
        return 0;
    }
    return 1;
}

int xml_document_add_to_batch(const XmlDocument *document, DurableWriteBatch &batch, const QString &path,
                              QString *errorText)
{
    QString reason = QStringLiteral("nothing to write");
    const int file =
        document ? batch.add(path, [document](QIODevice &device) { return xml_document_write(document, device); },
                             &reason)
                 : -1;
    if (file < 0) {
        if (errorText)
            *errorText = QStringLiteral("%1: %2").arg(path, reason);
        xml_set_error(XmlErrorFile);
    }
    return file;
}
