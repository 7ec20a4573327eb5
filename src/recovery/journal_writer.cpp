#include "recovery/journal_writer.h"

#include "recovery/journal_store.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Writes all of `bytes`; errno is set on failure.
bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString randomPart()
{
    return QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0');
}

} // namespace

std::unique_ptr<JournalWriter> JournalWriter::create(const QString &folder, const JournalHeader &header,
                                                     QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    const QString base = QStringLiteral("%1/%2-%3-").arg(folder, JournalNameStem(header.target)).arg(header.pid);
    QString path;
    QByteArray creating;
    int fd = -1;
    for (int attempt = 0; attempt < 20 && fd < 0; ++attempt) {
        path = base + randomPart() + QStringLiteral(".journal");
        creating = QFile::encodeName(path + QStringLiteral(".new"));
        fd = ::open(creating.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return fail(QStringLiteral("%1: %2").arg(folder, qt_error_string(errno)));
    // Without flock (some network file systems) the header's process decides.
    ::flock(fd, LOCK_EX | LOCK_NB);
    QByteArray start = JournalFileStart();
    AppendHeaderRecord(start, header);
    if (!writeAll(fd, start.constData(), start.size()) || ::fdatasync(fd) != 0
        || ::rename(creating.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString reason = qt_error_string(errno);
        ::unlink(creating.constData());
        ::close(fd);
        return fail(QStringLiteral("%1: %2").arg(path, reason));
    }
    syncFolder(folder);
    return std::unique_ptr<JournalWriter>(new JournalWriter(path, fd));
}

JournalWriter::JournalWriter(const QString &path, int fd) : m_path(path), m_fd(fd)
{
    m_thread = std::thread([this] { run(); });
}

JournalWriter::~JournalWriter()
{
    if (m_heldRecords > 0)
        handOver(std::exchange(m_held, QByteArray()), std::exchange(m_heldRecords, 0));
    stop();
    if (m_fd >= 0)
        ::close(m_fd);
}

void JournalWriter::appendEntry(JournalRecordType type, const QString &original, const QString &translation,
                                int translatable)
{
    ++m_appended;
    if (m_holdDepth > 0) {
        AppendEntryRecord(m_held, type, original, translation, translatable);
        ++m_heldRecords;
        return;
    }
    std::lock_guard lock(m_mutex);
    AppendEntryRecord(m_pending, type, original, translation, translatable);
    ++m_pendingRecords;
    m_wake.notify_one();
}

void JournalWriter::appendSettings(float lengthRatio, int codeType)
{
    ++m_appended;
    if (m_holdDepth > 0) {
        AppendSettingsRecord(m_held, lengthRatio, codeType);
        ++m_heldRecords;
        return;
    }
    std::lock_guard lock(m_mutex);
    AppendSettingsRecord(m_pending, lengthRatio, codeType);
    ++m_pendingRecords;
    m_wake.notify_one();
}

void JournalWriter::hold() { ++m_holdDepth; }

void JournalWriter::release()
{
    if (m_holdDepth > 0 && --m_holdDepth == 0 && m_heldRecords > 0)
        handOver(std::exchange(m_held, QByteArray()), std::exchange(m_heldRecords, 0));
}

void JournalWriter::handOver(QByteArray &&records, qint64 count)
{
    std::lock_guard lock(m_mutex);
    if (m_pending.isEmpty())
        m_pending = std::move(records);
    else
        m_pending.append(records);
    m_pendingRecords += count;
    m_wake.notify_one();
}

bool JournalWriter::flush()
{
    if (m_heldRecords > 0)  // everything appended, held or not
        handOver(std::exchange(m_held, QByteArray()), std::exchange(m_heldRecords, 0));
    std::unique_lock lock(m_mutex);
    const qint64 target = m_appended;
    m_written.wait(lock, [&] { return m_durable >= target || !m_thread.joinable(); });
    return m_error.isEmpty();
}

void JournalWriter::discard()
{
    {
        std::lock_guard lock(m_mutex);
        m_pending.clear();
        m_pendingRecords = 0;
    }
    m_held.clear();
    m_heldRecords = 0;
    stop();
    // Removed while still locked, so no other editor finds it unheld.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

QString JournalWriter::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void JournalWriter::stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_wake.notify_one();
    }
    m_thread.join();
}

// Takes everything appended, writes it and syncs it; a failure stops the
// writing for good (the records after it could not be read back anyway).
void JournalWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || !m_pending.isEmpty(); });
        if (m_pending.isEmpty())
            break;  // stopping, everything written
        const QByteArray batch = std::exchange(m_pending, QByteArray());
        m_handedOver += std::exchange(m_pendingRecords, 0);
        const qint64 batchEnd = m_handedOver;
        const bool failedBefore = !m_error.isEmpty();
        lock.unlock();
        QString error;
        if (!failedBefore && (!writeAll(m_fd, batch.constData(), batch.size()) || ::fdatasync(m_fd) != 0))
            error = qt_error_string(errno);
        lock.lock();
        if (!error.isEmpty() && m_error.isEmpty()) {
            m_error = error;
            m_failed = true;
        }
        m_durable = batchEnd;
        m_written.notify_all();
    }
    m_durable = m_handedOver;
    m_written.notify_all();
}
