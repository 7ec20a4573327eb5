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
