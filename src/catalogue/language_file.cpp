// Reading a language file into a catalogue and writing a catalogue back.

#include "catalogue/document.h"

#include "catalogue/catalogue_reading.h"
#include "catalogue/file_text.h"
#include "catalogue/flat_elements.h"
#include "catalogue/safe_file.h"
#include "catalogue/text_order.h"
#include "catalogue/xml_escape.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"
#include "catalogue/xml_writer.h"

#include <QIODevice>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

const QString kLanguage = QStringLiteral("Language");
const QString kAllowLength = QStringLiteral("AllowLength");
const QString kCodeType = QStringLiteral("CodeType");
const QString kFrom = QStringLiteral("from");
const QString kTo = QStringLiteral("to");
const QString kKey = QStringLiteral("key");
const QString kIsTrans = QStringLiteral("IsTrans");
const QString kFalse = QStringLiteral("false");

XmlDocumentPtr newLanguageTree()
{
    XmlDocument *document = xml_document_new();
    xml_document_set_version(document, QStringLiteral("1.0"));
    xml_document_set_encoding(document, QStringLiteral("UTF-8"));
    xml_document_set_root(document, kLanguage);
    return makeDocumentPtr(document);
}

std::atomic<int> g_twoThreadApplyFrom{16384};

QString codeTypeText(int codeType)
{
    switch (codeType) {
    case CodeTypeCpp: return QStringLiteral("CPlus2");
    case CodeTypeQt: return QStringLiteral("QT");
    default: return QStringLiteral("");
    }
}

} // namespace

int CRendaroDoc::LoadCatalogue(const QString &path, bool mergeIntoMaster)
{
    if (!mergeIntoMaster)
        return AddReadCatalogue(ReadCatalogueFile(path, CatalogueParts::TreeAndEntries, m_nextCatalogueId));
    if (!m_catalogues[0].tree)
        m_catalogues[0].tree = newLanguageTree();
    m_lastErrorText.clear();
    // The master takes entries only from a file that parsed completely, so
    // they are read after the parse.
    XmlDocument *document = xml_parse_file(path, &m_lastErrorText);
    if (!document)
        return -1;
    CXMLStruct loaded;
    loaded.catalogueId = m_nextCatalogueId++;
    loaded.filePath = path;
    loaded.tree = makeDocumentPtr(document);
    ReadEntriesFromTree(loaded, &m_catalogues[0].entries, document->root, true);
    loaded.keys.squeeze();  // grown by doubling while reading
    m_catalogues.push_back(std::move(loaded));
    return m_catalogues.back().catalogueId;
}

int CRendaroDoc::LoadCatalogueEntries(const QString &path)
{
    return AddReadCatalogue(ReadCatalogueFile(path, CatalogueParts::Entries, m_nextCatalogueId));
}

int CRendaroDoc::LoadCatalogueForSave(const QString &path)
{
    return AddReadCatalogue(ReadCatalogueFile(path, CatalogueParts::FlatTreeAndEntries, m_nextCatalogueId));
}

int CRendaroDoc::LoadCatalogueForEditing(const QString &path)
{
    return AddReadCatalogue(ReadCatalogueFile(path, CatalogueParts::FlatTreeAndOwnedEntries, m_nextCatalogueId));
}

XmlDocumentPtr CRendaroDoc::FullTreeOf(const CXMLStruct &catalogue, QString *reason)
{
    if (!catalogue.flat)
        return catalogue.tree;
    XmlDocument *document = xml_parse_file(catalogue.filePath, reason);
    return document ? makeDocumentPtr(document) : nullptr;
}

QStringList CRendaroDoc::KeysInFileOrder(const CXMLStruct &catalogue)
{
    if (!catalogue.flat)
        return catalogue.keys;
    const FlatElements &flat = *catalogue.flat;
    QStringList keys;
    keys.reserve(qsizetype(flat.entries.size()));
    for (size_t i = 0; i < flat.entries.size(); ++i) {
        if (flat.shapes[i].has(FlatAttribute::Key))
            keys.append(flat.key(i, catalogue.entries.byNumber(flat.entries[i])));
    }
    return keys;
}

void CRendaroDoc::ExpandFlatElements(CXMLStruct &catalogue)
{
    if (!catalogue.flat)
        return;
    // The list of keys met, which a catalogue held flat finds in its elements.
    catalogue.keys = KeysInFileOrder(catalogue);
    const std::shared_ptr<const FlatElements> flat = std::move(catalogue.flat);
    catalogue.flat.reset();
    if (!catalogue.tree || !catalogue.tree->root)
        return;
    XmlDocument *tree = catalogue.tree.get();
    XmlElement *root = tree->root;
    const XmlName name = xml_document_name(tree, flat->name), from = xml_document_name(tree, kFrom),
                  to = xml_document_name(tree, kTo), key = xml_document_name(tree, kKey),
                  isTrans = xml_document_name(tree, kIsTrans);
    for (size_t i = 0; i < flat->entries.size(); ++i) {
        const StringEntry &entry = catalogue.entries.byNumber(flat->entries[i]);
        const FlatShape shape = flat->shapes[i];
        XmlElement *element = xml_element_add_named_child(root, name);
        // The attributes in the element's order; a save puts the entry's
        // values in (and drops an IsTrans a translatable entry does not need).
        for (int a = 0; a < shape.count(); ++a) {
            switch (shape.at(a)) {
            case FlatAttribute::From:
                xml_element_append_attribute_catalogue_text(element, from, entry.original);
                break;
            case FlatAttribute::To:
                xml_element_append_attribute_catalogue_text(element, to,
                                                            entry.translatable ? entry.translation : entry.original);
                break;
            case FlatAttribute::Key: xml_element_append_attribute_text(element, key, flat->key(i, entry)); break;
            case FlatAttribute::IsTrans: xml_element_append_attribute_text(element, isTrans, kFalse); break;
            }
        }
    }
}

int CRendaroDoc::AddReadCatalogue(ReadCatalogue &&read)
{
    m_lastErrorText = read.errorText;
    if (!read.ok)
        return -1;
    CXMLStruct &catalogue = read.catalogue;
    const int id = m_nextCatalogueId++;
    if (catalogue.catalogueId != id) {
        // Read ahead under another identifier: the entries say this one.
        for (size_t number = 0; number < catalogue.entries.size(); ++number)
            catalogue.entries.byNumber(number).catalogueIds = {id};
        catalogue.catalogueId = id;
    }
    m_catalogues.push_back(std::move(catalogue));
    return id;
}

bool CRendaroDoc::MergeReadCatalogue(ReadCatalogue &&read)
{
    if (!m_catalogues[0].tree)
        m_catalogues[0].tree = newLanguageTree();
    m_lastErrorText = read.errorText;
    if (!read.ok)
        return false;
    // The file's identifier is used up as a load that is closed again uses
    // it; the master's entries name it as the file they came from.
    const int id = m_nextCatalogueId++;
    for (MergeItem &item : read.mergeItems)
        item.entry.catalogueIds = {id};
    MergeItemsIntoMaster(m_catalogues[0].entries, std::move(read.mergeItems));
    return true;
}

void CRendaroDoc::ReadEntries(int index, XmlElement *element, bool mergeIntoMaster, bool readCodeType)
{
    CXMLStruct *catalogue = catalogueAt(index);
    if (!catalogue || !element)
        return;
    ReadEntriesFromTree(*catalogue, mergeIntoMaster && index != 0 ? &m_catalogues[0].entries : nullptr, element,
                        readCodeType);
}

bool CRendaroDoc::SaveCatalogue(int catalogueId, const QString &path, bool keepTree, DurableWriteBatch *batch,
                                int *batchFile)
{
    m_lastErrorText.clear();
    const int index = FindCatalogueIndex(catalogueId);
    if (index < 0)
        return fail(QStringLiteral("no catalogue has the identifier %1").arg(catalogueId));
    QString reason;
    return WriteCatalogueFile(m_catalogues[size_t(index)], path, keepTree, &reason, batch, batchFile) || fail(reason);
}

bool CRendaroDoc::WriteCatalogueFile(CXMLStruct &catalogue, const QString &path, bool keepTree, QString *reason,
                                     DurableWriteBatch *batch, int *batchFile)
{
    if (catalogue.flat) {
        const bool rootAlone = catalogue.tree && catalogue.tree->root && !catalogue.tree->root->firstChild;
        if (keepTree && rootAlone && catalogue.entries.size() == catalogue.flat->entriesRead)
            return WriteFlatCatalogueFile(catalogue, path, reason, batch, batchFile);
        if (keepTree && rootAlone) {
            // Entries added since the read get elements of their own, which
            // later saves keep where this one puts them: the tree holds them.
            ExpandFlatElements(catalogue);
        } else {
            catalogue.keys = KeysInFileOrder(catalogue);
            catalogue.flat.reset();
        }
    }
    if (!keepTree)
        catalogue.tree.reset();
    if (!catalogue.tree || !catalogue.tree->root)
        catalogue.tree = newLanguageTree();
    WrittenSet written(catalogue.entries.size(), 0);
    if (keepTree) {
        if (catalogue.tree->root->childCount >= g_twoThreadApplyFrom.load(std::memory_order_relaxed)
            && std::thread::hardware_concurrency() > 1) {
            ApplyOwnEntriesOnTwoThreads(catalogue, written);
        } else {
            size_t cursor = 0;
            ApplyEntriesToTree(catalogue.tree->root, catalogue, catalogue.entries, catalogue.entries, &written,
                               &cursor);
        }
    }
    AppendMissingEntries(catalogue, written, !keepTree);
    if (batch) {
        const int file = xml_document_add_to_batch(catalogue.tree.get(), *batch, path, reason);
        if (batchFile)
            *batchFile = file;
        if (file < 0)
            return false;
    } else if (!xml_document_write_file(catalogue.tree.get(), path, reason)) {
        return false;
    }
    catalogue.filePath = path;
    return true;
}

namespace {

// The memory form of an attribute's text, as reading the written file and
// unescaping it would give it. A text the reader stored as catalogue text is
// its own memory form; one stored by a save is, unless it holds one of the
// characters that the file form reads back differently.
QString memoryFormOf(const XmlAttribute *attribute)
{
    if (!attribute)
        return QString();
    if (attribute->form() == XmlCatalogueTextAsRead)
        return attribute->value;
    if (attribute->form() == XmlCatalogueTextValue) {
        const QString &value = attribute->value;
        const bool plain = std::none_of(value.cbegin(), value.cend(), [](QChar c) {
            return c == u'\\' || c == u'/' || c == u'&' || c == u'\r' || c == u'\n';
        });
        if (plain)
            return value;
    }
    return UnescapeFromFile(xml_attribute_text(attribute));
}

} // namespace

void CRendaroDoc::ApplyEntriesToTree(XmlElement *element, const CXMLStruct &catalogue, EntryMap &decide,
                                     const EntryMap &values, WrittenSet *written, size_t *cursor)
{
    if (!element)
        return;
    const bool sameTable = &decide == &values;
    if (element->name == kLanguage) {
        xml_element_set_attribute(element, kAllowLength, FormatLengthRatio(catalogue.lengthRatio));
        xml_element_set_attribute(element, kCodeType, codeTypeText(catalogue.codeType));
    } else {
        const QString original = memoryFormOf(xml_element_find_attribute(element, kFrom));
        StringEntry *own = nullptr;
        qsizetype number = -1;
        if (original.isEmpty()) {
            // an element without an original is no entry's
        } else if (sameTable) {
            if (cursor && *cursor < values.size() && values.byNumber(*cursor).original.isSharedWith(original)) {
                // The entries were read in document order, each sharing its
                // original with its element, so the next one is usually
                // this element's: no hash lookup needed.
                number = qsizetype((*cursor)++);
            } else {
                number = values.lookupNumber(original);
                if (cursor && number >= 0)
                    *cursor = std::max(*cursor, size_t(number) + 1);
            }
        } else {
            // The catalogue's own entry, found the same way (a merging load
            // reads the elements in document order too); the values come
            // from the other table.
            if (cursor && *cursor < decide.size() && decide.byNumber(*cursor).original == original) {
                own = &decide.byNumber((*cursor)++);
            } else {
                const qsizetype ownNumber = decide.lookupNumber(original);
                if (ownNumber >= 0) {
                    own = &decide.byNumber(size_t(ownNumber));
                    if (cursor)
                        *cursor = size_t(ownNumber) + 1;
                }
            }
            if (own)
                number = values.lookupNumber(original);
        }
        if (number >= 0) {
            if (written)
                (*written)[size_t(number)] = 1;
            const StringEntry &entry = values.byNumber(size_t(number));
            if (entry.translatable) {
                xml_element_set_attribute_catalogue_text(element, kTo, entry.translation);
                xml_element_set_attribute_catalogue_text(element, kFrom, entry.original);
                xml_element_remove_attribute(element, kIsTrans);
            } else {
                xml_element_set_attribute_catalogue_text(element, kFrom, entry.original);
                xml_element_set_attribute_catalogue_text(element, kTo, entry.original);
                xml_element_set_attribute_text(element, kIsTrans, kFalse);
            }
            if (own) {
                // The catalogue's own entry now says what its file says.
                own->translatable = entry.translatable;
                if (entry.translatable)
                    own->translation = entry.translation;
            }
        }
    }
    for (XmlElement *child = element->firstChild; child; child = child->nextSibling)
        ApplyEntriesToTree(child, catalogue, decide, values, written, cursor);
}

void SetTwoThreadApplyFrom(int children) { g_twoThreadApplyFrom.store(children, std::memory_order_relaxed); }

void CRendaroDoc::ApplyOwnEntriesOnTwoThreads(CXMLStruct &catalogue, WrittenSet &written)
{
    XmlElement *root = catalogue.tree->root;
    XmlDocument *document = catalogue.tree.get();
    // The root's own attributes (the settings) first, alone: they may be added.
    if (root->name == kLanguage) {
        xml_element_set_attribute(root, kAllowLength, FormatLengthRatio(catalogue.lengthRatio));
        xml_element_set_attribute(root, kCodeType, codeTypeText(catalogue.codeType));
    } else {
        ApplyEntriesToTree(root, catalogue, catalogue.entries, catalogue.entries, &written);
        return;
    }
    // Names are held once by the document, so they mostly compare by
    // identity. Looking them up may add them: done before the threads start.
    const XmlName from = xml_document_name(document, kFrom), to = xml_document_name(document, kTo),
                  isTrans = xml_document_name(document, kIsTrans), language = xml_document_name(document, kLanguage);
    const EntryMap &entries = catalogue.entries;

    // One element's entry put into its attributes where they all exist and
    // none is to be added or removed; false (and nothing changed) otherwise.
    // Such a change only replaces values, so the two threads touch nothing
    // they share (the entries are only read; `written` is set byte by byte, atomically).
    auto inPlace = [&](XmlElement *element, size_t &cursor) {
        if (element->firstChild || element->name == language)
            return false;
        XmlAttribute *fromAttribute = nullptr, *toAttribute = nullptr, *isTransAttribute = nullptr;
        for (XmlAttribute *a = element->attributes.first; a; a = xml_element_next_attribute(element, a)) {
            if (!fromAttribute && a->name == from)
                fromAttribute = a;
            else if (!toAttribute && a->name == to)
                toAttribute = a;
            else if (!isTransAttribute && a->name == isTrans)
                isTransAttribute = a;
        }
        const QString original = memoryFormOf(fromAttribute);
        if (original.isEmpty())
            return true;  // no entry's element: nothing to change
        qsizetype number;
        if (cursor < entries.size() && entries.byNumber(cursor).original.isSharedWith(original)) {
            number = qsizetype(cursor++);
        } else {
            number = entries.lookupNumber(original);
            if (number >= 0)
                cursor = std::max(cursor, size_t(number) + 1);
        }
        if (number < 0)
            return true;
        const StringEntry &entry = entries.byNumber(size_t(number));
        if (!toAttribute || (entry.translatable ? isTransAttribute != nullptr : isTransAttribute == nullptr))
            return false;
        // An original met in both halves is marked by both threads: the
        // mark is an atomic store (relaxed: the join orders it before use).
        std::atomic_ref<unsigned char>(written[size_t(number)]).store(1, std::memory_order_relaxed);
        toAttribute->value = entry.translatable ? entry.translation : entry.original;
        toAttribute->setForm(XmlCatalogueTextValue);
        fromAttribute->value = entry.original;
        fromAttribute->setForm(XmlCatalogueTextValue);
        if (!entry.translatable) {
            isTransAttribute->value = kFalse;
            isTransAttribute->setForm(XmlPlainValue);
        }
        return true;
    };

    XmlElement *middle = root->firstChild;
    for (int i = root->childCount / 2; i > 0 && middle; --i)
        middle = middle->nextSibling;
    std::vector<XmlElement *> laterFirst, laterSecond;
    auto applyRange = [&](XmlElement *begin, XmlElement *end, std::vector<XmlElement *> &later) {
        size_t cursor = 0;
        for (XmlElement *element = begin; element != end; element = element->nextSibling) {
            if (!inPlace(element, cursor))
                later.push_back(element);
        }
    };
    std::thread second([&] { applyRange(middle, nullptr, laterSecond); });
    applyRange(root->firstChild, middle, laterFirst);
    second.join();
    // What needs an attribute added or removed, in document order.
    size_t cursor = 0;
    for (const std::vector<XmlElement *> *later : {&laterFirst, &laterSecond}) {
        for (XmlElement *element : *later)
            ApplyEntriesToTree(element, catalogue, catalogue.entries, catalogue.entries, &written, &cursor);
    }
}

std::vector<const StringEntry *> CRendaroDoc::missingEntries(const CXMLStruct &catalogue, const WrittenSet &written,
                                                              bool onlyUntranslated)
{
    // Usually every entry was found in the tree; the few that were not are
    // appended in original order. Only they are put in order, unless they
    // are most of the table and its order is built already.
    auto isMissing = [&](size_t number, const StringEntry &entry) {
        return !written[number] && (!onlyUntranslated || (entry.translation == entry.original && entry.translatable));
    };
    std::vector<const StringEntry *> missing;
    for (size_t number = 0; number < catalogue.entries.size(); ++number) {
        const StringEntry &entry = catalogue.entries.byNumber(number);
        if (isMissing(number, entry))
            missing.push_back(&entry);
    }
    if (catalogue.entries.isOrdered() && missing.size() > catalogue.entries.size() / 4) {
        missing.clear();
        for (size_t position = 0; position < catalogue.entries.size(); ++position) {
            const size_t number = catalogue.entries.numberAt(position);
            const StringEntry &entry = catalogue.entries.byNumber(number);
            if (isMissing(number, entry))
                missing.push_back(&entry);
        }
    } else {
        SortByText(missing, [](const StringEntry *entry) { return QStringView(entry->original); });
    }
    return missing;
}

void CRendaroDoc::AppendMissingEntries(CXMLStruct &catalogue, const WrittenSet &written, bool onlyUntranslated)
{
    const std::vector<const StringEntry *> missing = missingEntries(catalogue, written, onlyUntranslated);
    XmlDocument *tree = catalogue.tree.get();
    XmlElement *root = tree->root;
    const XmlName elementName = xml_document_name(tree, QStringLiteral("L"));
    const XmlName from = xml_document_name(tree, kFrom), to = xml_document_name(tree, kTo),
                  key = xml_document_name(tree, kKey), isTrans = xml_document_name(tree, kIsTrans);
    for (const StringEntry *entry : missing) {
        // A new element holds no attribute yet: they are appended without
        // looking for one of the same name.
        XmlElement *element = xml_element_add_named_child(root, elementName);
        xml_element_append_attribute_catalogue_text(element, from, entry->original);
        xml_element_append_attribute_catalogue_text(element, to, entry->translation);
        if (!entry->keys.isEmpty())
            xml_element_append_attribute_text(element, key, entry->keys.first());
        if (!entry->translatable)
            xml_element_append_attribute_text(element, isTrans, kFalse);
    }
}

bool CRendaroDoc::WriteCollectedCatalogueFile(CXMLStruct &catalogue, const QString &path, QString *reason,
                                              DurableWriteBatch *batch, int *batchFile)
{
    const XmlElement *root = catalogue.tree ? catalogue.tree->root : nullptr;
    if (catalogue.tree && (!root || root->firstChild || xml_element_has_text(root) || !(root->name == kLanguage)))
        return WriteCatalogueFile(catalogue, path, true, reason, batch, batchFile);
    if (!catalogue.tree)
        catalogue.tree = newLanguageTree();
    WrittenSet written(catalogue.entries.size(), 0);
    const std::vector<const StringEntry *> missing = missingEntries(catalogue, written, false);
    const std::string start = "   <L";
    return WriteAroundRoot(catalogue, path, reason, batch, batchFile, [&](QIODevice &device) {
        return WriteNewEntryElements(device, start, missing);
    });
}

bool CRendaroDoc::WriteNewEntryElements(QIODevice &device, const std::string &start,
                                        const std::vector<const StringEntry *> &entries)
{
    constexpr size_t kFlushSize = 128 << 10;
    std::string out;
    out.reserve(kFlushSize + 4096);
    for (const StringEntry *entry : entries) {
        appendNewEntryElement(out, start, *entry);
        if (out.size() >= kFlushSize) {
            if (device.write(out.data(), qint64(out.size())) != qint64(out.size()))
                return false;
            out.clear();
        }
    }
    return device.write(out.data(), qint64(out.size())) == qint64(out.size());
}

bool CRendaroDoc::WriteAroundRoot(CXMLStruct &catalogue, const QString &path, QString *reason,
                                  DurableWriteBatch *batch, int *batchFile,
                                  const std::function<bool(QIODevice &)> &writeChildren)
{
    // The root's settings go into the tree, which is written without
    // children: the children go between its start and end tags.
    ApplyEntriesToTree(catalogue.tree->root, catalogue, catalogue.entries, catalogue.entries, nullptr);
    const QByteArray frame = xml_document_serialize(catalogue.tree.get());
    const qsizetype endTag = frame.lastIndexOf("</");
    auto writeBody = [&](QIODevice &device) {
        if (device.write(frame.constData(), endTag) != endTag || !writeChildren(device))
            return false;
        return device.write(frame.constData() + endTag, frame.size() - endTag) == frame.size() - endTag;
    };
    QString why = QStringLiteral("nothing to write");
    bool ok;
    if (batch) {
        const int file = endTag < 0 ? -1 : batch->add(path, writeBody, &why);
        if (batchFile)
            *batchFile = file;
        ok = file >= 0;
    } else {
        ok = endTag >= 0 && writeFileAtomically(path, writeBody, &why);
    }
    if (!ok) {
        if (reason)
            *reason = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    catalogue.filePath = path;
    return true;
}
