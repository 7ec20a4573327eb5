// Spelling by distinct words on several threads against asking a fresh
// dictionary about every word of every text in turn: the same misspelled
// words, in the same order, for the command line's path and the worker
// run; suggestions made on threads match those made one by one.

#include "spelling/distinct_word_check.h"
#include "spelling/hunspell_dictionary.h"
#include "spelling/spell_check_run.h"
#include "spelling/word_forms.h"

#include <QRandomGenerator>
#include <algorithm>
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

    // Suggestions on two threads, each word's as one checker gives them:
    // hunspell's full or quick ones, or from edits looked up in the word
    // forms shared by the threads.
    const QStringList asked = {"Dattei", "Speichrn", "Einstelungen", "Ordnr", "schliesen"};
    for (const int kind : {0, 1, 2}) {
        SpellCheckerSetup setup = germanWithRendaro();
        setup.quickSuggestions = kind == 1;
        if (kind == 2)
            setup.wordForms = WordForms::load(setup.dictionary, setup.acceptedWords, &error);
        std::vector<QStringList> suggestions;
        ASSERT_TRUE(SuggestWords(setup, asked, 2, 8, &suggestions, &error));
        const std::unique_ptr<SpellChecker> checker = SpellChecker::create(setup, &error);
        ASSERT_TRUE(checker);
        for (qsizetype i = 0; i < asked.size(); ++i) {
            // hunspell stops looking after a limit of processor time, which
            // the threads of a run use up together: a loaded or sanitized
            // run may find fewer, but the same ones first.
            const QStringList &threaded = suggestions[size_t(i)];
            const QStringList alone = checker->suggestions(asked[i], 8);
            const qsizetype common = std::min(threaded.size(), alone.size());
            EXPECT_TRUE(common > 0 ? threaded.first(common) == alone.first(common) : threaded == alone)
                << asked[i].toStdString() << ": " << threaded.join(u',').toStdString() << " against "
                << alone.join(u',').toStdString();
        }
        EXPECT_TRUE(suggestions[0].contains("Datei"));
    }

    // A dictionary that cannot be read is an error, not an empty answer.
    EXPECT_FALSE(CheckWords({FindDictionary("qq_QQ", {}), {}}, words.words, 2, &correct, &error));
    EXPECT_EQ(error, u"no qq_QQ dictionary");
}

TEST(QuickSuggestions, CommonTyposGetTheWordAmongTheFirst)
{
    // A letter doubled, dropped, swapped, replaced, a missing umlaut or
    // sharp s: the intended word is among the first three.
    const struct {
        const char *typo;
        const char *word;
    } german[] = {
        {"Dattei", "Datei"},       {"Speichrn", "Speichern"},     {"Einstelungen", "Einstellungen"},
        {"Ordnr", "Ordner"},       {"Fehelr", "Fehler"},          {"Verbindnug", "Verbindung"},
        {"Gröse", "Größe"},        {"Benutzre", "Benutzer"},
        {"Geraet", "Gerät"},       {"Sicherhiet", "Sicherheit"},  {"Abbrechne", "Abbrechen"},
    };
    SpellCheckerSetup setup = germanWithRendaro();
    setup.quickSuggestions = true;
    QString error;
    const std::unique_ptr<SpellChecker> quick = SpellChecker::create(setup, &error);
    ASSERT_TRUE(quick) << error.toStdString();
    for (const auto &pair : german) {
        const QStringList found = quick->suggestions(pair.typo, 8);
        EXPECT_TRUE(found.mid(0, 3).contains(QString::fromUtf8(pair.word)))
            << pair.typo << ": " << found.join(", ").toStdString();
    }
}

TEST(QuickSuggestions, AffixCopyTurnsOffTheSlowPassesOnly)
{
    const struct {
        const char *affix;
        const char *quick;
    } cases[] = {
        // Capitals leave TRY in a UTF-8 file; the limits are set once, at the end.
        {"SET UTF-8\nTRY esiäÄESI-\nREP 1\nREP ss ß\n",
         "SET UTF-8\nTRY esiä-\nREP 1\nREP ss ß\n\nMAXNGRAMSUGS 0\nMAXCPDSUGS 0\n"},
        {"SET UTF-8\r\nMAXNGRAMSUGS 4\r\nTRY aB\r\nMAXCPDSUGS 2\r\n",
         "SET UTF-8\r\nTRY a\n\nMAXNGRAMSUGS 0\nMAXCPDSUGS 0\n"},
        // Another character set: TRY as it is.
        {"SET ISO8859-1\nTRY abAB\n", "SET ISO8859-1\nTRY abAB\n\nMAXNGRAMSUGS 0\nMAXCPDSUGS 0\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(QuickSuggestionAffix(c.affix).toStdString(), std::string(c.quick)) << c.affix;
}

TEST(QuickSuggestions, OneThreadGivesWhatSeveralGive)
{
    // Misspellings of every kind, many of them, so that each thread gets
    // a share: the answers do not depend on which thread asked.
    QStringList words;
    const QStringList stems = {"Datei", "Speichern", "Einstellungen", "Ordner", "Fehler", "Verbindung",
                               "Benutzer", "Sicherheit", "Abbrechen", "Drucker", "Größe", "Öffnen"};
    QRandomGenerator random(31);
    for (int i = 0; i < 240; ++i) {
        QString word = stems[random.bounded(stems.size())];
        const int at = int(random.bounded(word.size()));
        switch (random.bounded(3)) {
        case 0: word.insert(at, QChar(u'a' + random.bounded(26))); break;
        case 1: word.remove(at, 1); break;
        default: word[at] = QChar(u'a' + random.bounded(26)); break;
        }
        if (!words.contains(word))
            words << word;
    }
    SpellCheckerSetup setup = germanWithRendaro();
    setup.quickSuggestions = true;
    std::vector<QStringList> alone, together;
    QString error;
    ASSERT_TRUE(SuggestWords(setup, words, 1, 8, &alone, &error)) << error.toStdString();
    ASSERT_TRUE(SuggestWords(setup, words, 3, 8, &together, &error)) << error.toStdString();
    ASSERT_EQ(alone.size(), together.size());
    qsizetype answered = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        EXPECT_EQ(together[size_t(i)], alone[size_t(i)]) << words[i].toStdString();
        answered += alone[size_t(i)].isEmpty() ? 0 : 1;
    }
    EXPECT_GT(answered, words.size() / 2);
}

} // namespace
