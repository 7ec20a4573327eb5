#pragma once
// A small element tree: names, attributes in document order, trimmed element
// text and the hierarchy. Comments, processing instructions and the document
// type are not kept. The parser (xml_parser.h) builds it, the writer
// (xml_writer.h) turns it back into bytes.
//
// Attribute values are held in one of two forms:
//  - plain: the value as an XML reader returns it (entities decoded). The
//    parser stores values this way; the writer escapes them.
//  - file form: the caller already escaped the value (the language-file code
//    stores "&amp;" etc. itself); the writer writes it as it stands, only
//    making sure it cannot break the markup.
// xml_attribute_value() returns what is stored; xml_attribute_text() returns
// the plain value in both cases, i.e. what reading the written file gives.

#include <QString>

struct XmlAttribute {
    QString name;
    QString value;
    bool fileForm = false;
    XmlAttribute *previous = nullptr;
    XmlAttribute *next = nullptr;
};

struct XmlAttributeList {
    int count = 0;
    XmlAttribute *first = nullptr;
    XmlAttribute *last = nullptr;
};

struct XmlElement {
    QString name;
    QString text;  // null when the element has no (non-blank) text
    XmlAttributeList attributes;
    int childCount = 0;
    XmlElement *parent = nullptr;
    XmlElement *firstChild = nullptr;
    XmlElement *previousSibling = nullptr;
    XmlElement *nextSibling = nullptr;
    XmlElement *lastChild = nullptr;
};

struct XmlDocument {
    QString version;   // null until set
    QString encoding;  // null until set
    int standalone = 0;
    XmlElement *root = nullptr;
};

// Failure codes kept per thread, as the last failing operation left them.
enum XmlError { XmlErrorNone = 0, XmlErrorMemory = 1, XmlErrorFile = 2, XmlErrorMalformed = 4 };
int xml_last_error();
void xml_set_error(int code);

XmlDocument *xml_document_new();
void xml_document_free(XmlDocument *document);
void xml_document_set_version(XmlDocument *document, const QString &version);
void xml_document_set_encoding(XmlDocument *document, const QString &encoding);
XmlElement *xml_document_set_root(XmlDocument *document, const QString &name);
XmlElement *xml_document_root(const XmlDocument *document);

QString xml_element_name(const XmlElement *element);
QString xml_element_text(const XmlElement *element);
XmlAttribute *xml_element_next_attribute(const XmlElement *element, const XmlAttribute *previous);
XmlAttribute *xml_element_find_attribute(const XmlElement *element, const QString &name);
// Stores a value the caller has already escaped (file form).
XmlAttribute *xml_element_set_attribute(XmlElement *element, const QString &name, const QString &value);
// Stores a plain value; the writer escapes it.
XmlAttribute *xml_element_set_attribute_text(XmlElement *element, const QString &name, const QString &value);
// Appends a plain value without looking for an attribute of the same name;
// for the parser, whose input cannot repeat a name within one element.
XmlAttribute *xml_element_append_attribute_text(XmlElement *element, const QString &name, const QString &value);
void xml_element_remove_attribute(XmlElement *element, const QString &name);
XmlElement *xml_element_next_child(const XmlElement *element, const XmlElement *previous);
XmlElement *xml_element_add_child(XmlElement *element, const QString &name);
void xml_element_free(XmlElement *element);

QString xml_attribute_name(const XmlAttribute *attribute);
QString xml_attribute_value(const XmlAttribute *attribute);
QString xml_attribute_text(const XmlAttribute *attribute);
// Plain value of the named attribute, or a null string when it is absent.
QString xml_element_attribute_text(const XmlElement *element, const QString &name);
