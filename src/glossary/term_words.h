#pragma once
// The words of a text as terms are matched in it, and the stems of words
// through a hunspell dictionary.
//
// A word is a run of letters, digits and combining marks; an accelerator
// mark inside or before it ("&File", "Sa&ve") is dropped ("&&" is an
// ampersand), and so are escapes ("\n") and printf conversions ("%s").
// Between two words stands a gap: spaces only, a hyphen, or anything else.

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class HunspellDictionary;

enum class WordGap { Space, Hyphen, Other };

struct TermWord {
    qsizetype start = 0, end = 0;  // in the text, marks included
    QString text;                  // without accelerator marks
    WordGap gap = WordGap::Other;  // before it
};

std::vector<TermWord> SplitTermWords(QStringView text);

// A word's keys: its lower case and the lower case of each stem the
// dictionary gives, without repeats (with an English dictionary, an English
// plural's also those of its singular); two words match when their keys
// meet. Kept for every word asked about (a file repeats its words, and
// hunspell takes microseconds a word). One thread at a time uses a
// WordStems; copies made by forAnotherThread share its dictionary (taken
// one call at a time) and start from the keys it has found.
class WordStems {
public:
    // With the installed hunspell dictionary of that name ("en_US"); without
    // one (none installed, or an empty name) a word's only key is its lower
    // case.
    explicit WordStems(const QString &dictionaryName);
    ~WordStems();
    WordStems(WordStems &&other) noexcept;
    WordStems &operator=(WordStems &&other) noexcept;
    // A copy for another thread: the same dictionary, without loading it
    // again, and the keys found so far.
    WordStems forAnotherThread() const;
    bool hasDictionary() const { return m_dictionary != nullptr; }
    // The reference holds until the next call.
    const QStringList &keys(const QString &word);
    // Whether the dictionary knows the word (never without one).
    bool isWord(const QString &word);

private:
    struct SharedDictionary;
    WordStems() = default;

    QStringList m_number;  // the keys of a number, which are not kept
    std::shared_ptr<SharedDictionary> m_dictionary;
    QHash<QString, QStringList> m_keys;
    QHash<QString, bool> m_known;
};

// Whether two key lists share a key.
bool KeysMeet(const QStringList &a, const QStringList &b);
