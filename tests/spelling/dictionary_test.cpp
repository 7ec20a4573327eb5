// The language table, finding dictionaries in folders, the hunspell
// wrapper on small dictionaries written here (UTF-8 and Latin-1), and known
// misspellings found with Debian's de_DE and en_US dictionaries, which
// scripts/install-deps.sh installs.

#include "spelling/dictionary_files.h"
#include "spelling/spell_checker.h"
#include "spelling/spelling_languages.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(SpellingLanguages, CodeFromTheFileNameOrItsFolder)
{
    const struct {
        const char *path;
        const char *code;
    } cases[] = {
        {"ViewResDEU.xml", "DEU"},       {"/work/lang/ALL_FRA.xml", "FRA"}, {"esp.xml", "ESP"},
        {"Exe/Lang/PTB/Strings.xml", "PTB"}, {"Lang/nld/Strings.xml", "NLD"},  {"ViewResENG.xml", "ENG"},
        {"Menu.xml", ""},                {"ViewRes.xml", ""},                {"Lang/XYZ/a.xml", ""},
        {"CHS.xml", ""},                 {"rendaro-bench-100000.xml", ""},   {"sample_ita.xml", "ITA"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LanguageCodeFromPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.code)) << c.path;

    EXPECT_EQ(LanguageCodeFromPaths({"a/ViewResDEU.xml", "a/notes.xml", "a/BackResDEU.xml"}), u"DEU");
    EXPECT_EQ(LanguageCodeFromPaths({"a/ViewResDEU.xml", "a/ViewResFRA.xml"}), QString());
    EXPECT_EQ(LanguageCodeFromPaths({}), QString());
}

TEST(SpellingLanguages, DictionariesAndTheirPackages)
{
    ASSERT_TRUE(SpellingLanguageForCode(u"deu"));
    EXPECT_STREQ(SpellingLanguageForCode(u"DEU")->dictionary, "de_DE");
    EXPECT_STREQ(SpellingLanguageForCode(u"FRA")->dictionary, "fr_FR");
    EXPECT_STREQ(SpellingLanguageForCode(u"PTB")->dictionary, "pt_BR");
    EXPECT_EQ(SpellingLanguageForCode(u"JPN"), nullptr);  // no spaces between words
    EXPECT_EQ(DictionaryPackage("fr_FR"), u"hunspell-fr");
    EXPECT_EQ(DictionaryPackage("en_US"), u"hunspell-en-us");
    EXPECT_EQ(MissingDictionaryText("de_DE"), u"no de_DE dictionary (Debian package hunspell-de-de)");
    EXPECT_EQ(MissingDictionaryText("fi_FI"), u"no fi_FI dictionary (no Debian package provides it)");
    EXPECT_EQ(MissingDictionaryText("xx_YY"), u"no xx_YY dictionary (no Debian package provides it)");
}

// Folders with small dictionaries of their own.
class SmallDictionaries : public FolderTest {
protected:
    QString addDictionary(const QString &folder, const QString &name, const QByteArray &aff, const QByteArray &dic)
    {
        QDir().mkpath(folder);
        writeBytes(QDir(folder).filePath(name + ".aff"), aff);
        writeBytes(QDir(folder).filePath(name + ".dic"), dic);
        return folder;
    }
    QString own() const { return folder.path("own"); }
    QString system() const { return folder.path("system"); }
};

TEST_F(SmallDictionaries, FoundInTheFirstFolderHoldingThem)
{
    addDictionary(system(), "xx_YY", "SET UTF-8\n", "1\nsystem\n");
    addDictionary(own(), "xx_YY", "SET UTF-8\n", "1\nown\n");
    addDictionary(system(), "sr-Latn", "SET UTF-8\n", "1\na\n");
    addDictionary(system(), "ar", "SET UTF-8\n", "1\na\n");
    addDictionary(system(), "pt_PT", "SET UTF-8\n", "1\na\n");
    writeBytes(QDir(system()).filePath("zz_ZZ.aff"), "SET UTF-8\n");  // no .dic: no dictionary
    const QStringList folders = {own(), system(), folder.path("absent")};

    const DictionaryFiles xx = FindDictionary("xx_YY", folders);
    ASSERT_TRUE(xx.found());
    EXPECT_EQ(xx.affPath, QDir(own()).filePath("xx_YY.aff"));
    EXPECT_EQ(xx.dicPath, QDir(own()).filePath("xx_YY.dic"));
    EXPECT_EQ(FindDictionary("sr_Latn_RS", folders).dicPath, QDir(system()).filePath("sr-Latn.dic"));
    EXPECT_EQ(FindDictionary("ar", folders).dicPath, QDir(system()).filePath("ar.dic"));
    EXPECT_EQ(FindDictionary("ar_EG", folders).dicPath, QDir(system()).filePath("ar.dic"));
    EXPECT_FALSE(FindDictionary("pt_BR", folders).found());  // never another country's
    EXPECT_FALSE(FindDictionary("zz_ZZ", folders).found());
    EXPECT_FALSE(FindDictionary("../system/xx_YY", folders).found());
    EXPECT_EQ(FindDictionary("pt_BR", folders).name, u"pt_BR");

    EXPECT_EQ(InstalledDictionaries(folders), QStringList({"ar", "pt_PT", "sr-Latn", "xx_YY"}));
    // The user's own folder comes first.
    EXPECT_TRUE(DictionaryFolders().first().endsWith("/hunspell"));
    EXPECT_TRUE(DictionaryFolders().contains("/usr/share/hunspell"));
}

TEST_F(SmallDictionaries, CheckerOnDictionariesInUtf8AndLatin1)
{
    // "Straße" in UTF-8; "café" in a dictionary of ISO 8859-1 bytes.
    addDictionary(own(), "xx_YY", "SET UTF-8\nTRY aeiostr\n", "2\nStraße\nhaus\n");
    addDictionary(own(), "ll_LL", "SET ISO8859-1\nTRY ae\xe9\n", "1\ncaf\xe9\n");
    QString error;
    const std::unique_ptr<SpellChecker> utf8 = SpellChecker::create({FindDictionary("xx_YY", {own()}), {}}, &error);
    ASSERT_TRUE(utf8) << error.toStdString();
    EXPECT_TRUE(utf8->isCorrect("Straße"));
    EXPECT_TRUE(utf8->isCorrect("Haus"));  // capitalised at a sentence's start
    EXPECT_FALSE(utf8->isCorrect("Strase"));
    EXPECT_TRUE(utf8->suggestions("Strase").contains("Straße"));

    const std::unique_ptr<SpellChecker> latin1 = SpellChecker::create({FindDictionary("ll_LL", {own()}), {}}, &error);
    ASSERT_TRUE(latin1) << error.toStdString();
    EXPECT_TRUE(latin1->isCorrect(QString::fromUtf8("café")));
    EXPECT_FALSE(latin1->isCorrect("cafe"));
    EXPECT_EQ(latin1->suggestions("cafe"), QStringList({QString::fromUtf8("café")}));

    // Accepted words: given at creation, or accepted later.
    const std::unique_ptr<SpellChecker> withWords =
        SpellChecker::create({FindDictionary("xx_YY", {own()}), {"Rendaro"}}, &error);
    ASSERT_TRUE(withWords);
    EXPECT_TRUE(withWords->isCorrect("Rendaro"));
    EXPECT_FALSE(withWords->isCorrect("Zaphod"));
    withWords->accept("Zaphod");
    EXPECT_TRUE(withWords->isCorrect("Zaphod"));  // the earlier answer is not kept

    // Missing or unreadable files are named.
    EXPECT_FALSE(SpellChecker::create({FindDictionary("qq_QQ", {own()}), {}}, &error));
    EXPECT_EQ(error, u"no qq_QQ dictionary");
    DictionaryFiles gone = FindDictionary("xx_YY", {own()});
    QFile::remove(gone.dicPath);
    EXPECT_FALSE(SpellChecker::create({gone, {}}, &error));
    EXPECT_TRUE(error.startsWith(gone.dicPath + ": ")) << error.toStdString();
}

// Debian's dictionaries, as the install script installs them.
std::unique_ptr<SpellChecker> installed(const char *name)
{
    QString error;
    const DictionaryFiles files = FindDictionary(name, {"/usr/share/hunspell"});
    std::unique_ptr<SpellChecker> checker = SpellChecker::create({files, {}}, &error);
    EXPECT_TRUE(checker) << name << ": " << error.toStdString() << " (run scripts/install-deps.sh)";
    return checker;
}

QStringList misspelled(SpellChecker &checker, const QString &text)
{
    QStringList words;
    for (const SpellWord &word : checker.misspelledWords(text))
        words << word.word;
    return words;
}

TEST(InstalledDictionaries, GermanFindsItsMisspellings)
{
    const std::unique_ptr<SpellChecker> german = installed("de_DE");
    ASSERT_TRUE(german);
    EXPECT_EQ(misspelled(*german, "Die Dattei wurde nicht gespeichert"), QStringList({"Dattei"}));
    EXPECT_TRUE(german->suggestions("Dattei").contains("Datei"));
    EXPECT_LE(german->suggestions("Dattei", 3).size(), 3);
    // Umlauts, sharp s, hyphenated compounds, accelerators, placeholders,
    // escapes and capitals pass.
    EXPECT_EQ(misspelled(*german, "&Größe der E-Mail ändern: %s Dateien\\nin %1 Ordnern (USB)"), QStringList());
}

TEST(InstalledDictionaries, EnglishFindsItsMisspellings)
{
    const std::unique_ptr<SpellChecker> english = installed("en_US");
    ASSERT_TRUE(english);
    EXPECT_EQ(misspelled(*english, "Teh file was savd to %s"), QStringList({"Teh", "savd"}));
    EXPECT_TRUE(english->suggestions("savd").contains("saved"));
    EXPECT_EQ(misspelled(*english, "&Open the file's folder? Don't ask again.\\nVisit www.example.com"),
              QStringList());
}

} // namespace
