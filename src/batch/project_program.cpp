#include "batch/project_program.h"

#include "batch/path_join.h"

#include <QDir>
#include <QFileInfo>

std::optional<ProjectProgram> ProgramOfLanguageFile(const QString &languageFile, const ProjectTable &table)
{
    // ROOT/Exe/Lang/LLL/FILE, read from the path alone (the files need not
    // be there).
    const QStringList parts = QDir::cleanPath(QFileInfo(languageFile).absoluteFilePath()).split(u'/');
    if (parts.size() < 5)
        return std::nullopt;
    const QString &name = parts[parts.size() - 1], &language = parts[parts.size() - 2];
    if (language.size() != 3 || parts[parts.size() - 3].compare(u"Lang", Qt::CaseInsensitive) != 0
        || parts[parts.size() - 4].compare(u"Exe", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QString root = parts.mid(0, parts.size() - 4).join(u'/');
    if (root.isEmpty())
        root = QStringLiteral("/");
    const QString suffix = language + QStringLiteral(".xml");
    if (!name.endsWith(suffix, Qt::CaseInsensitive))
        return std::nullopt;
    const QString project = name.chopped(suffix.size());
    for (const ProjectEntry &row : table) {
        if (row.name.compare(project, Qt::CaseInsensitive) != 0 || !IsModuleName(row.sourcePath))
            continue;
        ProjectProgram found{row.name, JoinPath(root, row.sourcePath), QString()};
        if (!row.headerPath.isEmpty())
            found.header = JoinPath(root, row.headerPath);
        if (row.isDevicePack && !QFileInfo::exists(found.program))
            return std::nullopt;
        return found;
    }
    return std::nullopt;
}
