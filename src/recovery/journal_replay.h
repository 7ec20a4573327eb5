#pragma once
// Puts a journal's changes back into a catalogue. The records are folded
// into the last state of each entry (in the order the entries were first
// changed) and compared with the catalogue as it is now: only what differs
// is a change to restore, and an entry the catalogue no longer holds (its
// original is gone from the file) is left out and named. Nothing is
// written to disk here.

#include "catalogue/entry_edits.h"
#include "recovery/journal_format.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class CRendaroDoc;

// One entry to put back: its state after the journal's records.
struct JournalEntryChange {
    QString original;
    QString translation;
    int translatable = 1;
    bool add = false;  // the entry is added (the journal added it and the catalogue lacks it)
};

struct JournalPlan {
    std::vector<JournalEntryChange> entries;
    std::optional<CatalogueSettings> settings;  // new settings, when they differ
    QStringList leftOut;  // originals the journal changed that the catalogue no longer holds
    // Changes to restore: the entries and the settings.
    int count() const { return int(entries.size()) + (settings ? 1 : 0); }
};

// The distinct entries and settings a journal changes, before any
// comparison with a file (what `rendaro-cli recover --list` counts).
int JournalChangeCount(const std::vector<JournalRecord> &records);

// What restoring the records into the catalogue would change.
JournalPlan PlanJournalReplay(const CRendaroDoc &document, int catalogueId,
                              const std::vector<JournalRecord> &records);

// Applies the plan through the entry edits; `changed` (may be empty) hears
// of every entry changed, with the state it had before, as the editor's
// edit paths report their changes. The settings are set first.
void ApplyJournalPlan(CRendaroDoc &document, int catalogueId, const JournalPlan &plan,
                      const std::function<void(const QString &original, const EntryState &before)> &changed);
