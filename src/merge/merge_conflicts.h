#pragma once
// The conflicts file a merge leaves beside the merged language file
// ("FRA.xml.conflicts"), and resolving its conflicts one at a time.
//
// The file is JSON:
//
//   {"rendaroConflicts": 1, "file": "FRA.xml", "conflicts": [
//     {"kind": "attribute", "attribute": "to", "original": "Open", "key": "IDS_OPEN",
//      "occurrence": 0, "base": "Ouvrir", "ours": "Ouvrir...", "theirs": "Ouvre"},
//     {"kind": "setting", "attribute": "AllowLength", "base": "2.000000", "ours": "3.000000",
//      "theirs": "1.500000"},
//     {"kind": "removal", "inFile": false, "original": "Close", "key": "IDS_CLOSE",
//      "occurrence": 0, "after": {"original": "Open", "key": "IDS_OPEN", "occurrence": 0},
//      "base": "<L from=\"Close\" to=\"Close\" key=\"IDS_CLOSE\"/>", "ours": null,
//      "theirs": "<L from=\"Close\" to=\"Fermer\" key=\"IDS_CLOSE\"/>"}]}
//
// "file" is the language file's name (the file beside it). An attribute
// or setting conflict gives the attribute's value in each version as a
// reader gives it (references decoded, line breaks as "/n"), null where
// the attribute is absent; the merged file holds ours'. A removal gives
// the element's markup in each version, null where it was removed; with
// "inFile" true the merged file holds ours' element, with false it holds
// none, and "after" names the element it would follow (null: the first).
// An element is named by its original and key as the merged file writes
// them ("" for none) and which of the elements with both it is.

#include "merge/language_merge.h"

#include <vector>

struct ConflictsFile {
    QString file;
    std::vector<MergeConflict> conflicts;
};

// Where the conflicts of a merged language file are kept.
QString ConflictsFilePath(const QString &languageFile);

QByteArray ConflictsToJson(const ConflictsFile &conflicts);
// False with the reason when the bytes are not a conflicts file.
bool ConflictsFromJson(const QByteArray &json, ConflictsFile *conflicts, QString *error);
bool ReadConflictsFile(const QString &path, ConflictsFile *conflicts, QString *error);
// Through the safe save.
bool WriteConflictsFile(const QString &path, const ConflictsFile &conflicts, QString *error);

enum class ConflictChoice { Base, Ours, Theirs, Edited };

// How applying a choice moved the file's elements.
struct ElementShift {
    int removed = -1;   // the element taken out
    int inserted = -1;  // where an element was put in
};

// Applies a choice to the merged file's bytes: the attribute or setting
// set to that version's value (removed where it had none) or to `edited`;
// for a removal, the element as that version has it (taken out where it
// was removed) or the markup `edited`. False with the reason, and the bytes
// unchanged, when the element is not found or the result would not be a
// well-formed language file.
bool ApplyConflictChoice(QByteArray &bytes, const MergeConflict &conflict, ConflictChoice choice,
                         const QString &edited, QString *error, ElementShift *shift = nullptr);

// Resolves conflict `index` of the conflicts file beside languageFile: the
// language file and the conflicts file are written again (the safe save),
// the other conflicts following the elements they name, and the conflicts
// file is removed with its last conflict.
bool ResolveConflict(const QString &languageFile, int index, ConflictChoice choice, const QString &edited,
                     QString *error);
