#pragma once
// Glossary files by their name: .tbx (TBX), .csv (CSV), .tsv or .txt (TSV)
// and .qph (Qt Linguist phrase book); reading, writing through the safe
// save, and the glossary a language file gets without being told of one.

#include "glossary/glossary.h"

enum class GlossaryFormat { Unknown, Tbx, Csv, Tsv, Qph };

GlossaryFormat GlossaryFormatForPath(const QString &path);

// Reads the glossary file at path; `language` picks a TBX file's target
// language (empty: its first other than English).
GlossaryRead ReadGlossaryFile(const QString &path, const QString &language = QString());
// Writes the glossary to path in the format its name gives; false with the
// reason in *error (a TBX file needs the glossary's language).
bool WriteGlossaryFile(const QString &path, const Glossary &glossary, QString *error);

// Adds the entry to the glossary file at path (CSV, TSV or TBX; its target
// terms in `language`), keeping everything the file holds as it is, and
// writes it through the safe save; a file that does not exist yet is made.
// False with the reason in *error (the file then stays as it was).
bool AppendGlossaryEntry(const QString &path, const GlossaryEntry &entry, const QString &language, QString *error);

// The glossary files shared beside language files: glossary.tbx and
// glossary.csv in the folder of the language file (or the language folder
// itself) or, when it holds neither, the nearest parent folder that does.
// Empty when there is none.
QStringList FindGlossaryFiles(const QString &languagePath);
