#pragma once
// Spelling of many texts by their distinct words: a file of 100,000
// translations holds some tens of thousands of distinct words, so each is
// split out once, numbered, and asked once, on several threads. hunspell
// handles are not safe to share, so every thread builds its own checker
// from the setup and takes words from a shared counter; each answer goes to
// its own slot, so the threads share nothing they write.

#include "spelling/spell_checker.h"

#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

// The words of many texts, each distinct word once.
struct TextWords {
    QStringList words;                               // distinct, in the order first met
    std::vector<std::vector<std::uint32_t>> ofText;  // per text, its words (numbers) in order
};

TextWords CollectTextWords(const std::vector<QString> &texts);

// Threads worth starting for `count` words: the available cores (at most
// four), one for a few words (a checker takes a fraction of a second to
// build).
int SpellingThreads(qsizetype count);

// Runs `work(checker, i)` for every i below `count` on `threads` threads,
// each with a checker of its own. False, with the reason in *error, when
// the dictionary cannot be read; stops early (returning true) when *cancel
// becomes set.
bool ForEachWithCheckers(const SpellCheckerSetup &setup, qsizetype count, int threads, qsizetype chunk,
                         const std::function<void(SpellChecker &, qsizetype)> &work,
                         const std::atomic<bool> *cancel, QString *error);

// Whether each word is correct (1) or not (0).
bool CheckWords(const SpellCheckerSetup &setup, const QStringList &words, int threads, std::vector<char> *correct,
                QString *error, const std::atomic<bool> *cancel = nullptr);

// Up to `limit` suggestions for each word.
bool SuggestWords(const SpellCheckerSetup &setup, const QStringList &words, int threads, int limit,
                  std::vector<QStringList> *suggestions, QString *error);

// The distinct misspelled words (numbers) of one text, in order.
std::vector<std::uint32_t> MisspelledOfText(const std::vector<std::uint32_t> &words,
                                            const std::vector<char> &correct);
