#pragma once
// The recent-file list of the File menu: the last files opened or saved
// under a new name, most recent first, kept in the settings under
// "Recent File List" as File1 to File4.

#include <QStringList>

class QSettings;

class RecentFileList {
public:
    explicit RecentFileList(QSettings &settings, int size = 4);

    const QStringList &files() const { return m_files; }
    // Puts the file at the top (moving it there when listed already).
    void add(const QString &path);
    void remove(const QString &path);

private:
    void save();

    QSettings &m_settings;
    int m_size;
    QStringList m_files;
};
