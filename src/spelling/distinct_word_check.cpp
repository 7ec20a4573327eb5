#include "spelling/distinct_word_check.h"

#include <QHash>
#include <algorithm>
#include <thread>

TextWords CollectTextWords(const std::vector<QString> &texts)
{
    TextWords result;
    result.ofText.resize(texts.size());
    QHash<QString, std::uint32_t> numbers;
    for (size_t t = 0; t < texts.size(); ++t) {
        for (SpellWord &word : SplitWords(texts[t])) {
            auto found = numbers.constFind(word.word);
            if (found == numbers.constEnd()) {
                found = numbers.insert(word.word, std::uint32_t(result.words.size()));
                result.words.append(std::move(word.word));
            }
            result.ofText[t].push_back(*found);
        }
    }
    return result;
}

int SpellingThreads(qsizetype count)
{
    // Below this many words one checker is quicker than building several.
    constexpr qsizetype kWordsWorthThreads = 2000;
    if (count < kWordsWorthThreads)
        return 1;
    return std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
}

bool ForEachWithCheckers(const SpellCheckerSetup &setup, qsizetype count, int threads, qsizetype chunk,
                         const std::function<void(SpellChecker &, qsizetype)> &work,
                         const std::atomic<bool> *cancel, QString *error)
{
    // The first checker is made here, so a dictionary that cannot be read
    // is an error before any thread starts; each helper keeps a failure of
    // its own in its own slot.
    QString reason;
    const std::unique_ptr<SpellChecker> first = SpellChecker::create(setup, &reason);
    if (!first) {
        *error = reason;
        return false;
    }
    std::atomic<qsizetype> next{0};
    auto run = [&](SpellChecker &checker) {
        for (qsizetype start = next.fetch_add(chunk); start < count; start = next.fetch_add(chunk)) {
            if (cancel && *cancel)
                return;
            for (qsizetype i = start; i < std::min(count, start + chunk); ++i)
                work(checker, i);
        }
    };
    const int helperCount = std::max(1, threads) - 1;
    std::vector<QString> failures(static_cast<size_t>(helperCount));
    std::vector<std::thread> helpers;
    for (int t = 0; t < helperCount; ++t) {
        helpers.emplace_back([&, t] {
            QString why;
            const std::unique_ptr<SpellChecker> checker = SpellChecker::create(setup, &why);
            if (!checker) {
                failures[size_t(t)] = std::move(why);
                return;
            }
            run(*checker);
        });
    }
    run(*first);
    for (std::thread &helper : helpers)
        helper.join();
    for (QString &failure : failures) {
        if (!failure.isEmpty()) {
            *error = std::move(failure);
            return false;
        }
    }
    return true;
}

bool CheckWords(const SpellCheckerSetup &setup, const QStringList &words, int threads, std::vector<char> *correct,
                QString *error, const std::atomic<bool> *cancel)
{
    correct->assign(size_t(words.size()), 0);
    char *verdicts = correct->data();
    return ForEachWithCheckers(
        setup, words.size(), threads, 256,
        [&](SpellChecker &checker, qsizetype i) { verdicts[i] = checker.isCorrect(words[i]) ? 1 : 0; }, cancel,
        error);
}

bool SuggestWords(const SpellCheckerSetup &setup, const QStringList &words, int threads, int limit,
                  std::vector<QStringList> *suggestions, QString *error)
{
    suggestions->assign(size_t(words.size()), QStringList());
    QStringList *out = suggestions->data();
    // A word's suggestions take milliseconds: one word at a time keeps the
    // threads evenly busy.
    return ForEachWithCheckers(
        setup, words.size(), threads, 1,
        [&](SpellChecker &checker, qsizetype i) { out[i] = checker.suggestions(words[i], limit); }, nullptr, error);
}

std::vector<std::uint32_t> MisspelledOfText(const std::vector<std::uint32_t> &words, const std::vector<char> &correct)
{
    std::vector<std::uint32_t> misspelled;
    for (std::uint32_t word : words) {
        if (!correct[word] && std::find(misspelled.begin(), misspelled.end(), word) == misspelled.end())
            misspelled.push_back(word);
    }
    return misspelled;
}
