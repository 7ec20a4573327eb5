#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class QIODevice;

// Writes a file without ever leaving a half-written target: the data goes to
// a temporary file with a short name in the target's folder, is flushed to
// disk, given the replaced file's permissions, owner and group (the owner and
// group where the system permits), and then renamed over the target. A link
// is followed, so the file it points to is replaced and the link stays.
//
// A target that exists but is no regular file (a folder, device, FIFO or
// socket) or is read-only is refused and left alone. On any failure the old
// file is left as it was, no temporary file remains, and false is returned
// with the reason (without the path) in *error when given.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The same, with the content produced by writeBody on the temporary file;
// writeBody returns false when it could not write everything.
bool writeFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &writeBody,
                         QString *error = nullptr);

// Many files written with the guarantee of writeFileAtomically for each (a
// crash or failure leaves every target old or new, never part written), but
// flushed to disk together: one sync per file system and one per folder
// instead of two per file. add() writes a file's new content beside it
// (from several threads at once if need be); commit() makes all of them
// durable, then puts each in place. Files not committed are removed with
// the batch and their targets left as they were.
class DurableWriteBatch {
public:
    DurableWriteBatch();
    ~DurableWriteBatch();
    DurableWriteBatch(const DurableWriteBatch &) = delete;
    DurableWriteBatch &operator=(const DurableWriteBatch &) = delete;

    // The file's number in the batch, or -1 with the reason in *error (the
    // target is then refused or the content could not be written; nothing
    // of it stays behind).
    int add(const QString &path, const std::function<bool(QIODevice &)> &writeBody, QString *error = nullptr);
    int add(const QString &path, const QByteArray &bytes, QString *error = nullptr);

    // Puts the added files in place; true when every one was. When the
    // sync fails, none is. Call once.
    bool commit();

    // After commit: whether the file numbered so was put in place, or why not.
    bool written(int file) const;
    QString errorOf(int file) const;

private:
    struct Staged;
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Staged>> m_staged;
    std::map<QByteArray, int> m_folders;  // descriptors of the targets' folders
};

// Why path cannot be written over: "it is a FIFO, not a regular file" and
// the like; empty when path is a regular file or does not exist. Links are
// followed.
QString nonRegularFileReason(const QString &path);

// The bytes of a regular file (a folder, device or FIFO is never opened);
// false with the reason in *error when it cannot be read.
bool ReadRegularFile(const QString &path, QByteArray *bytes, QString *error);
