#include "catalogue/xml_writer.h"

#include "catalogue/runs_on_two_threads.h"
#include "catalogue/safe_file.h"
#include "catalogue/xml_escape.h"

#include <QBuffer>
#include <QIODevice>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr size_t kFlushSize = 128 << 10;
// A root with this many children is written on two threads, in runs of
// about 250 KB of a language file.
std::atomic<int> g_twoThreadsFrom{16384};
std::atomic<int> g_runElements{2048};

// Serialises into a buffer that is handed to the device whenever it grows
// past kFlushSize, so a large file never sits in memory twice.
class Writer {
public:
    explicit Writer(QIODevice &device) : m_device(&device) { m_out.reserve(kFlushSize + 4096); }

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
        if (const XmlElement *root = document->root) {
            if (root->childCount >= g_twoThreadsFrom.load(std::memory_order_relaxed)
                && std::thread::hardware_concurrency() > 1) {
                if (startTag(root, 0)) {
                    childrenOnTwoThreads(root, 1);
                    endTag(root, 0);
                }
            } else {
                element(root, 0);
            }
        }
        return flush();
    }

    // Serialises into its own buffer, for the helper of childrenOnTwoThreads.
    Writer() = default;
    // The children [first, end) (end: null for all the rest), at depth.
    void run(const XmlElement *first, const XmlElement *end, int depth, std::string &out)
    {
        m_out.swap(out);
        m_out.clear();
        for (const XmlElement *child = first; child != end; child = child->nextSibling)
            element(child, depth);
        m_out.swap(out);
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
        m_ok = m_device->write(m_out.data(), qint64(m_out.size())) == qint64(m_out.size());
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
        if (startTag(element, depth)) {
            for (const XmlElement *child = element->firstChild; child; child = child->nextSibling)
                this->element(child, depth + 1);
            endTag(element, depth);
        }
        if (m_device && m_out.size() >= kFlushSize)
            flush();
    }

    // The element's start tag; true when it is not empty-element tag, so
    // its content and end tag follow.
    bool startTag(const XmlElement *element, int depth)
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
            return false;
        }
        m_out.push_back('>');
        if (!hasText)
            m_out.append(kLineEnd);
        return true;
    }

    // The element's text (after its children) or the indentation, then its end tag.
    void endTag(const XmlElement *element, int depth)
    {
        if (xml_element_has_text(element))
            appendEscapedPlain(m_out, xml_element_text(element), false);
        else
            m_out.append(size_t(depth) * 3, ' ');
        m_out.append("</");
        appendUtf8(m_out, element->name.text());
        m_out.push_back('>');
        m_out.append(kLineEnd);
    }

    // The root's children on two threads: runs of children serialised
    // alternately by this thread and a helper (WriteRunsOnTwoThreads). The
    // bytes are those of the one-thread walk.
    void childrenOnTwoThreads(const XmlElement *parent, int depth);

    struct NameBytes {
        const QString *name;
        bool attribute;
        std::string bytes;
    };
    static constexpr size_t kNamesKept = 16;

    QIODevice *m_device = nullptr;  // null: the helper, which only fills buffers
    std::string m_out;
    std::vector<NameBytes> m_names;  // most recently added first
    bool m_ok = true;
};

void Writer::childrenOnTwoThreads(const XmlElement *parent, int depth)
{
    // Where each run starts; the last run ends at the list's end (null).
    const int runElements = std::max(1, g_runElements.load(std::memory_order_relaxed));
    std::vector<const XmlElement *> starts;
    int index = 0;
    for (const XmlElement *child = parent->firstChild; child; child = child->nextSibling, ++index) {
        if (index % runElements == 0)
            starts.push_back(child);
    }
    auto runEnd = [&](size_t run) { return run + 1 < starts.size() ? starts[run + 1] : nullptr; };
    if (!flush())
        return;
    // One writer for each thread's runs (even runs here, odd ones on the
    // helper), since a writer keeps the bytes of the names it met.
    Writer writers[2];
    for (Writer &writer : writers)
        writer.m_names.reserve(kNamesKept);
    m_ok = WriteRunsOnTwoThreads(*m_device, starts.size(), [&](size_t run, std::string &out) {
        writers[run % 2].run(starts[run], runEnd(run), depth, out);
    });
}

} // namespace

void xml_writer_set_two_threads(int fromChildren, int runElements)
{
    g_twoThreadsFrom.store(fromChildren, std::memory_order_relaxed);
    g_runElements.store(runElements, std::memory_order_relaxed);
}

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
