// The handler's inputs, paths, listings and step results.

#include "batch/generate_ziv_handler.h"

#include "batch/path_join.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

CGenerateZIVHandler::CGenerateZIVHandler(CRendaroDoc &document, ProjectTable table)
    : m_document(document), m_table(std::move(table))
{
}

CGenerateZIVHandler::~CGenerateZIVHandler()
{
    Cancel();
    Wait();
}

void CGenerateZIVHandler::SetLogListener(std::function<void(const QString &)> listener)
{
    if (!IsActive())
        m_logListener = std::move(listener);
}

const ProjectEntry *CGenerateZIVHandler::row(int index) const
{
    return index >= 0 && size_t(index) < m_table.size() ? &m_table[size_t(index)] : nullptr;
}

QString CGenerateZIVHandler::LanguageRoot(int isDevicePack) const
{
    return JoinPath(isDevicePack ? m_devicePackPath : m_branchPath, QStringLiteral("Exe/Lang"));
}

QString CGenerateZIVHandler::ProjectPath(int isDevicePack, const QString &relative) const
{
    return JoinPath(isDevicePack ? m_devicePackPath : m_branchPath, relative);
}

QString CGenerateZIVHandler::CataloguePath(int index, const QString &language) const
{
    const ProjectEntry *project = row(index);
    if (!project)
        return QString();
    return JoinPath(LanguageRoot(project->isDevicePack), language + u'/' + project->name + language + QStringLiteral(".xml"));
}

std::map<int, QString> CGenerateZIVHandler::ListAvailableProjects() const
{
    std::map<int, QString> projects;
    for (size_t i = 0; i < m_table.size(); ++i) {
        const ProjectEntry &project = m_table[i];
        if (!FileExistsUnder(m_branchPath, project.sourcePath))
            continue;
        // The header of a device-pack module lies in the device-pack folder.
        const QString &headerBase = project.isDevicePack ? m_devicePackPath : m_branchPath;
        if ((project.isDevicePack || IsModuleName(project.sourcePath))
            && !FileExistsUnder(headerBase, project.headerPath))
            continue;
        projects.emplace(int(i), project.name);
    }
    return projects;
}

QStringList CGenerateZIVHandler::ListLanguages() const
{
    QStringList languages;
    if (!m_branchPath.isEmpty())
        ScanLanguageFolders(LanguageRoot(0), languages);
    return languages;
}

namespace {

void scanLanguageFolders(const QString &folder, QStringList &list, QSet<QString> &visited)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;  // unreadable, or a link back to a folder being scanned
    visited.insert(canonical);
    const QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        if (name.size() != 3 || name == u".svn")
            continue;
        scanLanguageFolders(JoinPath(folder, name), list, visited);
        list.append(name);
    }
}

} // namespace

void CGenerateZIVHandler::ScanLanguageFolders(const QString &folder, QStringList &list)
{
    QSet<QString> visited;
    scanLanguageFolders(folder, list, visited);
}

namespace {

// Copies that share no data with the original: the worker may change the
// original while the copy lives on in another thread, and the shared-data
// counting of Qt's containers must not be what keeps the two apart.
QString unshared(const QString &text) { return QString(text.constData(), text.size()); }

QStringList unshared(const QStringList &list)
{
    QStringList copy;
    copy.reserve(list.size());
    for (const QString &text : list)
        copy.append(unshared(text));
    return copy;
}

} // namespace

PackStepResult CGenerateZIVHandler::LastResult() const
{
    std::lock_guard lock(m_mutex);
    return {m_result.stringsAdded, unshared(m_result.written), unshared(m_result.created), unshared(m_result.problems)};
}

void CGenerateZIVHandler::startResult()
{
    std::lock_guard lock(m_mutex);
    m_result = PackStepResult();
}

void CGenerateZIVHandler::noteWritten(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_result.written.append(path);
}

void CGenerateZIVHandler::noteCreated(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_result.created.append(path);
}

void CGenerateZIVHandler::noteProblem(const QString &text)
{
    std::lock_guard lock(m_mutex);
    m_result.problems.append(text);
}

QString CGenerateZIVHandler::Log() const
{
    std::lock_guard lock(m_mutex);
    return unshared(m_log);
}

void CGenerateZIVHandler::addToLog(const QString &line, bool replace)
{
    {
        std::lock_guard lock(m_mutex);
        if (replace)
            m_log = line;
        else
            m_log += QStringLiteral("\r\n") + line;
    }
    if (m_logListener)
        m_logListener(line);
}
