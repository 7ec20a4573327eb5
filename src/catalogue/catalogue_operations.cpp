// Operations on whole catalogues: selecting, closing, saving a language
// folder, pushing one file's strings into others and importing translations.

#include "catalogue/document.h"
#include "catalogue/file_text.h"
#include "catalogue/progress_reporter.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"
#include "catalogue/xml_writer.h"

bool CRendaroDoc::SelectCatalogue(int catalogueId)
{
    const int index = catalogueId < 0 ? -1 : FindCatalogueIndex(catalogueId);
    if (index < 0)
        return fail(QStringLiteral("no catalogue has the identifier %1").arg(catalogueId));
    CXMLStruct &catalogue = m_catalogues[size_t(index)];
    if (!catalogue.tree) {
        QString reason;
        XmlDocument *document = xml_parse_file(catalogue.filePath, &reason);
        if (!document)
            return fail(QStringLiteral("%1: %2").arg(catalogue.filePath, reason));
        catalogue.tree = makeDocumentPtr(document);
    }
    m_currentIndex = index;
    return true;
}

int CRendaroDoc::CloseCatalogue(int catalogueId)
{
    std::vector<CXMLStruct> closed;
    if (catalogueId == -1) {
        closed.reserve(m_catalogues.size());
        for (size_t i = 1; i < m_catalogues.size(); ++i)
            closed.push_back(std::move(m_catalogues[i]));
        m_catalogues.erase(m_catalogues.begin() + 1, m_catalogues.end());
        closed.push_back(takeMasterContent());
        m_disposal.dispose(std::move(closed));
        m_currentIndex = -1;
        return 1;
    }
    const int index = FindCatalogueIndex(catalogueId);
    if (index > 0) {
        closed.push_back(std::move(m_catalogues[size_t(index)]));
        removeCatalogueAt(index);
        m_disposal.dispose(std::move(closed));
    }
    if (index == m_currentIndex)
        m_currentIndex = -1;
    else if (index > 0 && index < m_currentIndex)
        --m_currentIndex;  // the same catalogue stays current after the shift
    return 1;
}

CXMLStruct CRendaroDoc::takeMasterContent()
{
    CXMLStruct &master = m_catalogues[0];
    CXMLStruct content;
    content.entries = std::move(master.entries);
    content.keys = std::move(master.keys);
    content.tree = std::move(master.tree);
    master.entries.clear();
    master.keys.clear();
    master.tree.reset();
    return content;
}

CXMLStruct CRendaroDoc::TakeMasterCatalogue()
{
    const CXMLStruct &master = m_catalogues[0];
    CXMLStruct taken = takeMasterContent();
    taken.filePath = master.filePath;
    taken.catalogueId = master.catalogueId;
    taken.lengthRatio = master.lengthRatio;
    taken.codeType = master.codeType;
    return taken;
}

void CRendaroDoc::EmptyMasterCatalogue()
{
    std::vector<CXMLStruct> closed;
    closed.push_back(takeMasterContent());
    m_disposal.dispose(std::move(closed));
}

bool CRendaroDoc::SaveAllCatalogues(ProgressReporter *progress)
{
    if (progress) {
        progress->setTotal(int(m_catalogues.size()) + 1);
        progress->show();
    }
    QStringList failures;
    const EntryMap &master = m_catalogues[0].entries;
    for (size_t i = 1; i < m_catalogues.size(); ++i) {
        CXMLStruct &catalogue = m_catalogues[i];
        if (progress)
            progress->step(QStringLiteral("Saving %1...").arg(catalogue.filePath));
        if (!catalogue.tree) {
            failures << QStringLiteral("%1: the file was not loaded").arg(catalogue.filePath);
            continue;
        }
        size_t cursor = 0;
        ApplyEntriesToTree(catalogue.tree->root, catalogue, catalogue.entries, master, nullptr, &cursor);
        QString reason;
        if (!xml_document_write_file(catalogue.tree.get(), catalogue.filePath, &reason))
            failures << reason;
    }
    m_lastErrorText = failures.join(u'\n');
    return failures.isEmpty();
}

bool CRendaroDoc::ApplyTranslationsToFile(const QString &targetPath, int sourceId)
{
    m_lastErrorText.clear();
    const CXMLStruct *source = findCatalogue(sourceId);
    if (!source)
        return fail(QStringLiteral("no catalogue has the identifier %1").arg(sourceId));
    if (source->filePath == targetPath)
        return true;
    if (!source->tree)
        return fail(QStringLiteral("%1 has no file to apply").arg(source->filePath));
    QString reason;
    // Held here, it stays valid while catalogues are added.
    const XmlDocumentPtr sourceTree = FullTreeOf(*source, &reason);
    if (!sourceTree)
        return fail(QStringLiteral("%1: %2").arg(source->filePath, reason));
    XmlDocument *parsed = xml_parse_file(targetPath, &reason);
    if (!parsed)
        return fail(QStringLiteral("%1: %2").arg(targetPath, reason));
    const int index = appendCatalogue(targetPath, makeDocumentPtr(parsed));
    const int temporaryId = m_catalogues[size_t(index)].catalogueId;
    MergeElement(parsed->root, sourceTree->root, parsed);
    const bool written = xml_document_write_file(parsed, targetPath, &reason) != 0;
    removeCatalogueAt(FindCatalogueIndex(temporaryId));
    return written || fail(reason);
}

void CRendaroDoc::MergeElement(XmlElement *target, const XmlElement *source, XmlDocument *targetDocument)
{
    if (!source)
        return;
    static const QString kFrom = QStringLiteral("from"), kTo = QStringLiteral("to"), kKey = QStringLiteral("key"),
                         kIsTrans = QStringLiteral("IsTrans"), kFalse = QStringLiteral("false");
    if (source->name == u"Language") {
        if (target) {
            const QString ratio = xml_element_attribute_text(source, QStringLiteral("AllowLength"));
            if (!ratio.isNull())
                xml_element_set_attribute(target, QStringLiteral("AllowLength"),
                                          FormatLengthRatio(ParseLengthRatio(ratio)));
            const QString type = xml_element_attribute_text(source, QStringLiteral("CodeType"));
            if (!type.isNull())
                xml_element_set_attribute(target, QStringLiteral("CodeType"),
                                          type == u"QT" ? QStringLiteral("QT") : QStringLiteral("CPlus2"));
        }
    } else {
        const QString targetFrom = EscapeForFile(xml_element_attribute_text(target, kFrom));
        const QString targetTo = EscapeForFile(xml_element_attribute_text(target, kTo));
        const QString targetKey = xml_element_attribute_text(target, kKey);
        const bool targetTranslatable = xml_element_attribute_text(target, kIsTrans) != kFalse;
        const QString rawSourceFrom = xml_element_attribute_text(source, kFrom);
        const QString sourceFrom = EscapeForFile(rawSourceFrom);
        const QString sourceKey = xml_element_attribute_text(source, kKey);
        const bool sourceTranslatable = xml_element_attribute_text(source, kIsTrans) != kFalse;
        // Keys compare as read; an absent key equals an empty one.
        const bool sameString = target && !targetFrom.isEmpty() && targetFrom == sourceFrom && targetKey == sourceKey;
        if (sameString) {
            xml_element_set_attribute(target, kFrom, targetFrom);
            if (sourceTranslatable == targetTranslatable) {
                xml_element_set_attribute(target, kTo, targetTo);
            } else if (sourceTranslatable) {
                xml_element_remove_attribute(target, kIsTrans);
                xml_element_set_attribute(target, kTo, targetTo);
            } else {
                xml_element_set_attribute_text(target, kIsTrans, kFalse);
                xml_element_set_attribute(target, kTo, targetFrom);
            }
        } else if (target && !targetFrom.isEmpty()) {
            xml_element_set_attribute(target, kFrom, targetFrom);
            xml_element_set_attribute(target, kTo, targetTo);
        } else if (!target && !rawSourceFrom.isEmpty() && targetDocument && targetDocument->root) {
            XmlElement *added = xml_element_add_child(targetDocument->root, QStringLiteral("L"));
            xml_element_set_attribute(added, kFrom, sourceFrom);
            xml_element_set_attribute(added, kTo, sourceFrom);
            if (!sourceKey.isEmpty())
                xml_element_set_attribute_text(added, kKey, sourceKey);
            if (!sourceTranslatable)
                xml_element_set_attribute_text(added, kIsTrans, kFalse);
        }
    }
    // Children are paired by position; a target that runs out gets the rest appended.
    XmlElement *targetChild = target ? target->firstChild : nullptr;
    for (const XmlElement *sourceChild = source->firstChild; sourceChild; sourceChild = sourceChild->nextSibling) {
        XmlElement *next = targetChild ? targetChild->nextSibling : nullptr;
        MergeElement(targetChild, sourceChild, targetDocument);
        targetChild = next;
    }
}

int CRendaroDoc::ImportTranslationsFromFile(int targetId, const QString &path, int *substituted)
{
    if (substituted)
        *substituted = 0;
    if (FindCatalogueIndex(targetId) < 0) {
        fail(QStringLiteral("no catalogue has the identifier %1").arg(targetId));
        return 0;
    }
    const int loadedId = LoadCatalogue(path, false);
    if (loadedId < 0)
        return 0;
    // Looked up after the load, which may have moved the catalogue list.
    EntryMap &target = findCatalogue(targetId)->entries;
    const EntryMap &loaded = findCatalogue(loadedId)->entries;
    for (size_t number = 0; number < target.size(); ++number) {
        StringEntry &entry = target.byNumber(number);
        if (!entry.translatable || entry.translation != entry.original)
            continue;
        const StringEntry *found = loaded.lookup(entry.original);
        if (!found || found->translation.isEmpty() || found->translation == entry.translation)
            continue;
        entry.translation = found->translation;
        if (substituted)
            ++*substituted;
    }
    CloseCatalogue(loadedId);
    return 1;
}

void CRendaroDoc::NormalizeStringPair(QString &a, QString &b)
{
    for (QString *text : {&a, &b}) {
        const qsizetype tab = text->indexOf(u'\t');
        if (tab > 0)
            text->truncate(tab);
        *text = UnescapeFromFile(EscapeForFile(*text));
    }
}
