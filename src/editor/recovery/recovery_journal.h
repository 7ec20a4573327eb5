#pragma once
// Never losing work: every unsaved change of the shown file or folder (an
// edit, a check box, a paste, an import, Settings, and each undo and redo)
// is recorded in a recovery journal, which goes when the changes are saved
// or let go. Journals an editor left behind are offered when their file or
// folder is opened, or at start-up; restoring replays them as unsaved
// changes, one undo step.

#include "catalogue/entry_edits.h"
#include "editor/core/rendaro_view.h"

#include <QObject>
#include <memory>

class JournalWriter;
struct FoundJournal;
struct JournalPlan;

class RecoveryJournal : public QObject {
    Q_OBJECT
public:
    explicit RecoveryJournal(CRendaroView &view);
    ~RecoveryJournal() override;

    // Offers the journals an editor left behind for the shown file or folder.
    void OfferRecovery();
    // At start-up, nothing shown: offers what was left behind for any file or folder.
    void OfferRecoveryAtStart();
    // PromptSave before the window closes; changes let go take their journal along.
    bool PromptClose();
    void discardJournal();
    // Waits until the journal is on disk; false when it could not be written.
    bool flushJournal();
    QString journalPath() const;  // empty while there is no journal
    // Records changes of the shown entries (the view's entriesChanged come
    // here); the records of one call reach the journal's thread together.
    void recordChanges(const ShownEntryChanges &changes);

private:
    QString shownTarget() const;
    JournalWriter *shownJournal();
    void noteJournalFailure();
    void journalSettings(const CatalogueSettings &settings);
    void restoreJournal(FoundJournal &journal, const JournalPlan &plan);

    CRendaroView &m_view;
    std::unique_ptr<JournalWriter> m_journal;
    bool m_journalUnavailable = false;  // it could not be made for what is shown; said once
    bool m_failureShown = false;        // a write failure was said
};
