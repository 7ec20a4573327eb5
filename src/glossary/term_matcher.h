#pragma once
// Finding a glossary's terms in texts.
//
// In an original (English): whole words, accelerator marks removed, letter
// case ignored unless the entry says otherwise, inflected forms through the
// en_US dictionary's stems ("files" finds "file"), and the longest term
// first: where "camera list" is found, "camera" is not found again inside
// it. The terms are indexed by the keys of their first word, so a text
// costs a hash lookup per word.
//
// In a translation: a target term's words in a row, each matching by its
// stems in the file's language ("Dateien" holds "Datei"), and where the
// language writes compounds (German, Dutch, the Scandinavian languages)
// the first word also as the end of a longer word ("Konfigurationsdatei"
// holds "Datei", "Konfigurationsdateien" too). Languages written without
// spaces (Chinese, Japanese, Thai...) hold a term as a part of the text.

#include "glossary/glossary.h"
#include "glossary/term_words.h"

struct TermGroup {
    QString source;             // as the first entry writes it
    QStringList words;          // its words
    std::vector<QStringList> keys;  // each word's keys
    std::vector<WordGap> gaps;  // before each word
    std::vector<int> entries;   // every entry with this source term
    bool caseSensitive = false;
};

struct TermMatch {
    qsizetype start = 0, end = 0;  // in the original
    int group = 0;
};

class TermIndex {
public:
    // english gives the source words' stems (a WordStems without a
    // dictionary matches whole words only).
    TermIndex(const Glossary &glossary, WordStems &english);

    const Glossary &glossary() const { return m_glossary; }
    const std::vector<TermGroup> &groups() const { return m_groups; }
    // The terms of an original, in text order, none overlapping.
    std::vector<TermMatch> find(QStringView original, WordStems &english) const;
    // The forbidden entries with no source term: looked for in every translation.
    const std::vector<int> &forbiddenAnywhere() const { return m_anywhere; }

private:
    bool matchesAt(const TermGroup &group, const std::vector<TermWord> &words, const std::vector<QStringList> &wordKeys,
                   size_t at) const;

    Glossary m_glossary;
    std::vector<TermGroup> m_groups;
    QHash<QString, std::vector<int>> m_byFirstKey;  // longest first
    std::vector<int> m_anywhere;
};

// How a translation's language holds terms.
struct TargetWriting {
    bool compounds = false;  // German, Dutch, Danish, Swedish, Norwegian, Icelandic
    bool noSpaces = false;   // Chinese, Japanese, Thai, Lao, Khmer, Burmese
    bool umlautPlurals = false;  // German: "Plan", "Pläne", which dictionaries list apart
};
TargetWriting TargetWritingFor(const QString &primaryLanguage);

// A target term ready to be looked for: its words and their keys.
struct TargetTerm {
    QString term;
    std::vector<TermWord> words;
    std::vector<QStringList> keys;
    QStringList lower;  // its words in lower case
    QString joined;     // its words without spaces, for languages written without them
    // A one-word term the dictionary does not know, in a language that
    // writes compounds, as its first part and the keys of the longest last
    // part it knows ("Kameraliste": "kamera" and the keys of "Liste"), so
    // that "Kameralisten" holds it; empty otherwise.
    QString compoundModifier;
    QStringList compoundHeadKeys;
};
TargetTerm PrepareTargetTerm(const QString &term, WordStems &stems, bool compounds = false);

// A translation's words with their keys and lower case, found once for
// every term looked for in it.
struct TranslationWords {
    std::vector<TermWord> words;
    std::vector<QStringList> keys;
    QStringList lower;
    void read(QStringView translation, WordStems &stems);
};

// Whether the translation (its words from SplitTermWords) holds the term in
// any inflected form; `exact` asks for the term as it is written (a name
// kept untranslated): same case, no other form.
bool TranslationHoldsTerm(const TranslationWords &translation, const TargetTerm &term, WordStems &stems,
                          const TargetWriting &writing, bool caseSensitive, bool exact = false);
