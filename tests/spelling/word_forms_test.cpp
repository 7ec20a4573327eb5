// The word forms read from small affix and word files written here: stems
// with suffixes (conditions, strips, a second suffix), prefixes and cross
// products, the flag kinds and AF aliases, words never suggested, case
// folding, the personal words, and the affix files left to hunspell.

#include "spelling/word_forms.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
    const char *word;
    bool form;
};

void expectForms(const WordForms &forms, std::initializer_list<Expected> cases)
{
    for (const Expected &c : cases)
        EXPECT_EQ(forms.mayBeWord(QString::fromUtf8(c.word)), c.form) << c.word;
}

TEST(WordForms, StemsWithTheirAffixes)
{
    const QByteArray affix = "SET UTF-8\n"
                             "TRY esiaEA-\n"
                             "REP 2\n"
                             "REP ae ä\n"
                             "REP zu_ zu\n"
                             "NOSUGGEST n\n"
                             "FORBIDDENWORD d\n"
                             "PFX U Y 1\n"
                             "PFX U 0 un .\n"
                             "SFX S Y 3\n"
                             "SFX S 0 s [^s]\n"
                             "SFX S 0 es s\n"
                             "SFX S y ies [^aeiou]y\n"
                             "SFX E N 1\n"
                             "SFX E 0 er/T .\n"
                             "SFX T N 1\n"
                             "SFX T 0 in .\n"
                             "SFX G Y 1\n"
                             "SFX G 0 t .\n"
                             "PFX C Y 1\n"
                             "PFX C 0 ge/G .\n";
    const QByteArray dic = "9\n"
                           "Datei/S\n"
                           "Lauf/SU\n"
                           "Straße/S\n"
                           "fly/S\n"
                           "klein/EU\n"
                           "schlimm/n\n"
                           "Grrr/d\n"
                           "speicher/C\n"
                           "a\\/b\tpo:noun\n";
    QString why;
    const std::shared_ptr<const WordForms> forms = WordForms::fromText(affix, dic, {"Rendaro"}, &why);
    ASSERT_TRUE(forms) << why.toStdString();
    expectForms(*forms, {
                            {"Datei", true},      {"Dateis", true},     {"dateis", true},   // case folded
                            {"Dateies", false},                                           // "es" only after s
                            {"Straße", true},     {"STRASSE", true},    {"Strasses", true}, // ß as ss
                            {"flies", true},      {"flys", true},       {"fly", true},
                            {"Lauf", true},       {"Laufs", true},      {"unLauf", true},
                            {"unLaufs", true},                                            // both cross
                            {"kleiner", true},    {"kleinerin", true},  {"kleinin", false}, // a second suffix
                            {"unklein", true},    {"unkleiner", false},                   // E is no cross product
                            {"gespeichert", true}, {"speichert", false},                 // a suffix the prefix allows
                            {"schlimm", false},   {"Grrr", false},                        // never suggested, forbidden
                            {"a/b", true},        {"Rendaro", true},    {"Rendaros", false},
                            {"", false},          {"Date", false},
                        });
    EXPECT_EQ(forms->tryLetters(), u"esia-");
    ASSERT_EQ(forms->replacements().size(), 2u);
    EXPECT_EQ(forms->replacements()[1], std::make_pair(QString("zu "), QString("zu")));
}

TEST(WordForms, FlagKindsAndAliases)
{
    const struct {
        const char *affix;
        const char *dic;
        const char *form;
        const char *notForm;
    } cases[] = {
        {"SET UTF-8\nFLAG long\nSFX Aa Y 1\nSFX Aa 0 s .\nSFX Bb Y 1\nSFX Bb 0 en .\n", "1\nHaus/AaCc\n", "Hauss",
         "Hausen"},
        {"SET UTF-8\nFLAG long\nAF 2\nAF AaBb\nAF Bb\nSFX Aa Y 1\nSFX Aa 0 s .\nSFX Bb Y 1\nSFX Bb 0 en .\n",
         "2\nHaus/1\nBaum/2\n", "Hausen", "Baums"},
        {"SET UTF-8\nFLAG num\nSFX 101 Y 1\nSFX 101 0 e .\nSFX 7 Y 1\nSFX 7 0 es .\n", "1\nTag/101,8\n", "Tage",
         "Tages"},
        {"SET UTF-8\nFLAG UTF-8\nSFX Ä Y 1\nSFX Ä 0 chen .\nSFX Ö Y 1\nSFX Ö 0 lein .\n", "1\nHaus/Ä\n",
         "Hauschen", "Hauslein"},
        // A suffix's continuation through an alias.
        {"SET UTF-8\nAF 1\nAF T\nSFX E N 1\nSFX E 0 er/1 .\nSFX T N 1\nSFX T 0 in .\n", "1\nklein/E\n", "kleinerin",
         "kleinin"},
    };
    for (const auto &c : cases) {
        QString why;
        const std::shared_ptr<const WordForms> forms = WordForms::fromText(c.affix, c.dic, {}, &why);
        ASSERT_TRUE(forms) << why.toStdString();
        EXPECT_TRUE(forms->mayBeWord(QString::fromUtf8(c.form))) << c.affix;
        EXPECT_FALSE(forms->mayBeWord(QString::fromUtf8(c.notForm))) << c.affix;
    }
}

TEST(WordForms, AffixFilesLeftToHunspell)
{
    const struct {
        const char *affix;
        const char *reason;
    } cases[] = {
        {"SET ISO8859-1\nTRY ab\n", "the affix file is not in UTF-8"},
        {"SET UTF-8\nIGNORE x\n", "the affix file uses IGNORE"},
        {"COMPLEXPREFIXES\n", "the affix file uses COMPLEXPREFIXES"},
    };
    for (const auto &c : cases) {
        QString why;
        EXPECT_FALSE(WordForms::fromText(c.affix, "1\nab\n", {}, &why)) << c.affix;
        EXPECT_EQ(why, QString::fromUtf8(c.reason));
    }
    QString why;
    EXPECT_FALSE(WordForms::load(FindDictionary("qq_QQ", {}), {}, &why));
    EXPECT_EQ(why, u"no qq_QQ dictionary");
}

TEST(WordForms, EnglishReadsTypographicApostrophes)
{
    QString why;
    const std::shared_ptr<const WordForms> forms =
        WordForms::load(FindDictionary("en_US", {"/usr/share/hunspell"}), {}, &why);
    ASSERT_TRUE(forms) << why.toStdString();
    EXPECT_EQ(forms->converted(QStringLiteral(u"don\u2019t")), u"don't");
    expectForms(*forms, {{"don't", true}, {"files", true}, {"saved", true}, {"recieve", false}});
}

TEST(WordForms, FrenchShowsTypographicApostrophes)
{
    QString why;
    const std::shared_ptr<const WordForms> forms = WordForms::load(FindDictionary("fr", {"/usr/share/hunspell"}), {}, &why);
    if (!forms)
        GTEST_SKIP() << why.toStdString();  // hunspell-fr is only needed for the French sample
    EXPECT_EQ(forms->shown(QStringLiteral("l'ordinateur")), QStringLiteral(u"l\u2019ordinateur"));
    expectForms(*forms, {{"fichier", true}, {"fichiers", true}, {"enregistrer", true}, {"fichierr", false}});
}

TEST(WordForms, GermanDictionaryHoldsItsInflectedWords)
{
    QString why;
    const std::shared_ptr<const WordForms> forms =
        WordForms::load(FindDictionary("de_DE", {"/usr/share/hunspell"}), {}, &why);
    ASSERT_TRUE(forms) << why.toStdString();
    expectForms(*forms, {
                            {"Datei", true},        {"Dateien", true},      {"speichern", true},
                            {"gespeichert", true},  {"Einstellungen", true}, {"größer", true},
                            {"Größe", true},        {"unverschlüsselt", true},
                            {"Dattei", false},      {"Speichrn", false},     {"Fußzeile", false},  // a compound
                        });
    EXPECT_GT(forms->formCount(), 200000);
}

} // namespace
