// Spelling by distinct words on several threads against asking a fresh
// dictionary about every word of every text in turn: the same misspelled
// words, in the same order, for the command line's path and the worker
// run; suggestions made on threads match those made one by one.

#include "spelling/distinct_word_check.h"
#include "spelling/hunspell_dictionary.h"
#include "spelling/spell_check_run.h"

#include <QRandomGenerator>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

SpellCheckerSetup germanWithRendaro() { return {FindDictionary("de_DE", {"/usr/share/hunspell"}), {"Rendaro"}}; }

// Texts drawn from known, misspelled, accepted and skipped words, with
// accelerator marks and punctuation, enough of them for several threads.
std::vector<QString> randomTexts()
{
    const QStringList pool = {"Datei", "Dattei", "Speichern", "Speichrn", "&Öffnen", "Öfnen", "Rendaro",
                              "Fehlr", "Einstellungen", "Einstelungen", "%s", "USB", "MP3", "E-Mail",
                              "Benutzerdefinierte", "benutzerdefiniertee", "Ordner", "Ordnr", "schließen",
                              "schliesen", "Ände&rungen", "Aenderungen", "die", "dei", "und", "unt"};
    QRandomGenerator random(20261209);
    std::vector<QString> texts;
    for (int t = 0; t < 6000; ++t) {
        QStringList words;
        for (int w = 0, n = random.bounded(1, 8); w < n; ++w) {
            // A word of its own now and then: many distinct words.
            words << (random.bounded(4) == 0 ? pool[random.bounded(pool.size())] + QString(QChar(u'a' + random.bounded(26))) +
                                                   QString(QChar(u'a' + random.bounded(26)))
                                             : pool[random.bounded(pool.size())]);
        }
        texts.push_back(words.join(random.bounded(2) ? QStringLiteral(" ") : QStringLiteral(", ")) + ".");
    }
    return texts;
}

// The misspelled words of each text, asking the dictionary word by word.
std::vector<QStringList> wordByWord(const std::vector<QString> &texts)
{
    QString error;
    const SpellCheckerSetup setup = germanWithRendaro();
    const std::unique_ptr<HunspellDictionary> dictionary = HunspellDictionary::open(setup.dictionary, &error);
    EXPECT_TRUE(dictionary) << error.toStdString();
    for (const QString &word : setup.acceptedWords)
        dictionary->add(word);
    std::vector<QStringList> result;
    for (const QString &text : texts) {
        QStringList misspelled;
        for (const SpellWord &word : SplitWords(text)) {
            if (!dictionary->spell(word.word) && !misspelled.contains(word.word))
                misspelled << word.word;
        }
        result.push_back(misspelled);
    }
    return result;
}

TEST(SpellCheckRun, DistinctWordsOnThreadsGiveWhatWordByWordGives)
{
    const std::vector<QString> texts = randomTexts();
    const std::vector<QStringList> expected = wordByWord(texts);
    qsizetype misspelledTexts = 0;
    for (const QStringList &words : expected)
        misspelledTexts += words.isEmpty() ? 0 : 1;
    ASSERT_GT(misspelledTexts, 1000);
    ASSERT_LT(misspelledTexts, qsizetype(texts.size()));

    // The command line's path: distinct words, checked on three threads.
    const TextWords words = CollectTextWords(texts);
    ASSERT_GT(words.words.size(), 2000);
    std::vector<char> correct;
    QString error;
    ASSERT_TRUE(CheckWords(germanWithRendaro(), words.words, 3, &correct, &error)) << error.toStdString();
    for (size_t t = 0; t < texts.size(); ++t) {
        QStringList found;
        for (std::uint32_t word : MisspelledOfText(words.ofText[t], correct))
            found << words.words[word];
        ASSERT_EQ(found, expected[t]) << texts[t].toStdString();
    }

    // The worker run: the same findings, text by text.
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<SpellFinding> findings;
    bool last = false;
    {
        SpellCheckRun run(germanWithRendaro(), texts, [&](SpellBatch &&batch) {
            std::lock_guard lock(mutex);
            EXPECT_TRUE(batch.error.isEmpty());
            findings.insert(findings.end(), batch.findings.begin(), batch.findings.end());
            last = batch.last;
            ended.notify_all();
        });
        std::unique_lock lock(mutex);
        ended.wait(lock, [&] { return last; });
    }
    ASSERT_EQ(qsizetype(findings.size()), misspelledTexts);
    for (const SpellFinding &finding : findings)
        EXPECT_EQ(finding.words, expected[size_t(finding.index)]);

    // Suggestions on two threads, each word's as one checker gives them.
    const QStringList asked = {"Dattei", "Speichrn", "Einstelungen", "Ordnr", "schliesen"};
    std::vector<QStringList> suggestions;
    ASSERT_TRUE(SuggestWords(germanWithRendaro(), asked, 2, 8, &suggestions, &error));
    const std::unique_ptr<SpellChecker> checker = SpellChecker::create(germanWithRendaro(), &error);
    ASSERT_TRUE(checker);
    for (qsizetype i = 0; i < asked.size(); ++i)
        EXPECT_EQ(suggestions[size_t(i)], checker->suggestions(asked[i], 8)) << asked[i].toStdString();
    EXPECT_TRUE(suggestions[0].contains("Datei"));

    // A dictionary that cannot be read is an error, not an empty answer.
    EXPECT_FALSE(CheckWords({FindDictionary("qq_QQ", {}), {}}, words.words, 2, &correct, &error));
    EXPECT_EQ(error, u"no qq_QQ dictionary");
}

} // namespace
