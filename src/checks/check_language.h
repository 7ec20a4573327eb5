#pragma once
// The language of a language file as the checks see it: its three-letter
// code (from the file's name, as spelling takes it), its BCP 47 tag and the
// habits of its writing that the checks allow for (letter case, the end
// marks of a sentence, how numbers are written, which invisible characters
// belong to its script).

#include <QString>

struct CheckLanguage {
    QString code;     // "DEU"; empty when the file's name names no language
    QString tag;      // "de", "zh-TW"; empty when unknown
    QString primary;  // the tag's language alone: "de", "zh"

    // Letters have an upper and a lower case (Latin, Cyrillic, Greek,
    // Armenian scripts); the case check runs only then.
    bool hasCase = true;
    // Greek writes the question mark as ";".
    bool semicolonQuestion = false;
    // Thai, Lao, Khmer and Burmese end sentences without a mark (or with a
    // mark of their own), so a missing full stop is no fault.
    bool endsWithoutMarks = false;
    // The decimal separator is a comma ("1,5"), the thousands separator a
    // full stop or a space ("1.000", "1 000").
    bool decimalComma = false;
    // Thousands are grouped with spaces (plain, no-break, narrow no-break).
    bool spaceGroups = false;
    // Chinese and Japanese: full-width punctuation carries its own spacing,
    // so no space goes next to it.
    bool fullWidthMarks = false;
    // Written right to left: the directional marks belong to the text.
    bool rightToLeft = false;
    // The script joins or shapes letters, so the zero-width (non-)joiner
    // belongs to words (Persian, Arabic, the Indic scripts).
    bool usesJoiners = false;
    // The zero-width space marks word breaks in text without spaces (Thai,
    // Lao, Khmer, Burmese).
    bool usesZeroWidthSpace = false;
};

// The language of the file at path: the code at the end of its name
// (ViewResDEU.xml, ALL_JPN.xml), else its folder's name (Lang/FRA/...).
CheckLanguage CheckLanguageForPath(const QString &path);
// The language of a three-letter code (any case); an unknown or empty code
// gives a language with no code and the general rules.
CheckLanguage CheckLanguageForCode(const QString &code);
// The language of a BCP 47 tag ("fr", "pt-BR"), for callers that know no code.
CheckLanguage CheckLanguageForTag(const QString &tag);
