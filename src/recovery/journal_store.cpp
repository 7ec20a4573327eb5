#include "recovery/journal_store.h"

#include "recovery/process_identity.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kJournalSuffix = QStringLiteral(".journal");
const QString kSetAsideSuffix = QStringLiteral(".discarded");
const QString kCreatingSuffix = QStringLiteral(".journal.new");

QString absoluteFromEnvironment(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : QString();
}

// Whether the open file is locked by another open file; false also when
// the file system has no flock (errno tells).
bool lockTaken(int fd, int *error)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        *error = 0;
        return true;
    }
    *error = errno;
    return false;
}

ProcessIdentity writerOf(const JournalHeader &header)
{
    return {header.pid, header.startTicks, header.bootId};
}

bool hasSuffix(const QString &name, const QString &suffix) { return name.endsWith(suffix); }

} // namespace

QString RecoveryFolder()
{
    QString state = absoluteFromEnvironment("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/rendaro/recovery");
}

bool EnsureRecoveryFolder(const QString &folder, QString *error)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

QString JournalTargetPath(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString JournalNameStem(const QString &targetPath)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(targetPath.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

std::unique_ptr<JournalClaim> JournalClaim::take(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    int error = 0;
    if (!lockTaken(fd, &error)) {
        // EWOULDBLOCK: its editor (or another one restoring it) holds it.
        // Any other failure: no flock here, so the header's process decides.
        const bool held = error == EWOULDBLOCK
                          || IsProcessRunning(writerOf(ReadJournalFile(path).header));
        if (held) {
            ::close(fd);
            return nullptr;
        }
    }
    return std::unique_ptr<JournalClaim>(new JournalClaim(path, fd));
}

JournalClaim::~JournalClaim()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool JournalClaim::setAside(QString *error)
{
    if (m_path.endsWith(kSetAsideSuffix)) {
        ::futimens(m_fd, nullptr);
        return true;
    }
    QString target = m_path;
    if (target.endsWith(kJournalSuffix))
        target.chop(kJournalSuffix.size());
    target += kSetAsideSuffix;
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(target).constData()) != 0) {
        if (error)
            *error = qt_error_string(errno);
        return false;
    }
    // Dated now, so that the week it is kept starts today.
    ::futimens(m_fd, nullptr);
    m_path = target;
    return true;
}

bool JournalClaim::remove(QString *error)
{
    if (::unlink(QFile::encodeName(m_path).constData()) != 0) {
        if (error)
            *error = qt_error_string(errno);
        return false;
    }
    return true;
}

std::vector<FoundJournal> FindJournals(const QString &folder, const JournalSearch &search)
{
    std::vector<FoundJournal> found;
    const QString stem = search.target.isEmpty() ? QString() : JournalNameStem(search.target);
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        const bool setAside = hasSuffix(name, kSetAsideSuffix);
        if (!hasSuffix(name, kJournalSuffix) && !setAside)
            continue;
        if (setAside && !search.setAside)
            continue;
        if (!stem.isEmpty() && !name.startsWith(stem))
            continue;
        FoundJournal journal;
        journal.path = folder + u'/' + name;
        if (setAside) {
            journal.state = JournalState::SetAside;
        } else {
            journal.claim = JournalClaim::take(journal.path);
            journal.state = journal.claim ? JournalState::LeftBehind : JournalState::InUse;
            if (!journal.claim && !search.inUse)
                continue;
        }
        journal.contents = ReadJournalFile(journal.path);
        if (!search.target.isEmpty() && journal.contents.header.target != search.target)
            continue;
        journal.written = QFileInfo(journal.path).lastModified();
        if (!search.claim)
            journal.claim.reset();
        found.push_back(std::move(journal));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const FoundJournal &a, const FoundJournal &b) { return a.written < b.written; });
    return found;
}

void PurgeOldJournals(const QString &folder, int days)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        const QString name = info.fileName();
        if (hasSuffix(name, kSetAsideSuffix) && info.lastModified().secsTo(now) > qint64(days) * 86400) {
            QFile::remove(info.filePath());
        } else if (hasSuffix(name, kCreatingSuffix) && info.lastModified().secsTo(now) > 86400) {
            // A creation cut short leaves an empty start; a live one is locked.
            if (auto claim = JournalClaim::take(info.filePath()))
                claim->remove();
        }
    }
}
