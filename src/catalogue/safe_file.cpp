#include "catalogue/safe_file.h"

#include <QFileInfo>
#include <QSaveFile>

bool writeFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &writeBody, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("empty path"));
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("%1 is a folder").arg(path));
    // QSaveFile writes to a temporary file beside the target, syncs it and
    // renames it over the target on commit; it keeps the target's
    // permissions and removes the temporary file when anything fails.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!writeBody(file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit();  // discards the temporary file
        return fail(reason.isEmpty() ? QStringLiteral("write failed") : reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeFileAtomically(
        path, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); }, error);
}
