#pragma once
// The one way the editor changes the entries of a catalogue. Each function
// returns the entry's state before the change, so that a caller can record
// the change and put the old state back later.

#include <QString>

class CRendaroDoc;

struct EntryState {
    bool existed = false;  // the catalogue held the original
    QString translation;
    int translatable = 1;
};

EntryState ReadEntryState(const CRendaroDoc &document, int catalogueId, const QString &original);

// Sets the entry's translatable flag and, when translatable is not 0, its
// translation (SetTranslation). An original the catalogue lacks changes nothing.
EntryState SetEntryTranslation(CRendaroDoc &document, int catalogueId, const QString &original,
                               const QString &translation, int translatable);

struct AddedEntry {
    EntryState previous;  // existed: the entry was there and is unchanged
    int catalogueId = -1; // the catalogue holding the entry now; a new one when catalogueId was unknown
    bool createdCatalogue = false;
};

// Adds an entry (AddEntry): an existing one is left as it is; an unknown
// catalogue is created, made current and receives the entry. An empty
// original is ignored.
AddedEntry AddNewEntry(CRendaroDoc &document, int catalogueId, const QString &original, const QString &translation,
                       int translatable);

// Takes back an entry that AddNewEntry added, which must be the newest
// entry of the catalogue (undo takes additions back newest first). False,
// and nothing changes, for an unknown catalogue or original, or an entry
// added before another one.
bool RemoveAddedEntry(CRendaroDoc &document, int catalogueId, const QString &original);

// The file-wide settings of a catalogue (AllowLength and CodeType).
struct CatalogueSettings {
    bool existed = false;  // the catalogue exists
    float lengthRatio = 2.0f;
    int codeType = 0;
};

// The catalogue's settings; the defaults when there is no such catalogue.
CatalogueSettings ReadCatalogueSettings(const CRendaroDoc &document, int catalogueId);
// Sets them; an unknown catalogue changes nothing.
CatalogueSettings SetCatalogueSettings(CRendaroDoc &document, int catalogueId, float lengthRatio, int codeType);
