#pragma once
// The projects of a branch tree that the generate-and-pack pipeline knows:
// where each project's module (or text file), resource header and English
// catalogue lie. The table is deployment data: a built-in one, or one read
// from a JSON file.

#include <QString>
#include <vector>

struct ProjectEntry {
    QString name;                  // catalogue name; files are name + language code + ".xml"
    QString sourcePath;            // below the branch: module (.exe/.dll) or text file of key=value lines
    QString headerPath;            // below the branch (device-pack folder): resource header; empty for a text file
    QString englishCataloguePath;  // below the branch (device-pack folder): the English catalogue
    int isDevicePack = 0;          // 1: header and catalogues live under the device-pack folder
};

using ProjectTable = std::vector<ProjectEntry>;

// The 16 built-in rows: thirteen programs and one DLL in the branch's "Exe"
// folder, one text-file project, and last the device-pack DLL.
const ProjectTable &BuiltInProjectTable();

// Reads a table from a JSON file: an array of objects with the string fields
// "name", "sourcePath", "headerPath" and "englishCataloguePath" (paths
// relative, written with '/') and "isDevicePack" (true/false or 0/1).
// Returns false with a message naming the file (and the row, counted from 0
// as the table indices are) when the file cannot be read, is not valid JSON,
// or a row lacks a field or has an unusable value.
bool LoadProjectTable(const QString &path, ProjectTable *table, QString *error);
