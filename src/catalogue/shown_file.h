#pragma once
// Operations of the editor on the file it shows.

#include <QString>

class CRendaroDoc;

// Closes every catalogue but keepId and empties the master catalogue: a
// newly loaded file replaces whatever was shown.
void CloseAllCataloguesExcept(CRendaroDoc &document, int keepId);

// Writes the catalogue's untranslated, translatable entries to path as a
// fresh file (SaveCatalogue without the tree). The catalogue itself keeps
// its tree and file path, so it can still be saved to its own file.
bool SaveUntranslatedCopy(CRendaroDoc &document, int catalogueId, const QString &path);
