#include "batch/xml_file_scan.h"

#include "catalogue/folder_listing.h"

#include <QSet>

void ScanFolderForXmlFiles(const QString &folder, QStringList &rows)
{
    QSet<QString> present(rows.cbegin(), rows.cend());
    WalkFolderTree(
        folder, [](const QString &name) { return name != u".svn"; },
        [&](const QString &path, const QString &name) {
            if (name.contains(u".xml") && !present.contains(path)) {
                present.insert(path);
                rows.append(path);
            }
        });
}
