#pragma once
// Checks texts against one dictionary, the user's own words and the words
// ignored for the session. A checker belongs to one thread (it owns its
// hunspell handle); the editor keeps one for the texts typed and gives the
// worker thread another.

#include "spelling/dictionary_files.h"
#include "spelling/word_splitter.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <memory>
#include <vector>

class HunspellDictionary;
class WordForms;
struct StringEntry;

// What a checker is made from; a plain value, so that it can be handed to
// another thread.
struct SpellCheckerSetup {
    DictionaryFiles dictionary;
    QStringList acceptedWords;  // the personal list and the ignored words
    // Suggestions from edits of the word only (see HunspellDictionary):
    // for suggestions in bulk, where hunspell's full search would take
    // tens of milliseconds a word.
    bool quickSuggestions = false;
    // When set, suggestions come from edits of the word looked up in these
    // forms and confirmed by the dictionary (EditSuggestions): a fraction
    // of a millisecond a word. Shared, read-only, by every thread's checker.
    std::shared_ptr<const WordForms> wordForms = nullptr;
};

class SpellChecker {
public:
    // Null, with the reason in *error, when the dictionary cannot be read.
    static std::unique_ptr<SpellChecker> create(const SpellCheckerSetup &setup, QString *error);
    ~SpellChecker();

    const QString &dictionaryName() const { return m_name; }

    // Whether the dictionary (or the accepted words) know the word.
    bool isCorrect(const QString &word);
    // The misspelled words of a text, in order, with where they stand.
    std::vector<SpellWord> misspelledWords(QStringView text);
    // Up to `limit` suggestions for a word, best first.
    QStringList suggestions(const QString &word, int limit = 8);
    // The word counts as correct from now on (added to the personal list,
    // or ignored).
    void accept(const QString &word);

private:
    SpellChecker();

    QString m_name;
    std::unique_ptr<HunspellDictionary> m_dictionary;
    std::shared_ptr<const WordForms> m_forms;
    // Every word asked about, with the answer: a translation file repeats
    // its words, and hunspell takes microseconds a word.
    QHash<QString, bool> m_known;
};

// Whether the spelling of an entry's translation is checked: a real
// translation (not empty, not equal to its original) of a translatable
// entry. An untranslated entry still holds English.
bool ShouldCheckSpelling(const StringEntry &entry);
