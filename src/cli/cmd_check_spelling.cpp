#include "cli/cmd_check_spelling.h"

#include "catalogue/document.h"
#include "spelling/personal_word_list.h"
#include "spelling/distinct_word_check.h"
#include "spelling/spelling_languages.h"
#include "spelling/word_forms.h"

#include <thread>

namespace {

struct Misspelling {
    const StringEntry *entry;
    QString word;
    QStringList suggestions;
};

// The dictionary named on the command line, else the one of the file's
// language; empty (with a message printed) when there is none to use.
QString chooseDictionary(const CommandLine &line, const QString &file, CliStreams &io)
{
    if (line.has(QStringLiteral("--dictionary")))
        return line.value(QStringLiteral("--dictionary"));
    const QString code = isStandardStream(file) ? QString() : LanguageCodeFromPath(file);
    if (code.isEmpty()) {
        io.err << "Can not check spelling: the name of " << displayName(file)
               << " names no language; give --dictionary NAME\n";
        return QString();
    }
    return QString::fromLatin1(SpellingLanguageForCode(code)->dictionary);
}

void printText(const std::vector<Misspelling> &found, CliStreams &io)
{
    for (const Misspelling &m : found) {
        io.out << jsonString(m.entry->original) << ": " << m.word;
        if (!m.suggestions.isEmpty())
            io.out << " -> " << m.suggestions.join(QStringLiteral(", "));
        io.out << '\n';
    }
    io.out << found.size() << (found.size() == 1 ? " misspelled word found\n" : " misspelled words found\n");
}

void printJson(const std::vector<Misspelling> &found, CliStreams &io)
{
    io.out << '[';
    for (size_t i = 0; i < found.size(); ++i) {
        const Misspelling &m = found[i];
        io.out << (i ? ",\n " : "\n ") << "{\"original\": " << jsonString(m.entry->original)
               << ", \"translation\": " << jsonString(m.entry->translation) << ", \"word\": " << jsonString(m.word)
               << ", \"suggestions\": [";
        for (qsizetype s = 0; s < m.suggestions.size(); ++s)
            io.out << (s ? ", " : "") << jsonString(m.suggestions[s]);
        io.out << "]}";
    }
    io.out << (found.empty() ? "]\n" : "\n]\n");
}

} // namespace

int checkSpelling(const CommandLine &line, CliStreams &io)
{
    const QString file = line.operands.first();
    const QString dictionary = chooseDictionary(line, file, io);
    if (dictionary.isEmpty())
        return 1;
    const DictionaryFiles files = FindDictionary(dictionary);
    if (!files.found()) {
        io.err << "Can not check spelling: " << MissingDictionaryText(dictionary) << '\n';
        return 1;
    }
    const SpellCheckerSetup setup{files, ReadPersonalWords(dictionary)};
    // The dictionary's word forms, for the suggestions, are made on
    // another core while the file is read and checked.
    const bool suggest = !line.has(QStringLiteral("--no-suggestions"));
    std::shared_ptr<const WordForms> forms;
    std::jthread formsMaker;
    if (suggest) {
        formsMaker = std::jthread([&forms, &setup] {
            QString unused;  // a dictionary this reader does not follow keeps hunspell's suggestions
            forms = WordForms::load(setup.dictionary, setup.acceptedWords, &unused);
        });
    }
    CRendaroDoc document;
    const int id = loadForCommand(document, file, io, false);
    if (id < 0)
        return 1;

    std::vector<const StringEntry *> checked;
    std::vector<QString> texts;
    for (const auto &[original, entry] : document.findCatalogue(id)->entries) {
        if (ShouldCheckSpelling(entry)) {
            checked.push_back(&entry);
            texts.push_back(entry.translation);
        }
    }
    // Each distinct word is asked once, on every core; so are the
    // suggestions of each distinct misspelled word (milliseconds a word,
    // tens for a long German one, far more than the check).
    const TextWords words = CollectTextWords(texts);
    std::vector<char> correct;
    QString error;
    if (!CheckWords(setup, words.words, SpellingThreads(words.words.size()), &correct, &error)) {
        io.err << "Can not check spelling: " << error << '\n';
        return 1;
    }
    std::vector<std::vector<std::uint32_t>> misspelledOf(texts.size());
    QStringList toSuggest;
    std::vector<qsizetype> suggestionSlot(correct.size(), -1);
    for (size_t t = 0; t < texts.size(); ++t) {
        misspelledOf[t] = MisspelledOfText(words.ofText[t], correct);
        for (std::uint32_t word : misspelledOf[t]) {
            if (suggestionSlot[word] < 0) {
                suggestionSlot[word] = toSuggest.size();
                toSuggest.append(words.words[word]);
            }
        }
    }
    // In bulk, edits of the word looked up in the word forms and confirmed
    // by hunspell (EditSuggestions, a fraction of a millisecond a word);
    // for a dictionary without forms, hunspell's own suggestions from
    // edits only (a few milliseconds; see HunspellDictionary).
    if (formsMaker.joinable())
        formsMaker.join();
    SpellCheckerSetup suggesting = setup;
    suggesting.wordForms = forms;
    suggesting.quickSuggestions = !forms;
    std::vector<QStringList> suggestions;
    if (suggest &&
        !SuggestWords(suggesting, toSuggest, SpellingThreads(toSuggest.size() * 100), 8, &suggestions, &error)) {
        io.err << "Can not check spelling: " << error << '\n';
        return 1;
    }
    std::vector<Misspelling> found;
    for (size_t t = 0; t < texts.size(); ++t) {
        for (std::uint32_t word : misspelledOf[t]) {
            const qsizetype slot = suggestionSlot[word];
            found.push_back({checked[t], words.words[word],
                             suggestions.empty() ? QStringList() : suggestions[size_t(slot)]});
        }
    }
    if (line.has(QStringLiteral("--json")))
        printJson(found, io);
    else
        printText(found, io);
    return found.empty() ? 0 : 1;
}
