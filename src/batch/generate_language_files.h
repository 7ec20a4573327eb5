#pragma once
// "Generate All Language File From this": writes a copy of the English file
// of one application for every language in which a reference application
// (the marker "VaridivUva" in its file names) has a file somewhere under a
// folder tree, named after the reference file with the marker replaced by
// the English file's prefix ("ViewResENG.xml" and "lang/CHT/VaridivUvaCHT.xml"
// give "lang/CHT/ViewResCHT.xml"); then, if asked, fills each copy from the
// other language files of its folder.
//
// Shared by the editor's command and `rendaro-cli generate-all`. Nothing is
// shown: the results say what was written and what failed, and why.

#include "batch/file_failure.h"

#include <QStringList>
#include <vector>

class CRendaroDoc;

// The name part of a path: the text after its last '/'.
QString LanguageFileName(const QString &path);
// The prefix of a language file: its name from the start through the first
// "Res" (case-sensitive); empty when the name has no "Res", and then nothing
// is to be generated.
QString LanguageFilePrefix(const QString &path);

struct LanguageFileGeneration {
    QStringList written;               // the copies written, in the order written
    std::vector<FileFailure> failed;   // copies that could not be written
    QStringList skipped;               // targets naming the shown file itself, left alone
};

// Walks folder depth first (entries in name order, ignoring case; ".svn"
// folders are not entered) and, for every file whose name contains ".xml"
// and "VaridivUva" but not fileName, saves the catalogue under the name with
// every "VaridivUva" replaced by prefix, in the same folder, through
// SaveCatalogue (keepTree: the file's own layout, safe write; an existing
// file is overwritten). The catalogue's filePath stays what it was, so the
// editor's next Save still goes to the shown file, and the shown file itself
// is never written.
LanguageFileGeneration GenerateLanguageFiles(CRendaroDoc &document, int catalogueId, const QString &folder,
                                             const QString &fileName, const QString &prefix);

// The other files of a generated file's folder that gave it translations.
struct ImportedSource {
    QString path;
    int substituted = 0;  // translations taken from this file
};

struct AutoImportResult {
    QString path;                        // the generated file
    bool loaded = false;                 // false: it could not be read; nothing else was done
    bool saved = false;                  // written back after the import
    QString error;                       // why it could not be read or written
    std::vector<ImportedSource> sources; // the language files read, in folder order
    QStringList unreadable;              // other files of the folder that are no language files
    int substituted = 0;                 // translations taken over in all
};

// Loads the generated file as a catalogue of its own (not merged), imports
// into it the translations of every other regular file of its folder (not
// of subfolders; files whose name contains the generated file's name are
// left out), one after another in name order ignoring case, so that a later
// file fills only what the earlier ones left untranslated; then saves it and
// closes that catalogue again. A file that cannot be loaded is reported in
// the result and nothing else is done for it; no other catalogue of the
// document is touched.
AutoImportResult AutoImportGeneratedFile(CRendaroDoc &document, const QString &generatedPath);
