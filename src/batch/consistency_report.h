#pragma once
// The consistency report of a language folder: every original that the
// files of one language translate differently, with each translation and
// the files holding it.
//
// Only real translations take part: a translatable entry whose translation
// is neither empty nor equal to its original. A file that leaves an original
// untranslated (or marks it not to be translated) does not translate it
// "differently"; it simply has no translation to compare. Each file counts
// with its catalogue's entry (one per original, as the file loads).

#include "batch/file_failure.h"

#include <QStringList>
#include <vector>

class CRendaroDoc;

struct ConsistencyVariant {
    QString translation;
    QStringList files;  // in the order the files were loaded
};

struct ConsistencyItem {
    QString original;
    std::vector<ConsistencyVariant> translations;  // two or more, in order of first appearance
};

struct ConsistencyReport {
    std::vector<ConsistencyItem> items;  // by original, in code-unit order
    QStringList files;                   // the files compared
    std::vector<FileFailure> unreadable; // files of the folder that could not be read
};

// Over the document's file catalogues (index 1 and above: the files of
// language-folder mode; the master catalogue is no file of its own). The
// editor calls this in language-folder mode.
ConsistencyReport BuildConsistencyReport(const CRendaroDoc &document);

// Loads every language file of the folder (as language-folder mode lists
// them) into a document of its own and builds the report over them.
ConsistencyReport ConsistencyReportForFolder(const QString &folder);
