#include "export/folder_script_export.h"

#include "catalogue/document.h"
#include "export/script_table.h"

bool ExportFolderFileScript(const CRendaroDoc &document, int kind, int index, const QString &path, QString *error)
{
    const CXMLStruct *catalogue = document.catalogueAt(index);
    if (index < 1 || !catalogue) {
        if (error)
            *error = QStringLiteral("no file at catalogue index %1").arg(index);
        return false;
    }
    EntryMap entries = catalogue->entries;
    const EntryMap &master = document.catalogueAt(0)->entries;
    for (size_t number = 0; number < entries.size(); ++number) {
        StringEntry &entry = entries.byNumber(number);
        const StringEntry *merged = master.lookup(entry.original);
        if (!merged)
            continue;
        entry.translatable = merged->translatable;
        if (merged->translatable)
            entry.translation = merged->translation;
    }
    return WriteScriptTable(path, kind, entries, CRendaroDoc::KeysInFileOrder(*catalogue), error);
}
