#include "spelling/spell_checker.h"

#include "catalogue/string_entry.h"
#include "spelling/edit_suggestions.h"
#include "spelling/hunspell_dictionary.h"
#include "spelling/word_forms.h"

namespace {
// The answers kept; past this the cache starts again (a vocabulary is far
// smaller, so this only bounds memory on pathological input).
constexpr qsizetype kKnownWordsLimit = 500000;
} // namespace

SpellChecker::SpellChecker() = default;
SpellChecker::~SpellChecker() = default;

std::unique_ptr<SpellChecker> SpellChecker::create(const SpellCheckerSetup &setup, QString *error)
{
    // With word forms hunspell only confirms words: its own suggestions
    // are not asked for, so the quick handle is not needed.
    std::unique_ptr<HunspellDictionary> dictionary =
        HunspellDictionary::open(setup.dictionary, error, setup.quickSuggestions && !setup.wordForms);
    if (!dictionary)
        return nullptr;
    std::unique_ptr<SpellChecker> checker(new SpellChecker);
    checker->m_name = setup.dictionary.name;
    checker->m_dictionary = std::move(dictionary);
    checker->m_forms = setup.wordForms;
    for (const QString &word : setup.acceptedWords)
        checker->m_dictionary->add(word);
    return checker;
}

bool SpellChecker::isCorrect(const QString &word)
{
    const auto known = m_known.constFind(word);
    if (known != m_known.constEnd())
        return *known;
    if (m_known.size() >= kKnownWordsLimit)
        m_known.clear();
    const bool correct = m_dictionary->spell(word);
    m_known.insert(word, correct);
    return correct;
}

std::vector<SpellWord> SpellChecker::misspelledWords(QStringView text)
{
    std::vector<SpellWord> words = SplitWords(text);
    std::erase_if(words, [this](const SpellWord &word) { return isCorrect(word.word); });
    return words;
}

QStringList SpellChecker::suggestions(const QString &word, int limit)
{
    if (m_forms)
        return EditSuggestions(*m_forms, word, [this](const QString &candidate) { return isCorrect(candidate); }, limit);
    QStringList found = m_dictionary->suggest(word);
    if (found.size() > limit)
        found.resize(limit);
    return found;
}

void SpellChecker::accept(const QString &word)
{
    m_dictionary->add(word);
    // What hunspell now derives from the word (its capitalised form, say)
    // is asked again.
    m_known.clear();
}

bool ShouldCheckSpelling(const StringEntry &entry)
{
    return entry.translatable != 0 && !entry.translation.isEmpty() && entry.translation != entry.original;
}
