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

struct Walk {
    const std::function<bool(const QString &)> &enterFolder;
    const std::function<void(const QString &, const QString &)> &takeFile;
    QSet<QString> visited;

    void scan(const QString &folder)
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
            const QString path = folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
            if (entry.isDir()) {
                if (enterFolder(name))
                    scan(path);
            } else if (entry.isFile()) {
                takeFile(path, name);  // regular files only: a FIFO would block the reader
            }
        }
    }
};

} // namespace

void WalkFolderTree(const QString &folder, const std::function<bool(const QString &name)> &enterFolder,
                    const std::function<void(const QString &path, const QString &name)> &takeFile)
{
    QString root = folder;
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    Walk{enterFolder, takeFile, {}}.scan(root);
}

QStringList ListLanguageFiles(const QString &folder)
{
    QStringList files;
    WalkFolderTree(
        folder, [](const QString &name) { return !name.startsWith(u'.'); },
        [&files](const QString &path, const QString &name) {
            if (!name.startsWith(u'.') && isLanguageFileName(name))
                files.append(path);
        });
    return files;
}
