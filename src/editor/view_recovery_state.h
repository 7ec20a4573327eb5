#pragma once
// What the view keeps to never lose work: the recovery journal of the
// shown file or folder, and the watch on the shown files with what they
// held when read or last written (view_recovery.cpp, view_disk_changes.cpp).

#include "recovery/file_fingerprint.h"
#include "recovery/journal_writer.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QTimer>
#include <memory>

struct ViewRecovery {
    std::unique_ptr<JournalWriter> journal;
    bool journalUnavailable = false;  // it could not be made for what is shown; said once
    bool failureShown = false;        // a write failure was said
    int batchDepth = 0;               // a step of many changes is being made
    bool held = false;                // the journal holds its records until the step ends
    QFileSystemWatcher watcher;       // the shown files and their folders
    QTimer diskCheck;                 // single shot: a burst of events settles first
    QHash<QString, FileFingerprint> read;      // each shown file as read or last written
    QHash<QString, FileFingerprint> answered;  // the version a question about it was answered for
    bool asking = false;
};
