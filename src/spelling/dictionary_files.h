#pragma once
// Where hunspell dictionaries are found: the user's own folder
// (~/.local/share/hunspell) first, then the system's (/usr/share/hunspell,
// where Debian's hunspell-* packages put them, and the older myspell
// folders). A dictionary is a pair NAME.aff and NAME.dic.

#include <QString>
#include <QStringList>

struct DictionaryFiles {
    QString name;     // the name asked for ("de_DE")
    QString affPath;  // empty when not found
    QString dicPath;
    bool found() const { return !affPath.isEmpty(); }
};

// The folders searched, in order.
QStringList DictionaryFolders();

// The dictionary `name` in the first folder holding it. A name that is not
// found as it stands is looked for with its script alone ("sr-Latn" or
// "sr_Latn" for "sr_Latn_RS"), then by its language alone ("sr"); never as
// another country's dictionary (pt_BR is not pt_PT).
DictionaryFiles FindDictionary(const QString &name, const QStringList &folders = DictionaryFolders());

// Every dictionary of the folders, by name, sorted and without repeats.
QStringList InstalledDictionaries(const QStringList &folders = DictionaryFolders());
