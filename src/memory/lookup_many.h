#pragma once
// Many lookups at once, spread over a few threads (a built memory may be
// read by any number of threads).

#include "memory/translation_memory.h"

#include <vector>

// The suggestions for each original, in the same order. threads 0: one per
// processor, at most four.
std::vector<std::vector<TmSuggestion>> LookupMany(const TranslationMemory &memory, const QStringList &originals,
                                                  int minScore, int limit, int threads = 0);
