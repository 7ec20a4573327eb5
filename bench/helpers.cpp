#include "helpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

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

TemporaryStateFolder::TemporaryStateFolder() : m_previous(qgetenv("XDG_STATE_HOME"))
{
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_folder.path()));
}

TemporaryStateFolder::~TemporaryStateFolder() { qputenv("XDG_STATE_HOME", m_previous); }
