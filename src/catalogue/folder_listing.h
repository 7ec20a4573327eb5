#pragma once
#include <QStringList>
#include <functional>

// The language files of a folder tree, as language-folder mode lists them:
// depth first, a subfolder's files at the point where the subfolder comes in
// its parent (entries in name order, ignoring case), names starting with "."
// skipped (".svn" and the like), and a file taken when ".xml" occurs in its
// name (case-sensitive) and that first occurrence ends the name. Each folder
// is visited once, so links that loop back cannot recurse for ever.
QStringList ListLanguageFiles(const QString &folder);

// Walks a folder tree depth first, entries in name order (ignoring case):
// a subfolder is entered at its place when enterFolder(name) allows it, and
// every regular file is handed to takeFile(path, name). A path is its
// folder's path, one '/' and the name (trailing '/' of the start folder
// dropped). Each folder is visited once, so links that loop back cannot
// recurse for ever; FIFOs, sockets and devices are never handed over.
void WalkFolderTree(const QString &folder, const std::function<bool(const QString &name)> &enterFolder,
                    const std::function<void(const QString &path, const QString &name)> &takeFile);
