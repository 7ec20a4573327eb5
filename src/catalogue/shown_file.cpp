#include "catalogue/shown_file.h"

#include "catalogue/document.h"

#include <vector>

void CloseAllCataloguesExcept(CRendaroDoc &document, int keepId)
{
    std::vector<int> others;
    for (const CXMLStruct &catalogue : document.catalogues()) {
        if (catalogue.catalogueId > 0 && catalogue.catalogueId != keepId)
            others.push_back(catalogue.catalogueId);
    }
    for (int id : others)
        document.CloseCatalogue(id);
    document.EmptyMasterCatalogue();
}

bool SaveUntranslatedCopy(CRendaroDoc &document, int catalogueId, const QString &path)
{
    const CXMLStruct *catalogue = document.findCatalogue(catalogueId);
    if (!catalogue)
        return false;
    // The tree and the flat elements are shared: holding them keeps them
    // alive while the save builds the fresh tree.
    const XmlDocumentPtr tree = catalogue->tree;
    const std::shared_ptr<FlatElements> flat = catalogue->flat;
    const QStringList keys = catalogue->keys;
    const QString filePath = catalogue->filePath;
    const bool saved = document.SaveCatalogue(catalogueId, path, false);
    if (CXMLStruct *after = document.findCatalogue(catalogueId)) {
        after->tree = tree;
        after->flat = flat;
        after->keys = keys;
        after->filePath = filePath;
    }
    return saved;
}
