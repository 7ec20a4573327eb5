#pragma once
// A search between its slices, shared by Find (search_feature.cpp) and
// Replace's find step (replace.cpp).

#include "catalogue/text_match.h"
#include "editor/core/work_slices.h"
#include "editor/search/search_feature.h"

#include <memory>

struct CXMLStruct;

// A search (Find Next, or Replace's find step) in progress.
struct SearchFeature::SearchRun {
    enum class Kind { Find, Replace };
    Kind kind = Kind::Find;
    TextMatcher matcher;
    const CXMLStruct *catalogue = nullptr;  // the rows' catalogue when the search started
    int start = 0;          // Find: the rows before this one are searched after the question
    bool wrapped = false;   // Find: those rows are being searched
    bool inSlices = false;  // the status bar says a search is running
    std::unique_ptr<RowScan> scan;
};
