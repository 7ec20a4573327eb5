#include "batch/project_table.h"

#include "batch/path_join.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

ProjectEntry moduleRow(const char *name, const char *module)
{
    const QString base = QString::fromLatin1(name);
    const QString project = base + QStringLiteral("Res");
    return {project, QStringLiteral("Exe/") + QString::fromLatin1(module),
            QStringLiteral("Source/%1/resource.h").arg(base),
            QStringLiteral("Exe/Lang/ENG/%1ENG.xml").arg(project), 0};
}

ProjectTable makeBuiltInTable()
{
    ProjectTable table = {
        moduleRow("View", "View.exe"),     moduleRow("Back", "Back.exe"),     moduleRow("Setup", "Setup.exe"),
        moduleRow("Sync", "Sync.exe"),     moduleRow("Media", "Media.exe"),   moduleRow("Report", "Report.exe"),
        moduleRow("Admin", "Admin.exe"),   moduleRow("Agent", "Agent.exe"),   moduleRow("Update", "Update.exe"),
        moduleRow("Help", "Help.exe"),     moduleRow("Web", "Web.exe"),       moduleRow("Print", "Print.exe"),
        moduleRow("Scan", "Scan.exe"),     moduleRow("Mail", "MailCore.dll"),
    };
    table.push_back({QStringLiteral("TrayRes"), QStringLiteral("Source/Tray/TrayStrings.txt"), QString(),
                     QStringLiteral("Exe/Lang/ENG/TrayResENG.xml"), 0});
    table.push_back({QStringLiteral("VaultRes"), QStringLiteral("Exe/Device Pack/Vault.dll"),
                     QStringLiteral("Source/Vault/resource.h"), QStringLiteral("Exe/Lang/ENG/VaultResENG.xml"), 1});
    return table;
}

// A path of the table is relative to its base folder and uses '/'.
QString pathProblem(const QString &path)
{
    if (path.startsWith(u'/'))
        return QStringLiteral("is not a relative path");
    if (path.contains(u'\\'))
        return QStringLiteral("must be written with '/'");
    return QString();
}

bool readRow(const QJsonObject &object, ProjectEntry *row, QString *problem)
{
    static const char *const kTextFields[] = {"name", "sourcePath", "headerPath", "englishCataloguePath"};
    QString values[4];
    for (int i = 0; i < 4; ++i) {
        const QString field = QString::fromLatin1(kTextFields[i]);
        const QJsonValue value = object.value(field);
        if (value.isUndefined()) {
            *problem = QStringLiteral("the field \"%1\" is missing").arg(field);
            return false;
        }
        if (!value.isString()) {
            *problem = QStringLiteral("the field \"%1\" is not a string").arg(field);
            return false;
        }
        values[i] = value.toString();
        const QString pathError = i > 0 ? pathProblem(values[i]) : QString();
        if (!pathError.isEmpty()) {
            *problem = QStringLiteral("\"%1\" %2").arg(field, pathError);
            return false;
        }
    }
    if (values[0].isEmpty() || values[0].contains(u'/') || values[0].contains(u'\\')) {
        *problem = QStringLiteral("\"name\" must be a non-empty file name");
        return false;
    }
    if (values[1].isEmpty() || values[3].isEmpty()) {
        *problem = QStringLiteral("\"sourcePath\" and \"englishCataloguePath\" must not be empty");
        return false;
    }
    if (IsModuleName(values[1]) && values[2].isEmpty()) {
        *problem = QStringLiteral("\"headerPath\" must not be empty for a module");
        return false;
    }
    const QJsonValue devicePack = object.value(QStringLiteral("isDevicePack"));
    int isDevicePack = -1;
    if (devicePack.isBool())
        isDevicePack = devicePack.toBool() ? 1 : 0;
    else if (devicePack.isDouble() && (devicePack.toDouble() == 0 || devicePack.toDouble() == 1))
        isDevicePack = devicePack.toInt();
    if (isDevicePack < 0) {
        *problem = devicePack.isUndefined() ? QStringLiteral("the field \"isDevicePack\" is missing")
                                            : QStringLiteral("\"isDevicePack\" must be true, false, 0 or 1");
        return false;
    }
    *row = {values[0], values[1], values[2], values[3], isDevicePack};
    return true;
}

} // namespace

const ProjectTable &BuiltInProjectTable()
{
    static const ProjectTable table = makeBuiltInTable();
    return table;
}

bool LoadProjectTable(const QString &path, ProjectTable *table, QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Project table %1: %2").arg(path, reason);
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(QStringLiteral("not valid JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString()));
    if (!json.isArray())
        return fail(QStringLiteral("not a JSON array of projects"));
    const QJsonArray rows = json.array();
    if (rows.isEmpty())
        return fail(QStringLiteral("holds no project"));
    ProjectTable loaded;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ProjectEntry row;
        QString problem = QStringLiteral("not a JSON object");
        if (!rows.at(i).isObject() || !readRow(rows.at(i).toObject(), &row, &problem))
            return fail(QStringLiteral("row %1: %2").arg(i).arg(problem));
        for (const ProjectEntry &earlier : loaded) {
            if (earlier.name == row.name)
                return fail(QStringLiteral("row %1: the name \"%2\" is used twice").arg(i).arg(row.name));
        }
        loaded.push_back(row);
    }
    *table = std::move(loaded);
    return true;
}
