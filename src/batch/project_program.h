#pragma once
// The program a language file of a branch tree translates, as the pack
// project table gives it: a file BRANCH/Exe/Lang/LLL/NAME + LLL + ".xml"
// belongs to the project NAME, whose module and resource header lie below
// the branch (the header of a device-pack project below the device-pack
// folder the file lies in).

#include "batch/project_table.h"

#include <optional>

struct ProjectProgram {
    QString project;  // the table's name of the project
    QString program;  // the module's path
    QString header;   // the resource header's path
};

// Nothing when the file does not lie in a language folder of a branch
// tree, the table names no project of that name, or the project's source is
// a text file. A branch project's paths are given whether or not the files
// are there (whoever reads them says what is missing); a device-pack
// project's module lies in a branch the file does not name, so it is given
// only when it lies below the device-pack folder too.
std::optional<ProjectProgram> ProgramOfLanguageFile(const QString &languageFile, const ProjectTable &table);
