#pragma once
// Names a running process in a way that survives the reuse of its pid: the
// pid, the process's start time (clock ticks after boot, from /proc) and
// the identifier of the boot.

#include <QByteArray>
#include <QtGlobal>

struct ProcessIdentity {
    qint64 pid = 0;
    quint64 startTicks = 0;  // 0: unknown
    QByteArray bootId;       // empty: unknown
};

// This process.
ProcessIdentity CurrentProcessIdentity();

// Whether the process is still running: a process with that pid exists
// and, where the start time and boot are known, started at that time of
// this boot. A pid reused by another program does not count.
bool IsProcessRunning(const ProcessIdentity &process);
