#pragma once
// File > Resolve Conflicts...: offered while a conflicts file lies beside
// the shown language file (a merge left it), it shows the conflicts one at
// a time and resolves them (ConflictSession). When the last is resolved,
// the file is saved (the user is asked) and the conflicts file goes.

#include <QObject>
#include <QPointer>
#include <memory>

class CommandActions;
class ConflictSession;
class CRendaroView;
class CResolveConflictsDlg;

class ConflictsFeature : public QObject {
    Q_OBJECT
public:
    ConflictsFeature(CRendaroView &view, CommandActions *commands);
    ~ConflictsFeature() override;

    void OnResolveConflicts();
    // Whether the shown file has a conflicts file beside it.
    bool hasConflicts() const;
    // The conflicts of the shown file, once the dialog was opened; null
    // before and after another file is shown.
    ConflictSession *session() const { return m_session.get(); }

private:
    void updateCommandStates();
    void finish();

    CRendaroView &m_view;
    CommandActions *m_commands;
    std::unique_ptr<ConflictSession> m_session;
    QPointer<CResolveConflictsDlg> m_dialog;  // while it is open
};
