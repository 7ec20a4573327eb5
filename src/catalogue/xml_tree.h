#pragma once
// A small element tree: names, attributes in document order, trimmed element
// text and the hierarchy. Comments, processing instructions and the document
// type are not kept. The parser (xml_parser.h) builds it, the writer
// (xml_writer.h) turns it back into bytes.
//
// Memory: a language file of 300,000 strings is a tree of 300,000 elements
// and a million attributes, so nodes are small and come from the document's
// own arena (freeing the document releases them in a few large blocks), and
// element and attribute names are held once per document.
//
// Attribute values are held in one of three forms:
//  - plain: the value as an XML reader returns it (entities decoded). The
//    parser stores values this way; the writer escapes them.
//  - file form: the caller already escaped the value (stores "&amp;" etc.
//    itself); the writer writes it as it stands, only making sure it cannot
//    break the markup.
//  - catalogue text: a text in the catalogue's memory form (line breaks as
//    the escapes \n, \r, \r\n); the writer writes what EscapeForFile gives
//    for it. The language-file code stores entries this way, so a save
//    shares the entry's strings instead of making escaped copies.
// xml_attribute_value() returns what is stored; xml_attribute_text() returns
// the plain value in every form, i.e. what reading the written file gives.

#include <QString>
#include <QStringView>

#include <cstdint>

struct XmlDocument;
struct XmlStore;

// A name held once by its document and shared by the nodes that use it. The
// record also knows the document, so a node needs no pointer of its own to
// reach the arena it came from.
struct XmlNameRecord {
    QString text;
    XmlDocument *document = nullptr;
};

class XmlName {
public:
    XmlName() = default;
    explicit XmlName(const XmlNameRecord *record) : m_bits(reinterpret_cast<std::uintptr_t>(record)) {}
    const QString &text() const;
    XmlDocument *document() const { return record() ? record()->document : nullptr; }
    bool isNull() const { return record() == nullptr; }
    // The same record: the same name of the same document.
    bool is(const XmlName &other) const { return record() == other.record(); }
    friend bool operator==(const XmlName &a, const XmlName &b) { return a.is(b) || a.text() == b.text(); }
    friend bool operator==(const XmlName &a, const QString &b) { return a.text() == b; }
    friend bool operator==(const XmlName &a, QStringView b) { return QStringView(a.text()) == b; }
    template <size_t N>
    friend bool operator==(const XmlName &a, const char16_t (&b)[N])
    {
        return QStringView(a.text()) == QStringView(b);
    }

    // Three spare bits of the record's address, for the node that holds the name.
    unsigned tag(unsigned mask) const { return unsigned(m_bits & mask & kTagMask); }
    void setTag(unsigned mask, unsigned tag)
    {
        m_bits = (m_bits & ~std::uintptr_t(mask & kTagMask)) | (std::uintptr_t(tag & mask & kTagMask));
    }

private:
    static constexpr std::uintptr_t kTagMask = 7;
    const XmlNameRecord *record() const { return reinterpret_cast<const XmlNameRecord *>(m_bits & ~kTagMask); }
    std::uintptr_t m_bits = 0;
};

// XmlCatalogueTextAsRead is catalogue text known to read back as itself
// (unescaping what reading the written file gives returns the very text):
// the reader stores entry texts so after checking that; it is written and
// read as catalogue text.
enum XmlValueForm : unsigned char {
    XmlPlainValue = 0,
    XmlFileFormValue = 1,
    XmlCatalogueTextValue = 2,
    XmlCatalogueTextAsRead = 3,
};

// An element's attributes are a list in document order. The parser puts
// them one after another in memory, so the link to the next one is a bit in
// the name's tag ("the next attribute follows this one"); the document keeps
// the few links that do not fit that. Walk them with
// xml_element_next_attribute.
struct XmlAttribute {
    static constexpr unsigned kFormBits = 3;
    static constexpr unsigned kNextFollows = 4;

    XmlName name;  // its tag holds the form of the value and the link bit
    QString value;

    XmlValueForm form() const { return XmlValueForm(name.tag(kFormBits)); }
    void setForm(XmlValueForm form) { name.setTag(kFormBits, form); }
};

struct XmlAttributeList {
    XmlAttribute *first = nullptr;
    XmlAttribute *last = nullptr;
    int count = 0;
};

struct XmlElement {
    XmlName name;  // the element's text, which few elements have, is held by the document
    XmlAttributeList attributes;
    int childCount = 0;
    XmlElement *parent = nullptr;
    XmlElement *firstChild = nullptr;
    XmlElement *previousSibling = nullptr;
    XmlElement *nextSibling = nullptr;
    XmlElement *lastChild = nullptr;

    XmlDocument *document() const { return name.document(); }
};

struct XmlDocument {
    QString version;   // null until set
    QString encoding;  // null until set
    int standalone = 0;
    XmlElement *root = nullptr;
    XmlStore *store = nullptr;  // arena and names; owned
};

// Failure codes kept per thread, as the last failing operation left them.
enum XmlError { XmlErrorNone = 0, XmlErrorMemory = 1, XmlErrorFile = 2, XmlErrorMalformed = 4 };
int xml_last_error();
void xml_set_error(int code);

XmlDocument *xml_document_new();
void xml_document_free(XmlDocument *document);
void xml_document_set_version(XmlDocument *document, const QString &version);
void xml_document_set_encoding(XmlDocument *document, const QString &encoding);
// Makes a new root element; a previous root and its subtree are freed.
XmlElement *xml_document_set_root(XmlDocument *document, const QString &name);
XmlElement *xml_document_root(const XmlDocument *document);
// The document's shared copy of a name (made on first use).
XmlName xml_document_name(XmlDocument *document, const QString &name);

QString xml_element_name(const XmlElement *element);
QString xml_element_text(const XmlElement *element);
bool xml_element_has_text(const XmlElement *element);
// Appends to the element's text (the parser's character data).
void xml_element_append_text(XmlElement *element, QStringView text);
// Replaces the element's text; a null text removes it.
void xml_element_set_text(XmlElement *element, const QString &text);
XmlAttribute *xml_element_next_attribute(const XmlElement *element, const XmlAttribute *previous);
XmlAttribute *xml_element_find_attribute(const XmlElement *element, const QString &name);
// Stores a value the caller has already escaped (file form).
XmlAttribute *xml_element_set_attribute(XmlElement *element, const QString &name, const QString &value);
// Stores a plain value; the writer escapes it.
XmlAttribute *xml_element_set_attribute_text(XmlElement *element, const QString &name, const QString &value);
// Stores a text in the catalogue's memory form (see above).
XmlAttribute *xml_element_set_attribute_catalogue_text(XmlElement *element, const QString &name,
                                                       const QString &value);
// Appends a plain value without looking for an attribute of the same name;
// for the parser, whose input cannot repeat a name within one element.
XmlAttribute *xml_element_append_attribute_text(XmlElement *element, XmlName name, const QString &value);
// Appends count plain values at once, held one after another in memory (the
// parser's attributes of one element): the list then needs no links kept by
// the document, so walking it reads only the element's own attributes (a
// reader on another thread may walk it while the parser goes on).
void xml_element_append_parsed_attributes(XmlElement *element, const XmlName *names, QString *values, int count);
// The same for a catalogue text, for writers that build new elements (the
// name comes from xml_document_name, looked up once).
XmlAttribute *xml_element_append_attribute_catalogue_text(XmlElement *element, XmlName name, const QString &value);
void xml_element_remove_attribute(XmlElement *element, const QString &name);
XmlElement *xml_element_next_child(const XmlElement *element, const XmlElement *previous);
XmlElement *xml_element_add_child(XmlElement *element, const QString &name);
XmlElement *xml_element_add_named_child(XmlElement *element, XmlName name);
// Unlinks the element and frees it with its subtree (without recursion, so a
// deep tree cannot exhaust the stack).
void xml_element_free(XmlElement *element);

QString xml_attribute_name(const XmlAttribute *attribute);
QString xml_attribute_value(const XmlAttribute *attribute);
QString xml_attribute_text(const XmlAttribute *attribute);
// Plain value of the named attribute, or a null string when it is absent.
QString xml_element_attribute_text(const XmlElement *element, const QString &name);
