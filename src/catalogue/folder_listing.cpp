#include "catalogue/folder_listing.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

bool isLanguageFileName(const QString &name)
{
    const qsizetype at = name.indexOf(u".xml");
    return at >= 0 && at + 4 == name.size();
}

void scan(const QString &folder, QStringList &files, QSet<QString> &visited)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(u'.'))
            continue;
        const QString path = folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
        if (entry.isDir())
            scan(path, files, visited);
        else if (entry.isFile() && isLanguageFileName(name))
            files.append(path);  // regular files only: a FIFO would block the reader
    }
}

} // namespace

QStringList ListLanguageFiles(const QString &folder)
{
    QStringList files;
    QSet<QString> visited;
    QString root = folder;
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    scan(root, files, visited);
    return files;
}
