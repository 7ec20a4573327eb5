#include "recovery/process_identity.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(4096);
}

// Field 22 of /proc/PID/stat, the start time; the fields are counted after
// the command name, which may itself hold spaces and parentheses.
quint64 startTicksOf(qint64 pid)
{
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // After the name come the state (field 3) and on; the start time is field 22.
    constexpr int kStartField = 22 - 3;
    return fields.size() > kStartField ? fields[kStartField].toULongLong() : 0;
}

QByteArray bootId() { return readSmallFile(QStringLiteral("/proc/sys/kernel/random/boot_id")).trimmed(); }

} // namespace

ProcessIdentity CurrentProcessIdentity()
{
    ProcessIdentity self;
    self.pid = qint64(::getpid());
    self.startTicks = startTicksOf(self.pid);
    self.bootId = bootId();
    return self;
}

bool IsProcessRunning(const ProcessIdentity &process)
{
    if (process.pid <= 0)
        return false;
    if (!process.bootId.isEmpty()) {
        const QByteArray now = bootId();
        if (!now.isEmpty() && now != process.bootId)
            return false;  // written before the machine started again
    }
    if (::kill(pid_t(process.pid), 0) != 0 && errno == ESRCH)
        return false;
    if (process.startTicks == 0)
        return true;  // nothing more to compare: assume it is the one
    const quint64 ticks = startTicksOf(process.pid);
    return ticks == 0 || ticks == process.startTicks;
}
