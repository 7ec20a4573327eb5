#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Writes a file without ever leaving a half-written target: the data goes to
// a temporary file in the same folder, is flushed to disk and then renamed
// over the target (keeping the target's permissions). On any failure the old
// file is left as it was, no temporary file remains, and false is returned
// with a reason in *error when given.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The same, with the content produced by writeBody on the temporary file;
// writeBody returns false when it could not write everything.
bool writeFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &writeBody,
                         QString *error = nullptr);
