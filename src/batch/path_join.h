#pragma once
// Path joining of the batch tools: the second part is appended to the first
// with exactly one '/' between them, and "." and ".." segments are resolved.
// There is no length limit.

#include <QString>

// folder + '/' + relative, normalised: a leading '/' of relative is dropped
// (relative is always taken below folder), repeated separators collapse,
// "." segments vanish and ".." removes the segment before it (never going
// above the root of an absolute path). An empty folder leaves relative on
// its own; an empty result of a relative path is ".".
QString JoinPath(const QString &folder, const QString &relative);

// Whether folder joined with relative names an existing file or folder. An
// empty folder stands for "not given": the result is false.
bool FileExistsUnder(const QString &folder, const QString &relative);

// Whether ".exe" or ".dll" occurs in name after its first character
// (case-sensitive): the source of a project is a module, not a text file.
bool IsModuleName(const QString &name);
