#pragma once
#include <QStringList>

// The language files of a folder tree, as language-folder mode lists them:
// depth first, a subfolder's files at the point where the subfolder comes in
// its parent (entries in name order, ignoring case), names starting with "."
// skipped (".svn" and the like), and a file taken when ".xml" occurs in its
// name (case-sensitive) and that first occurrence ends the name. Each folder
// is visited once, so links that loop back cannot recurse for ever.
QStringList ListLanguageFiles(const QString &folder);
