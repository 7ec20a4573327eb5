#include "catalogue/entry_edits.h"

#include "catalogue/document.h"

EntryState ReadEntryState(const CRendaroDoc &document, int catalogueId, const QString &original)
{
    EntryState state;
    const CXMLStruct *catalogue = document.findCatalogue(catalogueId);
    if (!catalogue)
        return state;
    // A lookup by hash: an iterator would need the table's order, which a
    // catalogue only just loaded has not built yet.
    const StringEntry *entry = catalogue->entries.lookup(original);
    if (!entry)
        return state;
    state.existed = true;
    state.translation = entry->translation;
    state.translatable = entry->translatable;
    return state;
}

EntryState SetEntryTranslation(CRendaroDoc &document, int catalogueId, const QString &original,
                               const QString &translation, int translatable)
{
    const EntryState previous = ReadEntryState(document, catalogueId, original);
    if (previous.existed)
        document.SetTranslation(catalogueId, original, translation, translatable);
    return previous;
}

AddedEntry AddNewEntry(CRendaroDoc &document, int catalogueId, const QString &original, const QString &translation,
                       int translatable)
{
    AddedEntry added;
    added.previous = ReadEntryState(document, catalogueId, original);
    added.catalogueId = catalogueId;
    if (original.isEmpty())
        return added;
    if (document.AddEntry(catalogueId, original, translation, translatable) == 0) {
        added.createdCatalogue = true;
        added.catalogueId = document.currentCatalogueId();
    }
    return added;
}

bool RemoveAddedEntry(CRendaroDoc &document, int catalogueId, const QString &original)
{
    CXMLStruct *catalogue = document.findCatalogue(catalogueId);
    return catalogue && catalogue->entries.removeLast(original);
}

CatalogueSettings ReadCatalogueSettings(const CRendaroDoc &document, int catalogueId)
{
    CatalogueSettings settings;
    if (const CXMLStruct *catalogue = document.findCatalogue(catalogueId)) {
        settings.existed = true;
        settings.lengthRatio = catalogue->lengthRatio;
        settings.codeType = catalogue->codeType;
    }
    return settings;
}

CatalogueSettings SetCatalogueSettings(CRendaroDoc &document, int catalogueId, float lengthRatio, int codeType)
{
    const CatalogueSettings previous = ReadCatalogueSettings(document, catalogueId);
    if (CXMLStruct *catalogue = document.findCatalogue(catalogueId)) {
        catalogue->lengthRatio = lengthRatio;
        catalogue->codeType = codeType;
    }
    return previous;
}
