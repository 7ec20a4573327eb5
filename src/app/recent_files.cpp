#include "app/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kRecentFilesGroup = QStringLiteral("Recent File List");
QString key(int number) { return QStringLiteral("File%1").arg(number); }
}

RecentFileList::RecentFileList(QSettings &settings, int size) : m_settings(settings), m_size(size)
{
    m_settings.beginGroup(kRecentFilesGroup);
    for (int i = 1; i <= m_size; ++i) {
        const QString path = m_settings.value(key(i)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
    m_settings.endGroup();
}

void RecentFileList::add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > m_size)
        m_files.removeLast();
    save();
}

void RecentFileList::remove(const QString &path)
{
    if (m_files.removeAll(path) > 0)
        save();
}

void RecentFileList::save()
{
    m_settings.beginGroup(kRecentFilesGroup);
    for (int i = 1; i <= m_size; ++i) {
        if (i <= m_files.size())
            m_settings.setValue(key(i), m_files[i - 1]);
        else
            m_settings.remove(key(i));
    }
    m_settings.endGroup();
    m_settings.sync();
}
