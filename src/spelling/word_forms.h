#pragma once
// Every word form a hunspell dictionary spells out without compounding:
// each stem of the .dic with its suffixes (two deep), prefixes and their
// cross products, read from the .aff's PFX/SFX rules. The forms are kept
// as 64-bit hashes of their case-folded text (lower case, ß as ss), so
// that asking whether a string may be a word is one hash and one probe:
// a fast, generous filter in front of hunspell. A form it holds is still
// asked of hunspell (forbidden words, words only allowed in compounds or
// only with an affix, the case a word must have), and compound words are
// not in it at all. The table is read-only once made and shared by all
// threads.

#include "spelling/dictionary_files.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class WordForms {
public:
    // Null, with the reason in *why, when the files cannot be read or the
    // affix file uses what this reader does not follow (a character set
    // other than UTF-8, IGNORE, COMPLEXPREFIXES): such a dictionary
    // keeps hunspell's own suggestions. `extraWords` (the personal list)
    // are forms as well.
    static std::shared_ptr<const WordForms> load(const DictionaryFiles &files, const QStringList &extraWords,
                                                 QString *why);
    // The same from the files' contents.
    static std::shared_ptr<const WordForms> fromText(const QByteArray &affix, const QByteArray &dic,
                                                     const QStringList &extraWords, QString *why);

    // Whether some form folds to the same text as `word`.
    bool mayBeWord(QStringView word) const { return containsHash(hashFolded(word)); }
    qsizetype formCount() const { return m_count; }

    // The letters the affix file's TRY names, in lower case, each once.
    const QString &tryLetters() const { return m_tryLetters; }
    // The affix file's REP table: typical mistakes and their fix ('_' in
    // the file is a space; a leading ^ or trailing $ anchors the pattern).
    const std::vector<std::pair<QString, QString>> &replacements() const { return m_replacements; }

    // The word as hunspell reads it: the affix file's ICONV table applied
    // (en_US: a typographic apostrophe as a plain one).
    QString converted(const QString &word) const;
    // A suggestion as hunspell gives it: the OCONV table applied (fr: a
    // plain apostrophe as a typographic one).
    QString shown(const QString &word) const;

    // The hash of a case-folded text, built a character at a time, so that
    // an edit of a word can be hashed without making the string.
    static constexpr std::uint64_t kHashStart = 14695981039346656037ull;
    // `lower` is already in lower case; ß counts as "ss".
    static std::uint64_t hashAddLower(std::uint64_t hash, char16_t lower)
    {
        if (lower == u'ß')
            return hashUnit(hashUnit(hash, u's'), u's');
        return hashUnit(hash, lower);
    }
    static std::uint64_t hashFolded(QStringView text);
    bool containsHash(std::uint64_t hash) const;

private:
    WordForms() = default;
    static std::uint64_t hashUnit(std::uint64_t hash, char16_t unit)
    {
        return (hash ^ unit) * 1099511628211ull;
    }
    void buildTable(std::vector<std::uint64_t> &hashes);

    std::vector<std::uint64_t> m_table;  // open addressing, 0 for an empty slot
    std::uint64_t m_mask = 0;
    qsizetype m_count = 0;
    QString m_tryLetters;
    std::vector<std::pair<QString, QString>> m_replacements;
    std::vector<std::pair<QString, QString>> m_conversions;
    std::vector<std::pair<QString, QString>> m_outputs;
};
