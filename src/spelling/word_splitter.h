#pragma once
// Splits a translation (in memory form) into the words a dictionary is
// asked about. Left out, because they are no words of the language:
// placeholders ("%s", "%-10.2f", "%1", "%L1", "%%"), escapes ("\n", "\t",
// a backslash and the character after it), URLs and mail addresses (a
// stretch without spaces holding "://", starting with "www." or holding
// "name@host.domain"), words written in capitals ("OK", "USB") and words
// holding a digit ("MP3", "x64", "2nd"). An accelerator mark ("&File",
// "Sa&ve") is dropped from its word; "&&" is a plain ampersand.
//
// A word is a run of letters (and combining marks), with an apostrophe
// (' or U+2019) or a hyphen between two letters kept inside it ("don't",
// "l'ordinateur", "E-Mail"); hunspell knows such forms.

#include <QString>
#include <vector>

struct SpellWord {
    qsizetype start = 0;   // in the text, the accelerator mark included
    qsizetype length = 0;
    QString word;          // the word as the dictionary is asked: without the mark
};

std::vector<SpellWord> SplitWords(QStringView text);

// The text that replaces the stretch of a word (`stretch`, as SplitWords
// gave its start and length) by `suggestion`: an accelerator mark the
// stretch held stays before the letter at the same position ("&Fiel" and
// "File" give "&File"), or before the last letter of a shorter suggestion.
QString ReplaceWordKeepingMark(QStringView stretch, const QString &suggestion);
