#pragma once
// The editor's "next/previous untranslated" and "next/previous problem":
// a search over the rows it shows (their entries in display order, rows
// hidden by a filter left out), wrapping at either end.

#include "catalogue/string_entry.h"

#include <functional>
#include <vector>

class CatalogueCounts;

enum class SearchDirection { Forward, Backward };

struct EntrySearchResult {
    qsizetype position = -1;  // index into the candidates; -1 when none matches
    bool wrapped = false;     // the search went past the last (first) row to find it
};

// Searches the candidates after `start` (before it, going backward), then
// from the other end up to and including `start` itself, for an entry that
// matches. `start` is the selected row, or -1 when none is selected: the
// search then covers every row from the first (going backward, from the
// last) and never wraps. Null candidates never match.
EntrySearchResult FindEntry(const std::vector<const StringEntry *> &candidates, qsizetype start,
                            SearchDirection direction, const std::function<bool(const StringEntry &)> &matches);

// The next untranslated entry: translatable, translation equal to original.
EntrySearchResult FindUntranslated(const std::vector<const StringEntry *> &candidates, qsizetype start,
                                   SearchDirection direction);

// The next entry failing a save-time check, as the counts last saw it.
EntrySearchResult FindProblem(const std::vector<const StringEntry *> &candidates, qsizetype start,
                              SearchDirection direction, const CatalogueCounts &counts);
