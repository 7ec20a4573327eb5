#pragma once
// Helpers of the view's own source files: the state of the rows' filter
// pass between its slices (view_rows.cpp) and the undo step being made
// (view_undo.cpp).

#include "editor/core/rendaro_view.h"

// A filter pass in progress: what it was started on, so that a slice can
// tell whether the entries changed under it (the pass then starts again).
struct CRendaroView::FilterPassRun {
    const CXMLStruct *catalogue = nullptr;
    int catalogueId = -1;
    quint64 generation = 0;
    bool keepSelection = true;  // false: the rows come as RefreshGrid makes them
    std::unique_ptr<EntryFilterPass> pass;
};

// The changes made while one of these lives form one undo step, and the
// features hear of them together when the outermost one ends.
class CRendaroView::ChangeStep {
public:
    ChangeStep(CRendaroView &view, const QString &text) : m_view(view)
    {
        if (m_view.m_stepDepth++ == 0)
            m_view.m_stepText = text;
    }
    ~ChangeStep()
    {
        if (--m_view.m_stepDepth == 0) {
            m_view.pushStep(m_view.m_stepText);
            m_view.announceChanges();
        }
    }
    ChangeStep(const ChangeStep &) = delete;
    ChangeStep &operator=(const ChangeStep &) = delete;

private:
    CRendaroView &m_view;
};
