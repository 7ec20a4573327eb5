#pragma once
// What a file looked like when it was read: its size, modification time
// and a hash of its bytes. Comparing a fingerprint with the file as it is
// now tells whether another program changed it: a different size is a
// change; the same size and time is none; otherwise the hash decides, so a
// file touched but not changed is not taken for a changed one.

#include <QByteArray>
#include <QString>

struct FileFingerprint {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;  // nanoseconds since the epoch
    QByteArray hash;        // SHA-1 of the bytes; empty when not read

    friend bool operator==(const FileFingerprint &a, const FileFingerprint &b)
    {
        return a.exists == b.exists && a.size == b.size && a.modifiedNs == b.modifiedNs && a.hash == b.hash;
    }
};

// The file's fingerprint now (links followed); a missing or unreadable
// file has exists false. Without the hash it costs one stat, and compares
// as unchanged only while size and time stay.
FileFingerprint TakeFingerprint(const QString &path, bool withHash = true);

// Whether the file differs from what `recorded` saw. A file that is gone
// counts as changed; the hash is read only when size and time leave it
// open. When `now` is given it receives the file's current fingerprint.
bool FileChangedSince(const QString &path, const FileFingerprint &recorded, FileFingerprint *now = nullptr);
