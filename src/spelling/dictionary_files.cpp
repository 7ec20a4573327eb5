#include "spelling/dictionary_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

DictionaryFiles dictionaryIn(const QString &folder, const QString &fileName, const QString &askedName)
{
    const QString aff = QDir(folder).filePath(fileName + QStringLiteral(".aff"));
    const QString dic = QDir(folder).filePath(fileName + QStringLiteral(".dic"));
    if (QFileInfo(aff).isFile() && QFileInfo(dic).isFile())
        return {askedName, aff, dic};
    return {askedName, QString(), QString()};
}

DictionaryFiles findExact(const QString &fileName, const QString &askedName, const QStringList &folders)
{
    for (const QString &folder : folders) {
        DictionaryFiles files = dictionaryIn(folder, fileName, askedName);
        if (files.found())
            return files;
    }
    return {askedName, QString(), QString()};
}

} // namespace

QStringList DictionaryFolders()
{
    QStringList folders;
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!own.isEmpty())
        folders << QDir(own).filePath(QStringLiteral("hunspell"));
    folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell/dicts")
            << QStringLiteral("/usr/share/myspell");
    return folders;
}

DictionaryFiles FindDictionary(const QString &name, const QStringList &folders)
{
    // A name is a file name in a folder, never a path.
    if (name.isEmpty() || name.contains(u'/') || name.startsWith(u'.'))
        return {name, QString(), QString()};
    DictionaryFiles files = findExact(name, name, folders);
    if (files.found())
        return files;
    // "sr_Latn_RS" may be installed as "sr-Latn" or "sr_Latn"; any name
    // as its language alone ("sr", "ar").
    const QStringList parts = name.split(u'_');
    QStringList fallbacks;
    if (parts.size() >= 3)
        fallbacks << parts[0] + u'-' + parts[1] << parts[0] + u'_' + parts[1];
    if (parts.size() >= 2)
        fallbacks << parts[0];
    for (const QString &fallback : fallbacks) {
        files = findExact(fallback, name, folders);
        if (files.found())
            return files;
    }
    return files;
}

QStringList InstalledDictionaries(const QStringList &folders)
{
    QStringList names;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo &aff : dir.entryInfoList({QStringLiteral("*.aff")}, QDir::Files | QDir::Readable)) {
            const QString name = aff.completeBaseName();
            if (QFileInfo(dir.filePath(name + QStringLiteral(".dic"))).isFile())
                names << name;
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}
