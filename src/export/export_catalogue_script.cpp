#include "catalogue/document.h"
#include "export/script_table.h"

bool CRendaroDoc::ExportCatalogueScript(int kind, int catalogueId, const QString &path)
{
    const CXMLStruct *catalogue = findCatalogue(catalogueId);
    return catalogue && WriteScriptTable(path, kind, catalogue->entries, catalogue->keys);
}
