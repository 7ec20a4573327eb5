#pragma once
// Suggestions for a misspelled word from its edits: a typical mistake of
// the dictionary's REP table, a letter swapped, dropped, added, moved or
// replaced (by a letter of its TRY), a pair typed twice, two words run
// together, a word's case. Each edit is first looked up in the dictionary's
// word forms (a hash, no string made); only the few found there are asked
// of hunspell, with the case the word asks for. Edits are tried in that
// order, the first `limit` words found are the answer. Compound words are
// not among the forms: a word with its first or last letter dropped, and
// the two halves of a split, are asked of hunspell directly, so that
// "AFußzeile" still gives "Fußzeile".

#include <QString>
#include <QStringList>
#include <functional>

class WordForms;

QStringList EditSuggestions(const WordForms &forms, const QString &word,
                            const std::function<bool(const QString &)> &isWord, int limit);
