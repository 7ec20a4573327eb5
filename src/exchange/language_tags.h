#pragma once
// Languages of language files and of exchange files. Language files name
// their language with a three-letter code in the file name (ViewResDEU.xml,
// lang/CHT/...); XLIFF uses BCP 47 tags ("de", "zh-TW") and PO the gettext
// form ("de", "zh_TW", "sr@latin").

#include <QString>

// The tag of a three-letter code ("DEU" gives "de"); empty for an unknown code.
QString LanguageTagForCode(const QString &code);
// The tag of the language a file's path names: the last three letters of
// its name before ".xml", else its folder's name when that is a code; empty
// when neither is known.
QString LanguageTagForPath(const QString &path);
// Whether text is a well-formed language tag (letters, digits and hyphens:
// "de", "pt-BR", "sr-Latn").
bool IsLanguageTag(const QString &text);
// The gettext form of a tag: "pt-BR" gives "pt_BR", "sr-Latn" "sr@latin".
QString PoLanguageName(const QString &tag);
// Whether two language names (either form) may name different languages:
// their primary languages differ, or both name a region or script and those
// differ. Empty names never conflict.
bool LanguagesConflict(const QString &a, const QString &b);
// How well a language a file names fits the one wanted (either form, case
// ignored): 2 the same ("de-DE" and "DE_de"), 1 the same language where
// the parts that only one names, or that are of different kinds, are
// ignored ("de" and "de-DE", "pt-BR" and "pt"), 0 another language (also
// "pt-BR" and "pt-PT", or an empty name).
int LanguageMatch(const QString &wanted, const QString &given);
