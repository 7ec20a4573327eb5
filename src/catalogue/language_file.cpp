// Reading a language file into a catalogue and writing a catalogue back.

#include "catalogue/document.h"
#include "catalogue/file_text.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"
#include "catalogue/xml_writer.h"

#include <algorithm>

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

QString codeTypeText(int codeType)
{
    switch (codeType) {
    case CodeTypeCpp: return QStringLiteral("CPlus2");
    case CodeTypeQt: return QStringLiteral("QT");
    default: return QStringLiteral("");
    }
}

// Stores `entry` under its original unless an entry already there wins:
// a stored translation is kept unless it is empty, or it is untranslated
// (equal to its original) and the new element's `to` differs from the
// original (an empty `to` counts as different).
// Returns the entry now stored.
StringEntry &storeEntry(EntryMap &entries, const StringEntry &entry, const QString &unescapedTo)
{
    // One search: lower_bound gives the place to insert at when the
    // original is new, so the insertion needs no second search.
    const auto it = entries.lower_bound(entry.original);
    if (it == entries.end() || entries.key_comp()(entry.original, it->first))
        return entries.emplace_hint(it, entry.original, entry)->second;
    StringEntry &stored = it->second;
    if (stored.translation.isEmpty()
        || (stored.translation == stored.original && unescapedTo != entry.original))
        stored = entry;
    return stored;
}

} // namespace

int CRendaroDoc::LoadCatalogue(const QString &path, bool mergeIntoMaster)
{
    if (mergeIntoMaster && !m_catalogues[0].tree)
        m_catalogues[0].tree = newLanguageTree();
    m_lastErrorText.clear();
    XmlDocument *document = xml_parse_file(path, &m_lastErrorText);
    if (!document)
        return -1;
    const int index = appendCatalogue(path, makeDocumentPtr(document));
    ReadEntries(index, document->root, mergeIntoMaster, true);
    return m_catalogues[size_t(index)].catalogueId;
}

void CRendaroDoc::ReadEntries(int index, const XmlElement *element, bool mergeIntoMaster, bool readCodeType)
{
    CXMLStruct *catalogue = catalogueAt(index);
    if (!catalogue || !element)
        return;
    if (element->name == kLanguage) {
        float ratio = 2.0f;
        int type = CodeTypeCpp;
        for (const XmlAttribute *a = element->attributes.first; a; a = a->next) {
            if (a->name == kAllowLength)
                ratio = ParseLengthRatio(xml_attribute_text(a));
            else if (a->name == kCodeType)
                type = xml_attribute_text(a) == u"QT" ? CodeTypeQt : CodeTypeCpp;
        }
        catalogue->lengthRatio = ratio;
        if (readCodeType)
            catalogue->codeType = type;
    } else {
        QString from, to, key;
        bool hasKey = false;
        int translatable = 1;
        for (const XmlAttribute *a = element->attributes.first; a; a = a->next) {
            if (a->name == kFrom) {
                from = xml_attribute_text(a);
            } else if (a->name == kTo) {
                to = xml_attribute_text(a);
            } else if (a->name == kKey) {
                key = xml_attribute_text(a);
                hasKey = true;
            } else if (a->name == kIsTrans) {
                translatable = xml_attribute_text(a) == kFalse ? 0 : 1;
            }
        }
        if (hasKey)
            catalogue->keys.append(key);
        if (!from.isEmpty()) {
            StringEntry entry;
            entry.original = UnescapeFromFile(from);
            const QString unescapedTo = UnescapeFromFile(to);
            entry.translation = to.isEmpty() ? entry.original : unescapedTo;
            entry.catalogueIds = {catalogue->catalogueId};
            if (!key.isEmpty())
                entry.keys = {key};
            entry.translatable = translatable;
            StringEntry &stored = storeEntry(catalogue->entries, entry, unescapedTo);
            if (!stored.keys.isEmpty() && !stored.keys.contains(key))
                stored.keys.append(key);
            if (mergeIntoMaster && index != 0)
                storeEntry(m_catalogues[0].entries, entry, unescapedTo);
        }
    }
    for (const XmlElement *child = element->firstChild; child; child = child->nextSibling)
        ReadEntries(index, child, mergeIntoMaster, readCodeType);
}

bool CRendaroDoc::SaveCatalogue(int catalogueId, const QString &path, bool keepTree)
{
    int index = FindCatalogueIndex(catalogueId);
    if (index < 0)
        index = appendCatalogue(path, nullptr);
    CXMLStruct &catalogue = m_catalogues[size_t(index)];
    if (!keepTree)
        catalogue.tree.reset();
    if (!catalogue.tree || !catalogue.tree->root)
        catalogue.tree = newLanguageTree();
    WrittenSet written;
    written.reserve(catalogue.entries.size());
    if (keepTree)
        ApplyEntriesToTree(catalogue.tree->root, catalogue, catalogue.entries, catalogue.entries, &written);
    std::sort(written.begin(), written.end());
    AppendMissingEntries(catalogue, written, !keepTree);
    if (!xml_document_write_file(catalogue.tree.get(), path))
        return false;
    catalogue.filePath = path;
    return true;
}

void CRendaroDoc::ApplyEntriesToTree(XmlElement *element, const CXMLStruct &catalogue, const EntryMap &decide,
                                     const EntryMap &values, WrittenSet *written)
{
    if (!element)
        return;
    if (element->name == kLanguage) {
        xml_element_set_attribute(element, kAllowLength, FormatLengthRatio(catalogue.lengthRatio));
        xml_element_set_attribute(element, kCodeType, codeTypeText(catalogue.codeType));
    } else {
        const QString original = UnescapeFromFile(xml_element_attribute_text(element, kFrom));
        auto value = values.end();
        if (!original.isEmpty() && (&decide == &values || decide.count(original)))
            value = values.find(original);
        if (value != values.end()) {
            if (written)
                written->push_back(&value->second);
            const StringEntry &entry = value->second;
            const QString escapedOriginal = EscapeForFile(original);
            if (entry.translatable) {
                xml_element_set_attribute(element, kTo, EscapeForFile(entry.translation));
                xml_element_set_attribute(element, kFrom, escapedOriginal);
                xml_element_remove_attribute(element, kIsTrans);
            } else {
                xml_element_set_attribute(element, kFrom, escapedOriginal);
                xml_element_set_attribute(element, kTo, escapedOriginal);
                xml_element_set_attribute_text(element, kIsTrans, kFalse);
            }
        }
    }
    for (XmlElement *child = element->firstChild; child; child = child->nextSibling)
        ApplyEntriesToTree(child, catalogue, decide, values, written);
}

void CRendaroDoc::AppendMissingEntries(CXMLStruct &catalogue, const WrittenSet &written, bool onlyUntranslated)
{
    XmlElement *root = catalogue.tree->root;
    for (const auto &[original, entry] : catalogue.entries) {
        if (std::binary_search(written.begin(), written.end(), &entry))
            continue;
        if (onlyUntranslated && (entry.translation != entry.original || !entry.translatable))
            continue;
        XmlElement *element = xml_element_add_child(root, QStringLiteral("L"));
        xml_element_set_attribute(element, kFrom, EscapeForFile(original));
        xml_element_set_attribute(element, kTo, EscapeForFile(entry.translation));
        if (!entry.keys.isEmpty())
            xml_element_set_attribute_text(element, kKey, entry.keys.first());
        if (!entry.translatable)
            xml_element_set_attribute_text(element, kIsTrans, kFalse);
    }
}
