#include "helpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        if (!QFile::copy(source, target))
            return false;
    }
    return true;
}

double bestOf(int runs, const std::function<double()> &run)
{
    double best = 1e18;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, run());
    return best;
}

double medianProcessMs(const QString &program, const QStringList &args, int runs, int maxStatus)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, args);
        process.waitForFinished(-1);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() > maxStatus) {
            std::fprintf(stderr, "failed: %s %s\n", qPrintable(program), qPrintable(args.join(u' ')));
            return -1;
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

TemporaryStateFolder::TemporaryStateFolder() : m_previous(qgetenv("XDG_STATE_HOME"))
{
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_folder.path()));
}

TemporaryStateFolder::~TemporaryStateFolder() { qputenv("XDG_STATE_HOME", m_previous); }
