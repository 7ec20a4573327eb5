#pragma once
// Script tables of the files of a language folder.

#include <QString>

class CRendaroDoc;

// Writes the table of the file at catalogue index `index` (1 or more) of a
// language folder as the folder's Save leaves that file: its own strings and
// keys, each string with the master catalogue's translation and mark, so
// the edits made in the folder are in the table before they are saved.
// False, with the reason in *error when given, when the file cannot be written.
bool ExportFolderFileScript(const CRendaroDoc &document, int kind, int index, const QString &path,
                            QString *error = nullptr);
