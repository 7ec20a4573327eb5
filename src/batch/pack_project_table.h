#pragma once
// Which project table the generate-and-pack dialog works with: the JSON
// file named by the environment variable RENDARO_PROJECTS when it is set,
// else the file named by the setting "Pack/ProjectTable" when that is set,
// else the built-in rows. The file has the format of `rendaro-cli pack
// --projects`.

#include "batch/project_table.h"

class QSettings;

constexpr char kProjectTableVariable[] = "RENDARO_PROJECTS";
constexpr char kProjectTableSetting[] = "Pack/ProjectTable";

// False, with the reader's message (naming the file and the row) in *error,
// when the configured file cannot be used. Without settings only the
// environment variable is asked.
bool LoadPackProjectTable(const QSettings *settings, ProjectTable *table, QString *error);
