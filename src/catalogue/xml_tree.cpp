#include "catalogue/xml_tree.h"

#include "catalogue/file_text.h"
#include "catalogue/xml_escape.h"

#include <QHash>
#include <cstddef>
#include <deque>
#include <memory>
#include <new>
#include <vector>

// The nodes of one document come from this arena: blocks that grow from 4 KiB
// to 256 KiB, handed out front to back. Nodes are never returned one by one
// (a removed attribute is kept for reuse); the blocks go with the document.
struct XmlStore {
    std::vector<std::unique_ptr<std::byte[]>> blocks;
    std::byte *next = nullptr;
    size_t left = 0;
    size_t blockSize = 4096;
    XmlDocument *document = nullptr;
    std::deque<XmlNameRecord> names;  // a deque: the records never move
    QHash<QString, const XmlNameRecord *> nameIndex;
    std::vector<XmlAttribute *> spareAttributes;
    // Links to the next attribute where it does not follow in memory.
    QHash<const XmlAttribute *, XmlAttribute *> nextAttribute;
    QHash<const XmlElement *, QString> texts;  // the few elements that have text

    void *allocate(size_t size)
    {
        // Every node holds pointers and QStrings, so pointer alignment is enough.
        size = (size + alignof(void *) - 1) & ~(alignof(void *) - 1);
        if (size > left) {
            blocks.emplace_back(new std::byte[blockSize]);
            next = blocks.back().get();
            left = blockSize;
            if (blockSize < (size_t(256) << 10))
                blockSize *= 2;
        }
        void *p = next;
        next += size;
        left -= size;
        return p;
    }

    XmlName name(const QString &text)
    {
        if (const XmlNameRecord *known = nameIndex.value(text))
            return XmlName(known);
        names.push_back(XmlNameRecord{text, document});
        nameIndex.insert(text, &names.back());
        return XmlName(&names.back());
    }
};

namespace {
thread_local int t_lastError = XmlErrorNone;

const QString &emptyName()
{
    static const QString empty;
    return empty;
}

XmlAttribute *nextOf(const XmlElement *element, const XmlAttribute *attribute)
{
    if (attribute == element->attributes.last)
        return nullptr;
    if (attribute->name.tag(XmlAttribute::kNextFollows))
        return const_cast<XmlAttribute *>(attribute) + 1;
    return element->document()->store->nextAttribute.value(attribute);
}

// Makes `next` follow `attribute` in its element's list (null: none).
void link(XmlStore *store, XmlAttribute *attribute, XmlAttribute *next)
{
    const bool follows = next && next == attribute + 1;
    attribute->name.setTag(XmlAttribute::kNextFollows, follows ? XmlAttribute::kNextFollows : 0);
    if (follows || !next)
        store->nextAttribute.remove(attribute);
    else
        store->nextAttribute.insert(attribute, next);
}

XmlAttribute *findAttribute(const XmlElement *element, QStringView name, XmlAttribute **previous = nullptr)
{
    XmlAttribute *before = nullptr;
    for (XmlAttribute *a = element->attributes.first; a; a = nextOf(element, a)) {
        if (a->name == name) {
            if (previous)
                *previous = before;
            return a;
        }
        before = a;
    }
    return nullptr;
}

XmlAttribute *newAttribute(XmlElement *element, XmlName name, const QString &value, XmlValueForm form)
{
    XmlStore *store = element->document()->store;
    void *memory;
    if (!store->spareAttributes.empty()) {
        memory = store->spareAttributes.back();
        store->spareAttributes.pop_back();
    } else {
        memory = store->allocate(sizeof(XmlAttribute));
    }
    auto *attribute = new (memory) XmlAttribute{name, value};
    attribute->name.setTag(XmlAttribute::kNextFollows, 0);
    attribute->setForm(form);
    return attribute;
}

void releaseAttribute(XmlStore *store, XmlAttribute *attribute)
{
    if (!store->nextAttribute.isEmpty())
        store->nextAttribute.remove(attribute);
    attribute->~XmlAttribute();
    store->spareAttributes.push_back(attribute);  // the memory stays for reuse
}

XmlAttribute *appendAttribute(XmlElement *element, XmlName name, const QString &value, XmlValueForm form)
{
    XmlAttributeList &list = element->attributes;
    XmlAttribute *fresh = newAttribute(element, name, value, form);
    if (list.last)
        link(element->document()->store, list.last, fresh);
    else
        list.first = fresh;
    list.last = fresh;
    ++list.count;
    return fresh;
}

// Replaces the value of an existing attribute of the same name (keeping its
// place), or appends a new attribute.
XmlAttribute *storeAttribute(XmlElement *element, const QString &name, const QString &value, XmlValueForm form)
{
    if (!element)
        return nullptr;
    if (XmlAttribute *old = findAttribute(element, name)) {
        old->value = value;
        old->setForm(form);
        return old;
    }
    return appendAttribute(element, element->document()->store->name(name), value, form);
}

XmlElement *newElement(XmlDocument *document, XmlName name)
{
    auto *element = new (document->store->allocate(sizeof(XmlElement))) XmlElement;
    element->name = name;
    return element;
}

// Runs the destructors of an element, its attributes and its whole subtree,
// depth first without recursion. The element must already be unlinked from
// its parent; the memory stays in the arena, its attributes for reuse unless
// the whole document goes.
void destroySubtree(XmlElement *top, bool wholeDocument = false)
{
    XmlStore *store = top->document()->store;
    XmlElement *element = top;
    while (element) {
        if (XmlElement *child = element->firstChild) {
            element->firstChild = nullptr;  // visited: the element is a leaf on return
            element = child;
            continue;
        }
        XmlElement *next = element == top ? nullptr : (element->nextSibling ? element->nextSibling : element->parent);
        for (XmlAttribute *a = element->attributes.first; a;) {
            XmlAttribute *after = nextOf(element, a);
            if (wholeDocument)
                a->~XmlAttribute();
            else
                releaseAttribute(store, a);
            a = after;
        }
        if (!store->texts.isEmpty())
            store->texts.remove(element);
        element->~XmlElement();
        element = next;
    }
}

} // namespace

const QString &XmlName::text() const { return record() ? record()->text : emptyName(); }

int xml_last_error() { return t_lastError; }
void xml_set_error(int code) { t_lastError = code; }

XmlDocument *xml_document_new()
{
    auto *document = new XmlDocument;
    document->store = new XmlStore;
    document->store->document = document;
    return document;
}

void xml_document_free(XmlDocument *document)
{
    if (!document)
        return;
    if (document->root)
        destroySubtree(document->root, true);
    delete document->store;
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
    if (document->root)
        destroySubtree(document->root);
    document->root = newElement(document, document->store->name(name));
    return document->root;
}

XmlElement *xml_document_root(const XmlDocument *document) { return document ? document->root : nullptr; }

XmlName xml_document_name(XmlDocument *document, const QString &name)
{
    return document ? document->store->name(name) : XmlName();
}

QString xml_element_name(const XmlElement *element) { return element ? element->name.text() : QString(); }
QString xml_element_text(const XmlElement *element)
{
    return element ? element->document()->store->texts.value(element) : QString();
}

bool xml_element_has_text(const XmlElement *element)
{
    if (!element)
        return false;
    const auto &texts = element->document()->store->texts;
    return !texts.isEmpty() && texts.contains(element);
}

void xml_element_append_text(XmlElement *element, QStringView text)
{
    if (element)
        element->document()->store->texts[element].append(text);
}

void xml_element_set_text(XmlElement *element, const QString &text)
{
    if (!element)
        return;
    if (text.isNull())
        element->document()->store->texts.remove(element);
    else
        element->document()->store->texts.insert(element, text);
}

XmlAttribute *xml_element_next_attribute(const XmlElement *element, const XmlAttribute *previous)
{
    if (!element)
        return nullptr;
    return previous ? nextOf(element, previous) : element->attributes.first;
}

XmlAttribute *xml_element_find_attribute(const XmlElement *element, const QString &name)
{
    if (!element || name.isNull())
        return nullptr;
    return findAttribute(element, name);
}

XmlAttribute *xml_element_set_attribute(XmlElement *element, const QString &name, const QString &value)
{
    return storeAttribute(element, name, value, XmlFileFormValue);
}

XmlAttribute *xml_element_set_attribute_text(XmlElement *element, const QString &name, const QString &value)
{
    return storeAttribute(element, name, value, XmlPlainValue);
}

XmlAttribute *xml_element_set_attribute_catalogue_text(XmlElement *element, const QString &name,
                                                       const QString &value)
{
    return storeAttribute(element, name, value, XmlCatalogueTextValue);
}

XmlAttribute *xml_element_append_attribute_text(XmlElement *element, XmlName name, const QString &value)
{
    return element ? appendAttribute(element, name, value, XmlPlainValue) : nullptr;
}

void xml_element_append_parsed_attributes(XmlElement *element, const XmlName *names, QString *values, int count)
{
    if (!element || count <= 0)
        return;
    XmlAttributeList &list = element->attributes;
    XmlStore *store = element->document()->store;
    auto *block = static_cast<XmlAttribute *>(store->allocate(sizeof(XmlAttribute) * size_t(count)));
    for (int i = 0; i < count; ++i) {
        auto *attribute = new (block + i) XmlAttribute{names[i], std::move(values[i])};
        attribute->setForm(XmlPlainValue);
        attribute->name.setTag(XmlAttribute::kNextFollows, i + 1 < count ? XmlAttribute::kNextFollows : 0);
    }
    if (list.last)
        link(store, list.last, block);
    else
        list.first = block;
    list.last = block + count - 1;
    list.count += count;
}

XmlAttribute *xml_element_append_attribute_catalogue_text(XmlElement *element, XmlName name, const QString &value)
{
    return element ? appendAttribute(element, name, value, XmlCatalogueTextValue) : nullptr;
}

void xml_element_remove_attribute(XmlElement *element, const QString &name)
{
    if (!element)
        return;
    XmlAttribute *previous = nullptr;
    XmlAttribute *a = findAttribute(element, name, &previous);
    if (!a)
        return;
    XmlAttributeList &list = element->attributes;
    XmlStore *store = element->document()->store;
    XmlAttribute *after = nextOf(element, a);
    if (list.last == a)
        list.last = previous;
    if (previous)
        link(store, previous, after);
    else
        list.first = after;
    --list.count;
    releaseAttribute(store, a);
}

XmlElement *xml_element_next_child(const XmlElement *element, const XmlElement *previous)
{
    if (previous)
        return previous->nextSibling;
    return element ? element->firstChild : nullptr;
}

XmlElement *xml_element_add_named_child(XmlElement *element, XmlName name)
{
    if (!element)
        return nullptr;
    XmlElement *child = newElement(element->document(), name);
    child->parent = element;
    child->previousSibling = element->lastChild;
    (element->lastChild ? element->lastChild->nextSibling : element->firstChild) = child;
    element->lastChild = child;
    ++element->childCount;
    return child;
}

XmlElement *xml_element_add_child(XmlElement *element, const QString &name)
{
    if (!element)
        return nullptr;
    return xml_element_add_named_child(element, element->document()->store->name(name));
}

void xml_element_free(XmlElement *element)
{
    if (!element)
        return;
    if (XmlElement *parent = element->parent) {
        (element->previousSibling ? element->previousSibling->nextSibling : parent->firstChild) = element->nextSibling;
        (element->nextSibling ? element->nextSibling->previousSibling : parent->lastChild) = element->previousSibling;
        --parent->childCount;
    } else if (element->document() && element->document()->root == element) {
        element->document()->root = nullptr;
    }
    element->parent = nullptr;
    element->nextSibling = element->previousSibling = nullptr;
    destroySubtree(element);
}

QString xml_attribute_name(const XmlAttribute *attribute) { return attribute ? attribute->name.text() : QString(); }
QString xml_attribute_value(const XmlAttribute *attribute) { return attribute ? attribute->value : QString(); }

QString xml_attribute_text(const XmlAttribute *attribute)
{
    if (!attribute)
        return QString();
    switch (attribute->form()) {
    case XmlFileFormValue: return decodeFileFormValue(attribute->value);
    case XmlCatalogueTextValue:
    case XmlCatalogueTextAsRead: return decodeFileFormValue(EscapeForFile(attribute->value));
    default: return attribute->value;
    }
}

QString xml_element_attribute_text(const XmlElement *element, const QString &name)
{
    return element ? xml_attribute_text(findAttribute(element, name)) : QString();
}
