#include "catalogue/safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int code) { return qt_error_string(code); }

// The file a path names once links are followed; a dangling link gives the
// name it points to, a loop of links the path itself.
QString followLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 64 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

QString kindReason(mode_t mode)
{
    const char *kind = S_ISDIR(mode)    ? "a folder"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISFIFO(mode) ? "a FIFO"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "a special file";
    return QStringLiteral("it is %1, not a regular file").arg(QLatin1String(kind));
}

// Empty when the file is regular or absent.
QString nonRegularReasonOf(const QByteArray &file)
{
    struct stat st;
    if (::stat(file.constData(), &st) != 0 || S_ISREG(st.st_mode))
        return QString();
    return kindReason(st.st_mode);
}

QByteArray folderOf(const QByteArray &file)
{
    const qsizetype slash = file.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : file.left(slash);
}

// The temporary file beside the target. Its name is short and not derived
// from the target's, so a target whose name is at the system's limit can
// still be replaced. Removed again unless committed.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile() { remove(); }

    void remove()
    {
        closeFile();
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
        m_name.clear();
    }

    // Creates the file in folder with the given mode (before the umask);
    // errno is set on failure.
    bool create(const QByteArray &folder, mode_t mode)
    {
        static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QByteArray name = folder + "/.rendaro-";
            for (int i = 0; i < 8; ++i)
                name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
            m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (m_fd >= 0) {
                m_name = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    int fd() const { return m_fd; }
    const QByteArray &name() const { return m_name; }
    bool closeFile()
    {
        if (m_fd < 0)
            return true;
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        return closed;
    }
    void commit() { m_name.clear(); }

private:
    int m_fd = -1;
    QByteArray m_name;
};

// The temporary file's device. It starts writing each piece out to the
// disk as soon as the next one is being prepared, so that the fsync before
// the rename finds little left to wait for.
class EarlyWritebackFile : public QFile {
public:
    using QFile::QFile;

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 written = QFile::writeData(data, length);
#ifdef SYNC_FILE_RANGE_WRITE
        if (written > 0) {
            // Only a hint: whatever it does, the fsync below makes the data durable.
            (void)::sync_file_range(handle(), m_written, written, SYNC_FILE_RANGE_WRITE);
            m_written += written;
        }
#endif
        return written;
    }

private:
    qint64 m_written = 0;
};

// Makes the rename itself durable; a failure here loses nothing written.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

namespace {

// The part of a safe write that touches no target: the checks of the target,
// then the new content written to a temporary file beside it, with the
// replaced file's owner, group and permissions. Nothing is flushed yet.
// *target receives the file the path names once links are followed.
bool writeTemporary(const QString &path, const std::function<bool(QIODevice &)> &writeBody, QByteArray *target,
                    TemporaryFile &temporary, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no file name given"));
    *target = QFile::encodeName(followLinks(path));

    struct stat old;
    const bool exists = ::stat(target->constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(systemReason(errno));
    if (exists && !S_ISREG(old.st_mode))
        return fail(kindReason(old.st_mode));
    if (exists && ::access(target->constData(), W_OK) != 0)
        return fail(systemReason(errno));
    if (target->endsWith('/'))
        return fail(QStringLiteral("no file name given"));

    // A replaced file's content is not shown to others before its own
    // permissions are in place; a new file gets the usual umask mode.
    if (!temporary.create(folderOf(*target), exists ? 0600 : 0666))
        return fail(systemReason(errno));
    {
        EarlyWritebackFile file;
        if (!file.open(temporary.fd(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
            return fail(file.errorString());
        if (!writeBody(file) || !file.flush()) {
            return fail(file.error() != QFileDevice::NoError ? file.errorString()
                                                             : QStringLiteral("the data could not be written"));
        }
    }
    if (exists) {
        // The owner can only be given away with the right to do so; the
        // group at least is kept where the writer belongs to it. Ownership
        // first, because changing it may clear the set-id bits.
        if (::fchown(temporary.fd(), old.st_uid, old.st_gid) != 0)
            (void)!::fchown(temporary.fd(), uid_t(-1), old.st_gid);
        if (::fchmod(temporary.fd(), old.st_mode & 07777) != 0)
            return fail(systemReason(errno));
    }
    return true;
}

// Puts a durable temporary file in place of target (the folder is not
// synced); false with the reason when the target turned into something
// that must not be replaced, or the rename failed.
bool renameOver(TemporaryFile &temporary, const QByteArray &target, QString *error)
{
    // Checked again just before the rename, which would replace whatever is there.
    const QString late = nonRegularReasonOf(target);
    if (!late.isEmpty()) {
        if (error)
            *error = late;
        return false;
    }
    if (::rename(temporary.name().constData(), target.constData()) != 0) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    temporary.commit();
    return true;
}

} // namespace

bool writeFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &writeBody, QString *error)
{
    QByteArray target;
    TemporaryFile temporary;
    if (!writeTemporary(path, writeBody, &target, temporary, error))
        return false;
    if (::fsync(temporary.fd()) != 0 || !temporary.closeFile()) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    if (!renameOver(temporary, target, error))
        return false;
    syncFolder(folderOf(target));
    return true;
}

// The batch's ordering is what keeps each target old or new through a crash:
//  1. every new content goes to its temporary file (targets untouched);
//  2. one syncfs per file system makes all of them durable, data and inode
//     (the folder descriptors it runs on were opened before the first
//     temporary file of their folder was written, so a write-back error
//     met on the way is reported to them);
//  3. only then each temporary file is renamed over its target: whichever
//     renames reach the disk, each names a complete file;
//  4. one fsync per folder makes the renames durable before commit returns.
// A crash before 3 leaves every target old (and stray temporary files, as a
// crash during a single safe write does); during 3 or 4, each target old or
// new. A failed sync renames nothing.
struct DurableWriteBatch::Staged {
    QByteArray target;
    TemporaryFile temporary;
    bool written = false;
    QString error;
};

DurableWriteBatch::DurableWriteBatch() = default;

DurableWriteBatch::~DurableWriteBatch()
{
    for (const auto &[folder, fd] : m_folders)
        ::close(fd);
}

int DurableWriteBatch::add(const QString &path, const std::function<bool(QIODevice &)> &writeBody, QString *error)
{
    auto staged = std::make_unique<Staged>();
    QString reason;
    const QByteArray folder = folderOf(QFile::encodeName(followLinks(path)));
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_folders.contains(folder)) {
            const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd >= 0)
                m_folders.emplace(folder, fd);
        }
    }
    if (!writeTemporary(path, writeBody, &staged->target, staged->temporary, &reason)
        || !staged->temporary.closeFile()) {
        if (error)
            *error = reason.isEmpty() ? systemReason(errno) : reason;
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_staged.push_back(std::move(staged));
    return int(m_staged.size()) - 1;
}

int DurableWriteBatch::add(const QString &path, const QByteArray &bytes, QString *error)
{
    return add(path, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); }, error);
}

bool DurableWriteBatch::commit()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    bool allWritten = true;
    // 2. One sync per file system, on a folder descriptor opened before
    // anything was written into that folder.
    std::vector<dev_t> synced;
    QString syncError;
    for (const auto &[folder, fd] : m_folders) {
        struct stat st;
        if (::fstat(fd, &st) != 0) {
            syncError = systemReason(errno);
            break;
        }
        if (std::find(synced.begin(), synced.end(), st.st_dev) != synced.end())
            continue;
        if (::syncfs(fd) != 0) {
            syncError = systemReason(errno);
            break;
        }
        synced.push_back(st.st_dev);
    }
    // A staged file whose folder could not be opened has no descriptor
    // that saw its write: it is synced on its own.
    for (const std::unique_ptr<Staged> &staged : m_staged) {
        if (!syncError.isEmpty())
            break;
        if (m_folders.contains(folderOf(staged->target)))
            continue;
        const int fd = ::open(staged->temporary.name().constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0)
            syncError = systemReason(errno);
        if (fd >= 0)
            ::close(fd);
    }
    // 3. The renames, only when everything is durable.
    std::vector<QByteArray> folders;
    for (const std::unique_ptr<Staged> &staged : m_staged) {
        if (!syncError.isEmpty()) {
            staged->error = syncError;
        } else if (renameOver(staged->temporary, staged->target, &staged->error)) {
            staged->written = true;
            const QByteArray folder = folderOf(staged->target);
            if (std::find(folders.begin(), folders.end(), folder) == folders.end())
                folders.push_back(folder);
        } else {
            staged->temporary.remove();
        }
        allWritten = allWritten && staged->written;
    }
    // 4. The renames made durable, once per folder.
    for (const QByteArray &folder : folders) {
        const auto open = m_folders.find(folder);
        if (open != m_folders.end())
            ::fsync(open->second);
        else
            syncFolder(folder);
    }
    return allWritten;
}

bool DurableWriteBatch::written(int file) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return file >= 0 && size_t(file) < m_staged.size() && m_staged[size_t(file)]->written;
}

QString DurableWriteBatch::errorOf(int file) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return file >= 0 && size_t(file) < m_staged.size() ? m_staged[size_t(file)]->error : QString();
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeFileAtomically(
        path, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); }, error);
}

QString nonRegularFileReason(const QString &path)
{
    return path.isEmpty() ? QString() : nonRegularReasonOf(QFile::encodeName(followLinks(path)));
}

bool ReadRegularFile(const QString &path, QByteArray *bytes, QString *error)
{
    const QString notRegular = nonRegularFileReason(path);
    if (!notRegular.isEmpty()) {
        *error = notRegular;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}
