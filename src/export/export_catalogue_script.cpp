#include "catalogue/document.h"
#include "export/script_table.h"

bool CRendaroDoc::ExportCatalogueScript(int kind, int catalogueId, const QString &path)
{
    m_lastErrorText.clear();
    const CXMLStruct *catalogue = findCatalogue(catalogueId);
    if (!catalogue)
        return fail(QStringLiteral("no catalogue has the identifier %1").arg(catalogueId));
    QString reason;
    if (!WriteScriptTable(path, kind, catalogue->entries, KeysInFileOrder(*catalogue), &reason))
        return fail(QStringLiteral("%1: %2").arg(path, reason));
    return true;
}
