#include "batch/path_join.h"

#include <QFileInfo>
#include <QStringList>

namespace {

void appendSegments(QStringList &segments, const QString &path, bool absolute)
{
    for (const QStringView segment : QStringView(path).split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".")
            continue;
        if (segment == u"..") {
            if (!segments.isEmpty() && segments.last() != u"..")
                segments.removeLast();
            else if (!absolute)
                segments.append(QStringLiteral(".."));  // a relative path may start above its base
            continue;
        }
        segments.append(segment.toString());
    }
}

} // namespace

QString JoinPath(const QString &folder, const QString &relative)
{
    const bool absolute = folder.startsWith(u'/');
    QStringList segments;
    appendSegments(segments, folder, absolute);
    appendSegments(segments, relative, absolute);
    const QString joined = segments.join(u'/');
    if (absolute)
        return u'/' + joined;
    return joined.isEmpty() ? QStringLiteral(".") : joined;
}

bool FileExistsUnder(const QString &folder, const QString &relative)
{
    return !folder.isEmpty() && QFileInfo::exists(JoinPath(folder, relative));
}

bool IsModuleName(const QString &name)
{
    return name.indexOf(u".exe", 1) >= 0 || name.indexOf(u".dll", 1) >= 0;
}
