#pragma once
// Small helpers shared by the benchmark programs.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <vector>

// Copies every file below `from` to the same place below `to` (folders
// made, existing files replaced); false when a copy fails.
bool copyTree(const QString &from, const QString &to);

// The middle one of the values (the upper middle of an even count).
double median(std::vector<double> values);

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

struct ProcessRun {
    double ms = 0;
    double peakMb = 0;
    QByteArray output;
    int status = -1;  // the exit status; -1 when it did not exit
    bool ok = false;  // it exited with 0
};

// Runs a program (the first argument, a path) to its end, with its wall
// time, its standard output and its peak memory from the kernel.
ProcessRun runProcess(const QStringList &arguments);

// A language file of `entries` strings whose first ones are the texts of the
// 500 dialogs make_dialogs_dll.sh writes, with German translations (some
// longer than their controls), then generated strings.
bool WriteDialogsLanguageFile(const QString &path, int entries);
