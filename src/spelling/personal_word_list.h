#pragma once
// The user's own words for one dictionary ("Add to Dictionary"): a UTF-8
// text file of one word a line, ~/.local/share/rendaro/words/NAME.txt
// (under XDG_DATA_HOME when set). The editor and rendaro-cli read the
// same list.

#include <QString>
#include <QStringList>

// The file of the dictionary's list.
QString PersonalWordListPath(const QString &dictionary);

// The words of the list; none when the file does not exist or cannot be read.
QStringList ReadPersonalWords(const QString &dictionary);

// Adds a word to the list and saves it (safely: the old list stays whole on
// failure). A word the list holds already is not added twice. False, with
// the reason in *error, when the list cannot be written.
bool AddPersonalWord(const QString &dictionary, const QString &word, QString *error);
