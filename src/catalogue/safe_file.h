#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

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

// Why path cannot be written over: "it is a FIFO, not a regular file" and
// the like; empty when path is a regular file or does not exist. Links are
// followed.
QString nonRegularFileReason(const QString &path);

// The bytes of a regular file (a folder, device or FIFO is never opened);
// false with the reason in *error when it cannot be read.
bool ReadRegularFile(const QString &path, QByteArray *bytes, QString *error);
