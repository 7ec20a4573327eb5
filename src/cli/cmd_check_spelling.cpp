#include "cli/cmd_check_spelling.h"

#include "catalogue/document.h"
#include "spelling/personal_word_list.h"
#include "spelling/spell_check_run.h"
#include "spelling/spelling_languages.h"

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
    QString error;
    const std::unique_ptr<SpellChecker> checker = SpellChecker::create(setup, &error);
    if (!checker) {
        io.err << "Can not check spelling: " << error << '\n';
        return 1;
    }
    CRendaroDoc document;
    const int id = loadForCommand(document, file, io, false);
    if (id < 0)
        return 1;

    std::vector<Misspelling> found;
    // hunspell takes milliseconds for a word's suggestions (tens for a long
    // German one), far more than the check: each word is asked once.
    QHash<QString, QStringList> suggestionsOf;
    for (const auto &[original, entry] : document.findCatalogue(id)->entries) {
        if (!ShouldCheckSpelling(entry))
            continue;
        for (const QString &word : DistinctWords(checker->misspelledWords(entry.translation))) {
            auto suggestions = suggestionsOf.find(word);
            if (suggestions == suggestionsOf.end())
                suggestions = suggestionsOf.insert(word, checker->suggestions(word));
            found.push_back({&entry, word, *suggestions});
        }
    }
    if (line.has(QStringLiteral("--json")))
        printJson(found, io);
    else
        printText(found, io);
    return found.empty() ? 0 : 1;
}
