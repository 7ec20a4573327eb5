#pragma once
// Which spelling dictionary a language file needs. A file holds one
// language, named by the three-letter code at the end of its name
// (ViewResDEU.xml, ALL_FRA.xml, ESP.xml) or by its folder (Lang/DEU/...);
// one table maps each code to its hunspell dictionary and to the Debian
// package that provides that dictionary.

#include <QString>
#include <QStringList>
#include <functional>

struct SpellingLanguage {
    const char *code;        // "DEU"
    const char *dictionary;  // hunspell's name: "de_DE"
    const char *package;     // the Debian package holding it; empty when none does
};

// The table's row for a three-letter code (any case); null when the code is
// not a language the table knows.
const SpellingLanguage *SpellingLanguageForCode(QStringView code);

// The language code of one language file: the last three letters of its
// name before the extension, else its folder's name when that is three
// letters; empty when neither is a known code.
QString LanguageCodeFromPath(const QString &path);
// The same rule for another set of codes: isKnownCode says whether three
// letters (any case) are a code of that set.
QString LanguageCodeFromPath(const QString &path, const std::function<bool(QStringView code)> &isKnownCode);

// The one language code of a set of files (a language folder): the code
// the files name, when every file naming one names the same; else empty.
QString LanguageCodeFromPaths(const QStringList &paths);

// The Debian package providing a dictionary (by its hunspell name, as the
// table maps it); empty when the table names none.
QString DictionaryPackage(const QString &dictionary);

// "no de_DE dictionary (Debian package hunspell-de-de)", or "(no Debian
// package provides it)": what is missing and where to get it.
QString MissingDictionaryText(const QString &dictionary);

// The dictionary choice kept for a file that turns its spelling off (an
// empty choice takes the dictionary its name gives).
inline const QString kSpellingChoiceOff = QStringLiteral("-");
