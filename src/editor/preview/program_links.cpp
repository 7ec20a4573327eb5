#include "editor/preview/program_links.h"

#include "batch/pack_project_table.h"
#include "batch/project_program.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kLinksKey = QStringLiteral("ProgramResources/Links");

// One spelling of a path per file or folder.
QString keyOf(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

} // namespace

QVariantMap ProgramLinks::links() const
{
    return m_settings ? m_settings->value(kLinksKey).toMap() : m_links;
}

ProgramLink ProgramLinks::ownLink(const QString &path) const
{
    ProgramLink link;
    if (path.isEmpty())
        return link;
    const QStringList pair = links().value(keyOf(path)).toStringList();
    if (pair.isEmpty() || pair.first().isEmpty())
        return link;
    link.program = pair.first();
    link.header = pair.value(1);
    link.from = ProgramLink::From::Settings;
    return link;
}

ProgramLink ProgramLinks::tableLink(const QString &file) const
{
    ProgramLink link;
    ProjectTable table;
    QString error;
    if (!LoadPackProjectTable(m_settings, &table, &error)) {
        link.problem = error;
        return link;
    }
    if (const std::optional<ProjectProgram> found = ProgramOfLanguageFile(file, table)) {
        link.program = found->program;
        link.header = found->header;
        link.project = found->project;
        link.from = ProgramLink::From::ProjectTable;
    }
    return link;
}

ProgramLink ProgramLinks::linkFor(const QString &path, bool isFolder) const
{
    if (path.isEmpty())
        return ProgramLink();
    ProgramLink link = ownLink(path);
    if (!link.isEmpty() || isFolder)
        return link;
    link = ownLink(QFileInfo(path).absolutePath());
    if (!link.isEmpty())
        return link;
    return tableLink(path);
}

void ProgramLinks::set(const QString &path, const QString &program, const QString &header)
{
    QVariantMap all = links();
    if (program.isEmpty())
        all.remove(keyOf(path));
    else
        all.insert(keyOf(path), QStringList{program, header});
    if (m_settings)
        m_settings->setValue(kLinksKey, all);
    else
        m_links = all;
}
