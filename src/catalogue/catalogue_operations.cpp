// Operations on whole catalogues: selecting, closing, saving a language
// folder, pushing one file's strings into others and importing translations.

#include "catalogue/document.h"
#include "catalogue/file_text.h"
#include "catalogue/progress_reporter.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"
#include "catalogue/xml_writer.h"

void CRendaroDoc::SelectCatalogue(int catalogueId)
{
    if (catalogueId < 0)
        return;
    const int index = FindCatalogueIndex(catalogueId);
    if (index < 0)
        return;
    CXMLStruct &catalogue = m_catalogues[size_t(index)];
    if (!catalogue.tree) {
        XmlDocument *document = xml_parse_file(catalogue.filePath);
        if (!document)
            return;
        catalogue.tree = makeDocumentPtr(document);
    }
    m_currentIndex = index;
}

int CRendaroDoc::CloseCatalogue(int catalogueId)
{
    if (catalogueId == -1) {
        m_catalogues.erase(m_catalogues.begin() + 1, m_catalogues.end());
        m_catalogues[0].entries.clear();
        m_catalogues[0].keys.clear();
        m_catalogues[0].tree.reset();
        m_currentIndex = -1;
        return 1;
    }
    const int index = FindCatalogueIndex(catalogueId);
    if (index > 0)
        removeCatalogueAt(index);
    if (index == m_currentIndex)
        m_currentIndex = -1;
    else if (index > 0 && index < m_currentIndex)
        --m_currentIndex;  // the same catalogue stays current after the shift
    return 1;
}

bool CRendaroDoc::SaveAllCatalogues(ProgressReporter *progress)
{
    if (progress) {
        progress->setTotal(int(m_catalogues.size()) + 1);
        progress->show();
    }
    const EntryMap master = m_catalogues[0].entries;
    for (size_t i = 1; i < m_catalogues.size(); ++i) {
        CXMLStruct &catalogue = m_catalogues[i];
        if (progress)
            progress->step(QStringLiteral("Saving %1...").arg(catalogue.filePath));
        if (!catalogue.tree)
            continue;
        ApplyEntriesToTree(catalogue.tree->root, catalogue, catalogue.entries, master, nullptr);
        if (!xml_document_write_file(catalogue.tree.get(), catalogue.filePath))
            return false;
    }
    return true;
}

bool CRendaroDoc::ApplyTranslationsToFile(const QString &targetPath, int sourceId)
{
    const CXMLStruct *source = findCatalogue(sourceId);
    if (!source)
        return false;
    if (source->filePath == targetPath)
        return true;
    if (!source->tree)
        return false;
    const XmlDocumentPtr sourceTree = source->tree;  // stays valid while catalogues are added
    XmlDocument *parsed = xml_parse_file(targetPath);
    if (!parsed)
        return false;
    const int index = appendCatalogue(targetPath, makeDocumentPtr(parsed));
    const int temporaryId = m_catalogues[size_t(index)].catalogueId;
    MergeElement(parsed->root, sourceTree->root, parsed);
    const bool written = xml_document_write_file(parsed, targetPath) != 0;
    removeCatalogueAt(FindCatalogueIndex(temporaryId));
    return written;
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
    const int loadedId = LoadCatalogue(path, false);
    if (loadedId < 0)
        return 0;
    const EntryMap target = CopyEntries(targetId);
    const EntryMap loaded = CopyEntries(loadedId);
    for (const auto &[original, entry] : target) {
        if (!entry.translatable || entry.translation != entry.original)
            continue;
        const auto found = loaded.find(original);
        if (found == loaded.end() || found->second.translation.isEmpty() || found->second.translation == entry.translation)
            continue;
        if (SetTranslation(targetId, original, found->second.translation, 1) && substituted)
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
