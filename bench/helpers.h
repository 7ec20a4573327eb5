#pragma once
// Small helpers shared by the benchmark programs.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// Copies every file below `from` to the same place below `to` (folders
// made, existing files replaced); false when a copy fails.
bool copyTree(const QString &from, const QString &to);

// The smallest of `runs` results of run() (milliseconds, say).
double bestOf(int runs, const std::function<double()> &run);

// The median wall time in milliseconds of running program with args as a
// whole process, `runs` times, its standard output thrown away; -1 when a
// run fails or exits with a status above maxStatus (a check that finds
// something exits with 1).
double medianProcessMs(const QString &program, const QStringList &args, int runs, int maxStatus = 0);

// Points XDG_STATE_HOME at a temporary folder while it lives (child
// processes started meanwhile inherit it), so that the recovery journals of
// a benchmark's edits never reach the user's state folder.
class TemporaryStateFolder {
public:
    TemporaryStateFolder();
    ~TemporaryStateFolder();

private:
    QTemporaryDir m_folder;
    QByteArray m_previous;
};
