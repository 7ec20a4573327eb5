// Suggestions from edits looked up in the word forms: each kind of edit in
// its order on a small dictionary, the lookup keeping hunspell out of the
// edits that are no form, the limit; with Debian's de_DE, common typos,
// compounds and case, and agreement with hunspell's own suggestions from
// edits on a list of misspellings.

#include "spelling/edit_suggestions.h"
#include "spelling/hunspell_dictionary.h"
#include "spelling/spell_checker.h"
#include "spelling/word_forms.h"

#include <QRandomGenerator>
#include <QSet>
#include <gtest/gtest.h>
#include <iostream>

namespace {

// A dictionary of a few words, with a compound hunspell would accept that
// is no form of the word file.
class SmallDictionary {
public:
    SmallDictionary()
    {
        QString why;
        forms = WordForms::fromText("SET UTF-8\nTRY eaitrnsdälmk\nREP 1\nREP ae ä\nSFX N Y 1\nSFX N 0 en .\n",
                                    "8\nDatei/N\nGerät\nTat\nEis\nLeim\nKlein\nsind\nmein\n", {}, &why);
        EXPECT_TRUE(forms) << why.toStdString();
        words = {"Datei", "Dateien", "Gerät", "Tat", "Eis", "Leim", "Klein", "sind", "mein", "Eisleim"};
    }

    QStringList suggest(const QString &word, int limit = 8)
    {
        return EditSuggestions(*forms, word,
                               [this](const QString &w) {
                                   ++asked;
                                   // A capitalised word at the start of a sentence counts, as in hunspell.
                                   return words.contains(w) || words.contains(w.first(1).toLower() + w.sliced(1));
                               },
                               limit);
    }

    std::shared_ptr<const WordForms> forms;
    QSet<QString> words;
    int asked = 0;
};

TEST(EditSuggestions, EachEditInItsOrder)
{
    const struct {
        const char *typo;
        const char *first;
    } cases[] = {
        {"datei", "Datei"},       // its case
        {"Geraet", "Gerät"},      // the REP table
        {"Dtaei", "Datei"},       // two letters swapped
        {"Detai", "Datei"},       // two apart
        {"Dattei", "Datei"},      // a letter too many
        {"Dtei", "Datei"},        // one missing
        {"Dateo", "Datei"},       // one wrong
        {"Daiteen", "Dateien"},   // one moved
        {"Datatei", "Datei"},     // a pair typed twice
        {"DateiTat", "Datei Tat"},  // two words
        {"ESind", "Sind"},        // a capital in front: the rest as a word, capitalised like the typo
        {"XEisleim", "Eisleim"},  // a compound, with its first letter dropped
        {"EisleimX", "Eisleim"},  // or its last
    };
    for (const auto &c : cases) {
        SmallDictionary dictionary;
        const QStringList found = dictionary.suggest(QString::fromUtf8(c.typo));
        ASSERT_FALSE(found.isEmpty()) << c.typo;
        EXPECT_EQ(found[0], QString::fromUtf8(c.first)) << c.typo << ": " << found.join(", ").toStdString();
        EXPECT_EQ(found.size(), QSet<QString>(found.begin(), found.end()).size()) << c.typo;
    }
}

TEST(EditSuggestions, OnlyFormsAreAskedAndTheLimitHolds)
{
    SmallDictionary dictionary;
    // Hundreds of edits of a long word, none a form: hunspell is asked
    // about its case, its halves and its ends only.
    const QString word = QStringLiteral("Qwrtzpfkxbvn");
    EXPECT_TRUE(dictionary.suggest(word).isEmpty());
    EXPECT_LE(dictionary.asked, 3 + 2 * 3 + 2 * int(word.size()));

    // Inside a compound an edit is no form: not found.
    EXPECT_FALSE(dictionary.suggest("Eislein").contains("Eisleim"));

    EXPECT_EQ(dictionary.suggest("Lein"), QStringList({"Klein", "Mein", "Leim"}));
    EXPECT_EQ(dictionary.suggest("Lein", 2), QStringList({"Klein", "Mein"}));
    EXPECT_TRUE(dictionary.suggest("Lein", 0).isEmpty());
    EXPECT_TRUE(dictionary.suggest("", 8).isEmpty());
}

SpellCheckerSetup germanSetup(bool withForms)
{
    SpellCheckerSetup setup{FindDictionary("de_DE", {"/usr/share/hunspell"}), {}};
    if (withForms) {
        QString why;
        setup.wordForms = WordForms::load(setup.dictionary, {}, &why);
        EXPECT_TRUE(setup.wordForms) << why.toStdString();
    } else {
        setup.quickSuggestions = true;
    }
    return setup;
}

TEST(EditSuggestions, GermanTyposCompoundsAndCase)
{
    QString error;
    const std::unique_ptr<SpellChecker> checker = SpellChecker::create(germanSetup(true), &error);
    ASSERT_TRUE(checker) << error.toStdString();
    const struct {
        const char *typo;
        const char *word;
    } cases[] = {
        {"Dattei", "Datei"},          {"Speichrn", "Speichern"},       {"Einstelungen", "Einstellungen"},
        {"Ordnr", "Ordner"},          {"Fehelr", "Fehler"},            {"Verbindnug", "Verbindung"},
        {"Gröse", "Größe"},           {"Benutzre", "Benutzer"},        {"Geraet", "Gerät"},
        {"Sicherhiet", "Sicherheit"}, {"Abbrechne", "Abbrechen"},
        // Compounds, which hunspell's suggestions from edits leave out.
        {"AFußzeile", "Fußzeile"},    {"SchaltflächeD", "Schaltfläche"}, {"PostfachFeld", "Postfachfeld"},
        {"WirdSchriftart", "Wird Schriftart"},
        // The case of the typo.
        {"Esind", "Sind"},            {"dKonfigurieren", "Konfigurieren"},
    };
    for (const auto &c : cases) {
        const QStringList found = checker->suggestions(QString::fromUtf8(c.typo), 8);
        EXPECT_TRUE(found.mid(0, 3).contains(QString::fromUtf8(c.word)))
            << c.typo << ": " << found.join(", ").toStdString();
        EXPECT_LE(found.size(), 8);
    }
}

TEST(EditSuggestions, EnglishWithItsApostrophes)
{
    SpellCheckerSetup setup{FindDictionary("en_US", {"/usr/share/hunspell"}), {}};
    QString error;
    setup.wordForms = WordForms::load(setup.dictionary, {}, &error);
    ASSERT_TRUE(setup.wordForms) << error.toStdString();
    const std::unique_ptr<SpellChecker> checker = SpellChecker::create(setup, &error);
    ASSERT_TRUE(checker) << error.toStdString();
    const struct {
        const char *typo;
        const char *word;
    } cases[] = {
        {"recieve", "receive"}, {"teh", "the"}, {"Fiel", "File"}, {"doesn\u2019tt", "doesn't"}, {"savedfiles", "saved files"},
    };
    for (const auto &c : cases) {
        const QStringList found = checker->suggestions(QString::fromUtf8(c.typo), 8);
        EXPECT_TRUE(found.mid(0, 3).contains(QString::fromUtf8(c.word)))
            << c.typo << ": " << found.join(", ").toStdString();
    }
}

TEST(EditSuggestions, AgreeWithHunspellsSuggestionsFromEdits)
{
    // Misspellings of every kind the edits cover, and words run together:
    // hunspell's first suggestion (from its own edits) is among ours for
    // nearly every one.
    const QStringList stems = {"Datei", "Speichern", "Einstellungen", "Ordner", "Fehler", "Verbindung",
                               "Benutzer", "Sicherheit", "Abbrechen", "Drucker", "Größe", "Öffnen",
                               "gespeichert", "verfügbar", "Verzeichnis", "Kennwort", "wird", "nicht"};
    QRandomGenerator random(20261209);
    QStringList typos;
    while (typos.size() < 150) {
        QString word = stems[random.bounded(stems.size())];
        const int at = int(random.bounded(word.size()));
        switch (random.bounded(5)) {
        case 0: word.insert(at, QChar(u'a' + random.bounded(26))); break;
        case 1: word.remove(at, 1); break;
        case 2: word[at] = QChar(u'a' + random.bounded(26)); break;
        case 3:
            if (at + 1 < word.size())
                std::swap(word[at], word[at + 1]);
            break;
        default: word += stems[random.bounded(stems.size())]; break;
        }
        if (!typos.contains(word))
            typos << word;
    }
    QString error;
    const std::unique_ptr<SpellChecker> ours = SpellChecker::create(germanSetup(true), &error);
    const std::unique_ptr<SpellChecker> hunspells = SpellChecker::create(germanSetup(false), &error);
    ASSERT_TRUE(ours && hunspells) << error.toStdString();
    int compared = 0, agreeing = 0, answeredByUs = 0, answeredByHunspell = 0;
    for (const QString &typo : typos) {
        if (ours->isCorrect(typo))
            continue;
        const QStringList mine = ours->suggestions(typo, 8);
        const QStringList theirs = hunspells->suggestions(typo, 8);
        answeredByUs += mine.isEmpty() ? 0 : 1;
        answeredByHunspell += theirs.isEmpty() ? 0 : 1;
        if (theirs.isEmpty())
            continue;
        ++compared;
        if (mine.contains(theirs[0]))
            ++agreeing;
        else
            std::cout << typo.toStdString() << ": " << mine.join(", ").toStdString() << " | hunspell: "
                      << theirs.join(", ").toStdString() << '\n';
    }
    std::cout << "hunspell's first suggestion among ours for " << agreeing << " of " << compared
              << " typos; answered: ours " << answeredByUs << ", hunspell's " << answeredByHunspell << '\n';
    ASSERT_GT(compared, 100);
    EXPECT_GE(agreeing * 100, compared * 95);
    EXPECT_GE(answeredByUs, answeredByHunspell);
}

} // namespace
