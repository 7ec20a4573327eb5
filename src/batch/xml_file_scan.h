#pragma once
// The folder scan of "Apply To": every XML file of a folder tree, for the
// list of target files.

#include <QStringList>

// Appends to rows every file below folder, depth first (a subfolder's files
// at the subfolder's place, entries in name order ignoring case), whose name
// contains ".xml" anywhere (case-sensitive: a.xml.bak is taken, A.XML is
// not). Folders named ".svn" are never entered. A path is folder + '/' +
// name; a path already in rows (exact text) is not appended again. A folder
// that cannot be read adds nothing.
void ScanFolderForXmlFiles(const QString &folder, QStringList &rows);
