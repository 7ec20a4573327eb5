#pragma once
// Moving the selection to a row a search of the shown rows found (Next
// Untranslated, Next Problem, Next Misspelling, ...): the row is selected,
// scrolled to and focused, and the status bar says whether the search
// wrapped at an end of the grid.

#include "catalogue/entry_navigation.h"

#include <QString>

class CRendaroView;

// `found` must name a row. `note`, when not empty, is said in place of the
// wrap message (it says something more important).
void SelectFoundRow(CRendaroView &view, const EntrySearchResult &found, SearchDirection direction,
                    const QString &note = QString());
