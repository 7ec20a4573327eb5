#pragma once
// Moving to the rows that need work: Go > Next/Previous Untranslated
// (Ctrl+J, Ctrl+Shift+J) and Next/Previous Problem (Ctrl+K, Ctrl+Shift+K).
// The selection moves to the next row the grid shows whose entry needs
// work, wrapping at either end; rows the filter hides are never
// candidates. The keys reach it before the in-place editor, which would
// otherwise take Ctrl+K for itself, so they move on from an open edit too.

#include "catalogue/entry_navigation.h"

#include <QObject>

class CommandActions;
class CRendaroView;
class QKeyEvent;

class Navigation : public QObject {
    Q_OBJECT
public:
    Navigation(CRendaroView &view, CommandActions *commands);

    void OnNextUntranslated();
    void OnPreviousUntranslated();
    void OnNextProblem();
    void OnPreviousProblem();

private:
    void navigate(bool toProblem, SearchDirection direction);
    bool handleKey(QKeyEvent *event, bool isShortcutOverride);
    void updateCommandStates();

    CRendaroView &m_view;
    CommandActions *m_commands;
};
