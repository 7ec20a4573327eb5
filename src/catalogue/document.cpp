#include "catalogue/document.h"

#include "catalogue/file_text.h"
#include "catalogue/xml_tree.h"

namespace {
CRendaroDoc *g_document = nullptr;
}

CRendaroDoc *theDocument() { return g_document; }
void setTheDocument(CRendaroDoc *document) { g_document = document; }

void XmlDocumentDeleter::operator()(XmlDocument *document) const { xml_document_free(document); }

XmlDocumentPtr makeDocumentPtr(XmlDocument *document)
{
    return document ? XmlDocumentPtr(document, XmlDocumentDeleter()) : XmlDocumentPtr();
}

CRendaroDoc::CRendaroDoc()
{
    CXMLStruct master;
    master.catalogueId = 0;
    m_catalogues.push_back(std::move(master));
}

CRendaroDoc::~CRendaroDoc()
{
    if (g_document == this)
        g_document = nullptr;
}

CXMLStruct *CRendaroDoc::catalogueAt(int index)
{
    return index >= 0 && size_t(index) < m_catalogues.size() ? &m_catalogues[size_t(index)] : nullptr;
}

const CXMLStruct *CRendaroDoc::catalogueAt(int index) const
{
    return index >= 0 && size_t(index) < m_catalogues.size() ? &m_catalogues[size_t(index)] : nullptr;
}

CXMLStruct *CRendaroDoc::findCatalogue(int catalogueId) { return catalogueAt(FindCatalogueIndex(catalogueId)); }

const CXMLStruct *CRendaroDoc::findCatalogue(int catalogueId) const
{
    return catalogueAt(FindCatalogueIndex(catalogueId));
}

int CRendaroDoc::currentCatalogueId() const
{
    const CXMLStruct *current = catalogueAt(m_currentIndex);
    return current ? current->catalogueId : -1;
}

int CRendaroDoc::FindCatalogueIndex(int catalogueId) const
{
    for (size_t i = 0; i < m_catalogues.size(); ++i) {
        if (m_catalogues[i].catalogueId == catalogueId)
            return int(i);
    }
    return -1;
}

QString CRendaroDoc::GetCataloguePath(int index) const
{
    const CXMLStruct *catalogue = catalogueAt(index);
    return catalogue ? catalogue->filePath : QString();
}

bool CRendaroDoc::HasEntry(const QString &original, int catalogueId) const
{
    const CXMLStruct *catalogue = findCatalogue(catalogueId);
    if (!catalogue)
        catalogue = catalogueAt(m_currentIndex);
    return catalogue && catalogue->entries.contains(original);
}

QString CRendaroDoc::GetTranslation(int catalogueId, const QString &original) const
{
    const CXMLStruct *catalogue = findCatalogue(catalogueId);
    if (!catalogue)
        return QString();
    const StringEntry *entry = catalogue->entries.lookup(original);
    return entry ? entry->translation : QString();
}

bool CRendaroDoc::SetTranslation(int catalogueId, const QString &original, const QString &translation,
                                 int translatable)
{
    CXMLStruct *catalogue = findCatalogue(catalogueId);
    if (!catalogue)
        return false;
    StringEntry *entry = catalogue->entries.lookup(original);
    if (!entry)
        return false;
    entry->translatable = translatable;
    if (translatable != 0)
        entry->translation = translation;
    return true;
}

int CRendaroDoc::AddEntry(int catalogueId, const QString &original, const QString &translation, int translatable)
{
    if (original.isEmpty())
        return 1;
    StringEntry entry;
    entry.translation = translation;
    entry.original = original;
    entry.translatable = translatable;
    CXMLStruct *catalogue = findCatalogue(catalogueId);
    if (!catalogue) {
        const int index = appendCatalogue(QString(), nullptr);
        m_catalogues[size_t(index)].entries.insert(std::move(entry));
        m_currentIndex = index;
        return 0;
    }
    catalogue->entries.insert(std::move(entry));  // an existing entry stays as it is
    return 1;
}

EntryMap CRendaroDoc::CopyEntries(int catalogueId) const
{
    const CXMLStruct *catalogue = catalogueId == -1 ? catalogueAt(m_currentIndex) : findCatalogue(catalogueId);
    return catalogue ? catalogue->entries : EntryMap();
}

int CRendaroDoc::RebuildEntries(int index)
{
    CXMLStruct *catalogue = catalogueAt(index);
    if (!catalogue)
        return 1;
    if (catalogue->flat) {
        // Held flat: the elements are read from the file as last saved.
        XmlDocumentPtr tree = FullTreeOf(*catalogue, &m_lastErrorText);
        if (!tree)
            return 0;
        catalogue->tree = std::move(tree);
        catalogue->flat.reset();
    }
    catalogue->entries.clear();
    catalogue->keys.clear();
    if (catalogue->tree && catalogue->tree->root)
        ReadEntries(index, catalogue->tree->root, false, false);
    return 1;
}

bool CRendaroDoc::fail(const QString &reason)
{
    m_lastErrorText = reason;
    return false;
}

int CRendaroDoc::appendCatalogue(const QString &path, XmlDocumentPtr tree)
{
    CXMLStruct catalogue;
    catalogue.catalogueId = m_nextCatalogueId++;
    catalogue.filePath = path;
    catalogue.tree = std::move(tree);
    m_catalogues.push_back(std::move(catalogue));
    return int(m_catalogues.size()) - 1;
}

void CRendaroDoc::removeCatalogueAt(int index)
{
    if (index <= 0 || size_t(index) >= m_catalogues.size())
        return;
    m_catalogues.erase(m_catalogues.begin() + index);
}
