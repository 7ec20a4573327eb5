#include "catalogue/xml_tree.h"

#include "catalogue/xml_escape.h"

namespace {
thread_local int t_lastError = XmlErrorNone;

XmlAttribute *findAttribute(const XmlElement *element, QStringView name)
{
    for (XmlAttribute *a = element->attributes.first; a; a = a->next) {
        if (a->name == name)
            return a;
    }
    return nullptr;
}

void freeAttributes(XmlAttributeList &list)
{
    XmlAttribute *a = list.first;
    while (a) {
        XmlAttribute *next = a->next;
        delete a;
        a = next;
    }
    list = XmlAttributeList();
}

XmlAttribute *appendAttribute(XmlElement *element, const QString &name, const QString &value, bool fileForm)
{
    XmlAttributeList &list = element->attributes;
    auto *fresh = new XmlAttribute{name, value, fileForm, nullptr, nullptr};
    fresh->previous = list.last;
    (list.last ? list.last->next : list.first) = fresh;
    list.last = fresh;
    ++list.count;
    return fresh;
}

// Replaces the value of an existing attribute of the same name (keeping its
// place), or appends a new attribute.
XmlAttribute *storeAttribute(XmlElement *element, const QString &name, const QString &value, bool fileForm)
{
    if (!element)
        return nullptr;
    if (XmlAttribute *old = findAttribute(element, name)) {
        old->value = value;
        old->fileForm = fileForm;
        return old;
    }
    return appendAttribute(element, name, value, fileForm);
}

} // namespace

int xml_last_error() { return t_lastError; }
void xml_set_error(int code) { t_lastError = code; }

XmlDocument *xml_document_new() { return new XmlDocument; }

void xml_document_free(XmlDocument *document)
{
    if (!document)
        return;
    xml_element_free(document->root);
    delete document;
}

void xml_document_set_version(XmlDocument *document, const QString &version)
{
    if (document)
        document->version = version;
}

void xml_document_set_encoding(XmlDocument *document, const QString &encoding)
{
    if (document)
        document->encoding = encoding;
}

XmlElement *xml_document_set_root(XmlDocument *document, const QString &name)
{
    if (!document)
        return nullptr;
    // The previous root is left to the caller, as with any unlinked subtree.
    document->root = new XmlElement;
    document->root->name = name;
    return document->root;
}

XmlElement *xml_document_root(const XmlDocument *document) { return document ? document->root : nullptr; }

QString xml_element_name(const XmlElement *element) { return element ? element->name : QString(); }
QString xml_element_text(const XmlElement *element) { return element ? element->text : QString(); }

XmlAttribute *xml_element_next_attribute(const XmlElement *element, const XmlAttribute *previous)
{
    if (previous)
        return previous->next;
    return element ? element->attributes.first : nullptr;
}

XmlAttribute *xml_element_find_attribute(const XmlElement *element, const QString &name)
{
    if (!element || name.isNull())
        return nullptr;
    return findAttribute(element, name);
}

XmlAttribute *xml_element_set_attribute(XmlElement *element, const QString &name, const QString &value)
{
    return storeAttribute(element, name, value, true);
}

XmlAttribute *xml_element_set_attribute_text(XmlElement *element, const QString &name, const QString &value)
{
    return storeAttribute(element, name, value, false);
}

XmlAttribute *xml_element_append_attribute_text(XmlElement *element, const QString &name, const QString &value)
{
    return element ? appendAttribute(element, name, value, false) : nullptr;
}

void xml_element_remove_attribute(XmlElement *element, const QString &name)
{
    if (!element)
        return;
    XmlAttribute *a = findAttribute(element, name);
    if (!a)
        return;
    XmlAttributeList &list = element->attributes;
    (a->previous ? a->previous->next : list.first) = a->next;
    (a->next ? a->next->previous : list.last) = a->previous;
    --list.count;
    delete a;
}

XmlElement *xml_element_next_child(const XmlElement *element, const XmlElement *previous)
{
    if (previous)
        return previous->nextSibling;
    return element ? element->firstChild : nullptr;
}

XmlElement *xml_element_add_child(XmlElement *element, const QString &name)
{
    if (!element)
        return nullptr;
    auto *child = new XmlElement;
    child->name = name;
    child->parent = element;
    child->previousSibling = element->lastChild;
    (element->lastChild ? element->lastChild->nextSibling : element->firstChild) = child;
    element->lastChild = child;
    ++element->childCount;
    return child;
}

void xml_element_free(XmlElement *element)
{
    if (!element)
        return;
    if (element->parent) {
        XmlElement *parent = element->parent;
        (element->previousSibling ? element->previousSibling->nextSibling : parent->firstChild) = element->nextSibling;
        (element->nextSibling ? element->nextSibling->previousSibling : parent->lastChild) = element->previousSibling;
        --parent->childCount;
    }
    // Children are freed without unlinking each one from this element.
    XmlElement *child = element->firstChild;
    while (child) {
        XmlElement *next = child->nextSibling;
        child->parent = nullptr;
        xml_element_free(child);
        child = next;
    }
    freeAttributes(element->attributes);
    delete element;
}

QString xml_attribute_name(const XmlAttribute *attribute) { return attribute ? attribute->name : QString(); }
QString xml_attribute_value(const XmlAttribute *attribute) { return attribute ? attribute->value : QString(); }

QString xml_attribute_text(const XmlAttribute *attribute)
{
    if (!attribute)
        return QString();
    return attribute->fileForm ? decodeFileFormValue(attribute->value) : attribute->value;
}

QString xml_element_attribute_text(const XmlElement *element, const QString &name)
{
    return element ? xml_attribute_text(findAttribute(element, name)) : QString();
}
