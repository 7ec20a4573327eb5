#pragma once
// Writes one recovery journal. Records are appended in memory by the
// caller (a few microseconds each) and written, flushed and synced to disk
// by the writer's own thread as soon as it is free, so the editor never
// waits for the disk and a killed process loses only what the disk had not
// taken yet. Several records appended while the thread writes go in its
// next write together.
//
// The journal file is created under a temporary name, locked (flock) and
// given its header before it takes its real name, so another editor never
// finds a journal of a running editor unlocked.

#include "recovery/journal_format.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class JournalWriter {
public:
    // Creates the journal in `folder` (which must exist); null with the
    // reason when it cannot.
    static std::unique_ptr<JournalWriter> create(const QString &folder, const JournalHeader &header,
                                                 QString *error);
    // Writes what was appended and closes the journal, which stays on disk.
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    void appendEntry(JournalRecordType type, const QString &original, const QString &translation,
                     int translatable);
    void appendSettings(float lengthRatio, int codeType);
    // Appends made between hold() and release() stay with the caller and go
    // to the thread together at the release, so a change of 50,000 entries
    // costs one hand-over and one write instead of one each. Holds nest.
    void hold();
    void release();
    // Waits until every record appended so far is on disk; false when a
    // write failed (see error()).
    bool flush();
    // Stops writing and removes the journal.
    void discard();

    const QString &path() const { return m_path; }
    // The first write failure, empty while there is none.
    QString error() const;
    // Whether a write failed (cheap enough to ask after every append).
    bool failed() const { return m_failed.load(std::memory_order_relaxed); }
    // Records appended so far.
    qint64 recordCount() const { return m_appended; }

private:
    JournalWriter(const QString &path, int fd);
    void run();
    void stop();
    void handOver(QByteArray &&records, qint64 count);

    QString m_path;
    int m_fd;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;     // records to write, or stop
    std::condition_variable m_written;  // a write ended
    QByteArray m_pending;               // appended, not yet handed to the thread
    int m_holdDepth = 0;                // caller's thread only
    QByteArray m_held;                  // appended while held (caller's thread only)
    qint64 m_heldRecords = 0;           // records in m_held (caller's thread only)
    qint64 m_appended = 0;              // records appended (caller's thread)
    qint64 m_handedOver = 0;            // records the thread took (under m_mutex)
    qint64 m_durable = 0;               // records on disk (under m_mutex)
    qint64 m_pendingRecords = 0;        // records in m_pending (under m_mutex)
    bool m_stopping = false;
    QString m_error;
    std::atomic<bool> m_failed{false};
    std::thread m_thread;
};
