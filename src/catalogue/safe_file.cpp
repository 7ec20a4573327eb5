#include "catalogue/safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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
    ~TemporaryFile()
    {
        closeFile();
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
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

bool writeFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &writeBody, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no file name given"));
    const QByteArray target = QFile::encodeName(followLinks(path));

    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(systemReason(errno));
    if (exists && !S_ISREG(old.st_mode))
        return fail(kindReason(old.st_mode));
    if (exists && ::access(target.constData(), W_OK) != 0)
        return fail(systemReason(errno));
    if (target.endsWith('/'))
        return fail(QStringLiteral("no file name given"));

    // A replaced file's content is not shown to others before its own
    // permissions are in place; a new file gets the usual umask mode.
    TemporaryFile temporary;
    if (!temporary.create(folderOf(target), exists ? 0600 : 0666))
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
    if (::fsync(temporary.fd()) != 0)
        return fail(systemReason(errno));
    if (!temporary.closeFile())
        return fail(systemReason(errno));
    // Checked again just before the rename, which would replace whatever is there.
    const QString late = nonRegularReasonOf(target);
    if (!late.isEmpty())
        return fail(late);
    if (::rename(temporary.name().constData(), target.constData()) != 0)
        return fail(systemReason(errno));
    temporary.commit();
    syncFolder(folderOf(target));
    return true;
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
