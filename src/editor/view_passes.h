#pragma once
// The state of the view's long passes between their slices (view_filter.cpp,
// view_search.cpp, view_find_replace.cpp).

#include "catalogue/entry_filter.h"
#include "catalogue/text_match.h"
#include "editor/rendaro_view.h"
#include "editor/work_slices.h"

#include <memory>

// A filter pass in progress: what it was started on, so that a slice can
// tell whether the entries changed under it (the pass then starts again).
struct CRendaroView::FilterPassRun {
    const CXMLStruct *catalogue = nullptr;
    int catalogueId = -1;
    quint64 generation = 0;
    bool keepSelection = true;  // false: the rows come as RefreshGrid makes them
    std::unique_ptr<EntryFilterPass> pass;
};

// A search (Find Next, or Replace's find step) in progress.
struct CRendaroView::SearchRun {
    enum class Kind { Find, Replace };
    Kind kind = Kind::Find;
    TextMatcher matcher;
    const CXMLStruct *catalogue = nullptr;  // the rows' catalogue when the search started
    int start = 0;          // Find: the rows before this one are searched after the question
    bool wrapped = false;   // Find: those rows are being searched
    bool inSlices = false;  // the status bar says a search is running
    std::unique_ptr<RowScan> scan;
};
