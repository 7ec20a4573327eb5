#include "recovery/file_fingerprint.h"

#include <QCryptographicHash>
#include <QFile>

#include <sys/stat.h>

namespace {

// Size and time only; exists false when the file cannot be looked at.
FileFingerprint statOf(const QString &path)
{
    FileFingerprint print;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return print;
    print.exists = true;
    print.size = qint64(st.st_size);
    print.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return print;
}

QByteArray hashOf(const QString &path, bool *ok)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    *ok = file.open(QIODevice::ReadOnly) && hash.addData(&file);
    return *ok ? hash.result() : QByteArray();
}

} // namespace

FileFingerprint TakeFingerprint(const QString &path, bool withHash)
{
    FileFingerprint print = statOf(path);
    if (print.exists && withHash) {
        bool ok = false;
        print.hash = hashOf(path, &ok);
        print.exists = ok;
    }
    return print;
}

bool FileChangedSince(const QString &path, const FileFingerprint &recorded, FileFingerprint *now)
{
    FileFingerprint current = statOf(path);
    bool changed;
    if (!current.exists || !recorded.exists) {
        changed = current.exists != recorded.exists;
    } else if (current.size != recorded.size) {
        changed = true;
    } else if (current.modifiedNs == recorded.modifiedNs) {
        current.hash = recorded.hash;
        changed = false;
    } else {
        bool ok = false;
        current.hash = hashOf(path, &ok);
        current.exists = ok;
        changed = !ok || current.hash != recorded.hash;
    }
    if (now)
        *now = current;
    return changed;
}
