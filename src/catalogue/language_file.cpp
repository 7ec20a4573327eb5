// Reading a language file into a catalogue and writing a catalogue back.

#include "catalogue/document.h"
#include "catalogue/file_text.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"
#include "catalogue/text_order.h"
#include "catalogue/xml_escape.h"
#include "catalogue/xml_writer.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <unordered_map>

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

// Whether a new element's entry replaces the stored one: a stored
// translation is kept unless it is empty, or it is untranslated (equal to its
// original) and the new element's `to` differs from the original (an empty
// `to` counts as different).
bool replacesStored(const StringEntry &stored, const StringEntry &entry, const QString &unescapedTo)
{
    return stored.translation.isEmpty() || (stored.translation == stored.original && unescapedTo != entry.original);
}

// The attribute names of one document, so that a reader compares names by
// identity instead of by text.
struct LanguageNames {
    const XmlDocument *document = nullptr;
    XmlName from, to, key, isTrans, allowLength, codeType;

    void resolve(const XmlDocument *forDocument)
    {
        if (document == forDocument)
            return;
        document = forDocument;
        auto *mutableDocument = const_cast<XmlDocument *>(forDocument);
        from = xml_document_name(mutableDocument, kFrom);
        to = xml_document_name(mutableDocument, kTo);
        key = xml_document_name(mutableDocument, kKey);
        isTrans = xml_document_name(mutableDocument, kIsTrans);
        allowLength = xml_document_name(mutableDocument, kAllowLength);
        codeType = xml_document_name(mutableDocument, kCodeType);
    }
};

bool same(const XmlName &a, const XmlName &b) { return a.is(b); }

} // namespace

// Reads elements one at a time into a catalogue (and the master), following
// the rules of a language file. It lives for one read, so that it can keep
// what makes the read linear: a set of keys for every entry that has
// collected many, instead of scanning its key list for each new key.
class EntryReader {
public:
    EntryReader(CXMLStruct &catalogue, CXMLStruct *master, bool readCodeType)
        : m_catalogue(catalogue), m_master(master), m_readCodeType(readCodeType)
    {
    }

    static void hook(void *context, XmlElement *element) { static_cast<EntryReader *>(context)->read(element); }

    void readTree(XmlElement *element)
    {
        read(element);
        for (XmlElement *child = element->firstChild; child; child = child->nextSibling)
            readTree(child);
    }

    void read(XmlElement *element)
    {
        m_names.resolve(element->document());
        if (element->name == kLanguage)
            readSettings(element);
        else
            readEntry(element);
    }

private:
    static constexpr qsizetype kKeySetFrom = 16;

    void readSettings(const XmlElement *element)
    {
        float ratio = 2.0f;
        int type = CodeTypeCpp;
        for (const XmlAttribute *a = element->attributes.first; a; a = xml_element_next_attribute(element, a)) {
            if (same(a->name, m_names.allowLength))
                ratio = ParseLengthRatio(xml_attribute_text(a));
            else if (same(a->name, m_names.codeType))
                type = xml_attribute_text(a) == u"QT" ? CodeTypeQt : CodeTypeCpp;
        }
        m_catalogue.lengthRatio = ratio;
        if (m_readCodeType)
            m_catalogue.codeType = type;
    }

    void readEntry(XmlElement *element)
    {
        QString from, to, key;
        XmlAttribute *fromAttribute = nullptr, *toAttribute = nullptr;
        bool hasKey = false;
        int translatable = 1;
        for (XmlAttribute *a = element->attributes.first; a; a = xml_element_next_attribute(element, a)) {
            if (same(a->name, m_names.from)) {
                from = xml_attribute_text(a);
                fromAttribute = a;
            } else if (same(a->name, m_names.to)) {
                to = xml_attribute_text(a);
                toAttribute = a;
            } else if (same(a->name, m_names.key)) {
                key = xml_attribute_text(a);
                hasKey = true;
            } else if (same(a->name, m_names.isTrans)) {
                translatable = xml_attribute_text(a) == kFalse ? 0 : 1;
            }
        }
        if (hasKey)
            m_catalogue.keys.append(key);
        if (from.isEmpty())
            return;
        StringEntry entry;
        entry.original = UnescapeFromFile(from);
        const QString unescapedTo = UnescapeFromFile(to);
        entry.translation = to.isEmpty() ? entry.original : unescapedTo;
        shareWithTree(fromAttribute, from, entry.original);
        if (!to.isEmpty())
            shareWithTree(toAttribute, to, unescapedTo);
        entry.catalogueIds = {m_catalogue.catalogueId};
        if (!key.isEmpty())
            entry.keys.append(key);
        entry.translatable = translatable;
        if (m_master)
            store(m_master->entries, StringEntry(entry), unescapedTo, nullptr);
        store(m_catalogue.entries, std::move(entry), unescapedTo, &key);
    }

    // When unescaping made a new string, the element keeps that string in
    // the catalogue-text form instead of its own copy, provided the element
    // then reads and writes exactly as before; a large file then holds each
    // text once.
    static void shareWithTree(XmlAttribute *attribute, const QString &fileText, const QString &memoryText)
    {
        if (attribute->form() != XmlPlainValue || memoryText.isSharedWith(fileText))
            return;
        if (decodeFileFormValue(EscapeForFile(memoryText)) != fileText)
            return;
        attribute->value = memoryText;
        attribute->setForm(XmlCatalogueTextValue);
    }

    // Stores the entry under its original (or lets the stored one win), then,
    // when `key` is given, adds it to the stored entry's keys: once, and only
    // to an entry that has keys already.
    void store(EntryMap &entries, StringEntry &&entry, const QString &unescapedTo, const QString *key)
    {
        auto [stored, added] = entries.insertUnordered(std::move(entry));
        if (!added && replacesStored(*stored, entry, unescapedTo)) {
            *stored = std::move(entry);
            m_keySets.erase(stored);
        }
        if (key && !stored->keys.isEmpty() && !holdsKey(*stored, *key))
            stored->keys.append(*key);
    }

    bool holdsKey(const StringEntry &entry, const QString &key)
    {
        if (entry.keys.size() < kKeySetFrom)
            return entry.keys.contains(key);
        auto found = m_keySets.find(&entry);
        if (found == m_keySets.end())
            found = m_keySets.emplace(&entry, QSet<QString>(entry.keys.cbegin(), entry.keys.cend())).first;
        if (found->second.contains(key))
            return true;
        found->second.insert(key);  // the caller appends it
        return false;
    }

    CXMLStruct &m_catalogue;
    CXMLStruct *m_master;
    bool m_readCodeType;
    LanguageNames m_names;
    std::unordered_map<const StringEntry *, QSet<QString>> m_keySets;
};

int CRendaroDoc::LoadCatalogue(const QString &path, bool mergeIntoMaster)
{
    if (mergeIntoMaster && !m_catalogues[0].tree)
        m_catalogues[0].tree = newLanguageTree();
    m_lastErrorText.clear();
    CXMLStruct loaded;
    loaded.catalogueId = m_nextCatalogueId;
    loaded.filePath = path;
    XmlDocument *document;
    if (mergeIntoMaster) {
        // The master takes entries only from a file that parsed completely.
        document = xml_parse_file(path, &m_lastErrorText);
        if (document && document->root)
            EntryReader(loaded, &m_catalogues[0], true).readTree(document->root);
    } else {
        // Entries are read while the file is parsed, each element while it
        // is fresh in the cache. The index is sized once for the entries the
        // file's size suggests (a line of a language file is about a hundred
        // bytes), rather than grown and copied along the way.
        loaded.entries.reserve(size_t(std::min<qint64>(QFileInfo(path).size() / 100, 4'000'000)));
        EntryReader reader(loaded, nullptr, true);
        document = xml_parse_file(path, &m_lastErrorText, &EntryReader::hook, &reader);
    }
    if (!document)
        return -1;
    loaded.tree = makeDocumentPtr(document);
    loaded.keys.squeeze();  // grown by doubling while reading
    ++m_nextCatalogueId;
    m_catalogues.push_back(std::move(loaded));
    return m_catalogues.back().catalogueId;
}

void CRendaroDoc::ReadEntries(int index, XmlElement *element, bool mergeIntoMaster, bool readCodeType)
{
    CXMLStruct *catalogue = catalogueAt(index);
    if (!catalogue || !element)
        return;
    EntryReader(*catalogue, mergeIntoMaster && index != 0 ? &m_catalogues[0] : nullptr, readCodeType)
        .readTree(element);
}

bool CRendaroDoc::SaveCatalogue(int catalogueId, const QString &path, bool keepTree)
{
    m_lastErrorText.clear();
    const int index = FindCatalogueIndex(catalogueId);
    if (index < 0)
        return fail(QStringLiteral("no catalogue has the identifier %1").arg(catalogueId));
    CXMLStruct &catalogue = m_catalogues[size_t(index)];
    if (!keepTree)
        catalogue.tree.reset();
    if (!catalogue.tree || !catalogue.tree->root)
        catalogue.tree = newLanguageTree();
    WrittenSet written(catalogue.entries.size(), 0);
    if (keepTree) {
        size_t cursor = 0;
        ApplyEntriesToTree(catalogue.tree->root, catalogue, catalogue.entries, catalogue.entries, &written, &cursor);
    }
    AppendMissingEntries(catalogue, written, !keepTree);
    QString reason;
    if (!xml_document_write_file(catalogue.tree.get(), path, &reason))
        return fail(reason);
    catalogue.filePath = path;
    return true;
}

namespace {

// The memory form of an attribute's text, as reading the written file and
// unescaping it would give it. A text stored by a save as catalogue text is
// its own memory form unless it holds one of the characters that the file
// form reads back differently.
QString memoryFormOf(const XmlAttribute *attribute)
{
    if (!attribute)
        return QString();
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

void CRendaroDoc::AppendMissingEntries(CXMLStruct &catalogue, const WrittenSet &written, bool onlyUntranslated)
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
