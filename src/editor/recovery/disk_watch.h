#pragma once
// Files changed on disk by another program. The shown file (or the files
// of a shown language folder) and their folders are watched, and what each
// file held when it was read or last written is kept (size, time, hash).
// When another program changes one, the user is asked whether to read it
// again; with unsaved changes Reload (after a second question) or Keep
// Mine. Whatever the watcher saw, a save that would overwrite a file
// changed since it was read asks first.

#include "recovery/file_fingerprint.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

class CRendaroView;

class DiskWatch : public QObject {
    Q_OBJECT
public:
    explicit DiskWatch(CRendaroView &view);

    // Compares the shown files with what was read or last written and asks
    // about those another program changed (the watcher calls it).
    void CheckDiskChanges();

private:
    void watchShownFiles();
    QHash<QString, FileFingerprint> shownFilesNow() const;
    void filesWritten(const QStringList &files);
    bool confirmOverwrite(const QStringList &paths);

    CRendaroView &m_view;
    QFileSystemWatcher m_watcher;  // the shown files and their folders
    QTimer m_diskCheck;            // single shot: a burst of events settles first
    QHash<QString, FileFingerprint> m_read;      // each shown file as read or last written
    QHash<QString, FileFingerprint> m_answered;  // the version a question about it was answered for
    QHash<QString, FileFingerprint> m_beforeSave;  // the shown files as a save found them
    bool m_asking = false;
};
