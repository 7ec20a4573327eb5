#include "batch/pack_project_table.h"

#include <QSettings>

bool LoadPackProjectTable(const QSettings *settings, ProjectTable *table, QString *error)
{
    QString path = qEnvironmentVariable(kProjectTableVariable);
    if (path.isEmpty() && settings)
        path = settings->value(QLatin1String(kProjectTableSetting)).toString();
    if (path.isEmpty()) {
        *table = BuiltInProjectTable();
        return true;
    }
    return LoadProjectTable(path, table, error);
}
