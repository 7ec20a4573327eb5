#pragma once
// One hunspell dictionary in memory. hunspell is not safe to use from two
// threads at once through one handle, so each thread that checks words owns
// its own HunspellDictionary. Words go in and out as QString; the
// dictionary's own character set (UTF-8 for Debian's) is handled here.

#include "spelling/dictionary_files.h"

#include <QStringList>
#include <memory>

class Hunspell;
class QStringDecoder;
class QStringEncoder;

// The affix file for quick suggestions: n-gram and compound suggestions
// off (MAXNGRAMSUGS 0, MAXCPDSUGS 0), and, in a UTF-8 file, the letters
// tried in a word (TRY) without capitals, which more than halves the words
// tried; everything else as it was.
QByteArray QuickSuggestionAffix(const QByteArray &affix);

class HunspellDictionary {
public:
    // Null, with the reason in *error, when the files cannot be read.
    // With quickSuggestions, suggest() gives only what hunspell finds by
    // editing the word (its REP and MAP tables, the keyboard's neighbours,
    // a letter from TRY added, dropped, replaced or swapped, two words
    // made of one), without the pass that compares the word with the whole
    // dictionary (n-grams) or the compound guesses: a millisecond a word
    // instead of tens. The handle reads a copy of the affix file with
    // those passes turned off (QuickSuggestionAffix).
    static std::unique_ptr<HunspellDictionary> open(const DictionaryFiles &files, QString *error,
                                                     bool quickSuggestions = false);
    ~HunspellDictionary();
    HunspellDictionary(const HunspellDictionary &) = delete;
    HunspellDictionary &operator=(const HunspellDictionary &) = delete;

    bool spell(QStringView word);
    // The stems hunspell finds for the word ("files": "file"); empty for a
    // word it does not know.
    QStringList stem(QStringView word);
    // hunspell's suggestions, best first.
    QStringList suggest(QStringView word);
    // Accepts the word from now on (with the capitalised forms hunspell
    // derives for a dictionary word).
    void add(QStringView word);

private:
    HunspellDictionary();
    std::string encode(QStringView word) const;
    QString decode(const std::string &bytes) const;

    std::unique_ptr<Hunspell> m_hunspell;
    bool m_utf8 = true;
    std::unique_ptr<QStringEncoder> m_encoder;  // for a dictionary in another character set
    std::unique_ptr<QStringDecoder> m_decoder;
};
