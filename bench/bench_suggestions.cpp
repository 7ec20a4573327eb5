// Suggestions for the distinct misspelled words of a language file, one
// thread each way:
//   - the dictionary's word forms made (time, count);
//   - suggestions from edits looked up in them (what check --spelling uses);
//   - hunspell's own suggestions from edits (the quick affix copy);
//   - hunspell's full suggestions for the first N words (default 300);
// and how often each hunspell's first suggestion is among the edits' eight.
//
//   python3 ../shared/bench/gen_langfile.py xml 100000 /tmp/AppResDEU.xml
//   bench_suggestions /tmp/AppResDEU.xml [DICTIONARY] [--full N]   (default de_DE, 300)

#include "catalogue/document.h"
#include "spelling/distinct_word_check.h"
#include "spelling/word_forms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

double msSince(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e6; }

struct Pass {
    double ms = 0;
    std::vector<QStringList> suggestions;
    qsizetype answered = 0;
};

Pass suggestAll(const SpellCheckerSetup &setup, const QStringList &words)
{
    QString error;
    const std::unique_ptr<SpellChecker> checker = SpellChecker::create(setup, &error);
    Pass pass;
    if (!checker) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return pass;
    }
    QElapsedTimer timer;
    timer.start();
    for (const QString &word : words) {
        pass.suggestions.push_back(checker->suggestions(word, 8));
        pass.answered += pass.suggestions.back().isEmpty() ? 0 : 1;
    }
    pass.ms = msSince(timer);
    return pass;
}

// Of the words hunspell answers, how many have its first suggestion among
// the edits' ones, and how many the same first.
void agreement(const char *label, const Pass &edits, const Pass &hunspell)
{
    qsizetype compared = 0, among = 0, same = 0;
    for (size_t i = 0; i < hunspell.suggestions.size(); ++i) {
        if (hunspell.suggestions[i].isEmpty())
            continue;
        ++compared;
        among += edits.suggestions[i].contains(hunspell.suggestions[i][0]) ? 1 : 0;
        same += !edits.suggestions[i].isEmpty() && edits.suggestions[i][0] == hunspell.suggestions[i][0] ? 1 : 0;
    }
    std::printf("%s first suggestion among the edits' eight: %lld of %lld (%.1f %%), the same first: %lld (%.1f %%)\n",
                label, (long long)among, (long long)compared, compared ? 100.0 * double(among) / double(compared) : 0.0,
                (long long)same, compared ? 100.0 * double(same) / double(compared) : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    qsizetype fullCount = 300;
    const qsizetype fullAt = args.indexOf(QStringLiteral("--full"));
    if (fullAt >= 0 && fullAt + 1 < args.size()) {
        fullCount = args[fullAt + 1].toLongLong();
        args.remove(fullAt, 2);
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: bench_suggestions FILE [DICTIONARY] [--full N]\n");
        return 2;
    }
    const DictionaryFiles files = FindDictionary(args.value(1, QStringLiteral("de_DE")));
    if (!files.found()) {
        std::fprintf(stderr, "no %s dictionary\n", qPrintable(files.name));
        return 1;
    }
    std::vector<QString> texts;
    {
        CRendaroDoc document;
        const int id = document.LoadCatalogue(args[0], false);
        if (id < 0) {
            std::fprintf(stderr, "cannot load %s\n", qPrintable(args[0]));
            return 1;
        }
        const EntryMap &entries = document.findCatalogue(id)->entries;
        for (size_t number = 0; number < entries.size(); ++number) {
            if (ShouldCheckSpelling(entries.byNumber(number)))
                texts.push_back(entries.byNumber(number).translation);
        }
    }
    const TextWords words = CollectTextWords(texts);
    std::vector<char> correct;
    QString error;
    SpellCheckerSetup setup{files, {}};
    if (!CheckWords(setup, words.words, SpellingThreads(words.words.size()), &correct, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QStringList misspelled;
    for (size_t i = 0; i < correct.size(); ++i) {
        if (!correct[i])
            misspelled << words.words[qsizetype(i)];
    }
    std::printf("%zu texts, %lld distinct words, %lld misspelled, dictionary %s\n", texts.size(),
                (long long)words.words.size(), (long long)misspelled.size(), qPrintable(files.name));

    QElapsedTimer timer;
    timer.start();
    setup.wordForms = WordForms::load(files, {}, &error);
    if (!setup.wordForms) {
        std::fprintf(stderr, "no word forms: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("word forms:                  %9.1f ms (%lld forms)\n", msSince(timer),
                (long long)setup.wordForms->formCount());
    const Pass edits = suggestAll(setup, misspelled);
    std::printf("suggestions from edits:      %9.1f ms (%.3f ms a word), %lld of %lld words answered\n", edits.ms,
                edits.ms / double(std::max<qsizetype>(1, misspelled.size())), (long long)edits.answered,
                (long long)misspelled.size());

    SpellCheckerSetup quick{files, {}};
    quick.quickSuggestions = true;
    const Pass hunspellQuick = suggestAll(quick, misspelled);
    std::printf("hunspell's from edits:       %9.1f ms (%.3f ms a word), %lld answered\n", hunspellQuick.ms,
                hunspellQuick.ms / double(std::max<qsizetype>(1, misspelled.size())),
                (long long)hunspellQuick.answered);
    agreement("hunspell's (from edits)", edits, hunspellQuick);

    const QStringList sample = misspelled.mid(0, fullCount);
    if (!sample.isEmpty()) {
        const Pass full = suggestAll({files, {}}, sample);
        std::printf("hunspell's full, %lld words: %9.1f ms (%.3f ms a word), %lld answered\n",
                    (long long)sample.size(), full.ms, full.ms / double(sample.size()), (long long)full.answered);
        Pass editsOfSample = edits;
        editsOfSample.suggestions.resize(size_t(sample.size()));
        agreement("hunspell's (full)", editsOfSample, full);
    }
    return 0;
}
