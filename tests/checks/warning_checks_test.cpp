// The warnings of the built-in checks: for each check, real faults it must
// find and the known traps it must leave alone, in several languages. A
// case lists every warning the pair raises, so a trap that another check
// takes for a fault fails too.

#include "check_fixture.h"

#include <gtest/gtest.h>

namespace {

struct WarningCase {
    const char *language;
    const char *original;
    const char *translation;
    const char *warnings;  // the ids raised, comma-separated; "" for none
};

void expectWarnings(const std::vector<WarningCase> &cases)
{
    for (const WarningCase &c : cases) {
        const QStringList got = warningIds(QString::fromLatin1(c.language), QString::fromUtf8(c.original),
                                           QString::fromUtf8(c.translation));
        EXPECT_EQ(got.join(u',').toStdString(), std::string(c.warnings))
            << c.language << ": \"" << c.original << "\" -> \"" << c.translation << "\"";
    }
}

TEST(AcceleratorCheck, OneMarkForOneAndNoneForNone)
{
    expectWarnings({
        {"DEU", "&Open", "Öffnen", "accelerator"},
        {"DEU", "Open", "&Öffnen", "accelerator"},
        {"DEU", "&Save", "&Spe&ichern", "accelerator"},
        {"FRA", "E&xit", "Quitter", "accelerator"},
        {"JPN", "&File", "ファイル", "accelerator"},
        {"RUS", "&Edit", "Правка", "accelerator"},
        // A literal ampersand is "&&", and one before a space is none.
        {"DEU", "Drag && Drop", "Ziehen && Ablegen", ""},
        {"DEU", "&Save && Close", "&Speichern && Schließen", ""},
        {"DEU", "Drag && Drop", "Ziehen && &Ablegen", "accelerator"},
        {"FRA", "Terms & conditions", "Conditions & mentions", ""},
        // Chinese and Japanese append the mark in brackets.
        {"JPN", "&File", "ファイル(&F)", ""},
        {"JPN", "Save &As...", "名前を付けて保存(&A)...", ""},
        {"CHS", "&Edit", "编辑(&E)", ""},
    });
}

TEST(EndPunctuationCheck, TheFinalMarkMatchesInTheLanguagesForm)
{
    expectWarnings({
        {"DEU", "Delete the file?", "Datei löschen.", "end-punctuation"},
        {"DEU", "Loading...", "Wird geladen.", "end-punctuation"},
        {"DEU", "Loading...", "Wird geladen..", "end-punctuation"},
        {"DEU", "Open file", "Datei öffnen.", "end-punctuation"},
        {"FRA", "Name:", "Nom", "end-punctuation"},
        {"ESP", "Done!", "Listo", "end-punctuation"},
        {"JPN", "Saved.", "保存しました", "end-punctuation"},
        {"RUS", "Are you sure?", "Вы уверены.", "end-punctuation"},
        // French spaces before ? ! : ; of every width.
        {"FRA", "Save changes?", "Enregistrer les modifications ?", ""},
        {"FRA", "Save changes?", "Enregistrer les modifications\u00a0?", ""},
        {"FRA", "Save changes?", "Enregistrer les modifications\u202f?", ""},
        {"FRA", "Warning!", "Attention\u00a0!", ""},
        {"FRA", "Name:", "Nom\u202f:", ""},
        // "..." and "…", full-width marks, Spanish ¿?, Greek ";", quotes.
        {"DEU", "Loading...", "Wird geladen…", ""},
        {"CHS", "Loading...", "正在加载……", ""},
        {"JPN", "Are you sure?", "よろしいですか？", ""},
        {"JPN", "Saved.", "保存しました。", ""},
        {"JPN", "Name:", "名前：", ""},
        {"JPN", "&Open...", "開く...(&O)", ""},
        {"ESP", "Do you want to save?", "¿Desea guardar?", ""},
        {"ELL", "Save?", "Αποθήκευση;", ""},
        {"RUS", "Click \"OK\".", "Нажмите «ОК».", ""},
        {"RUS", "Click \"OK.\"", "Нажмите «ОК».", ""},
        {"DEU", "Type \"yes\".", "Geben Sie „ja“ ein.", ""},
        {"DEU", "(optional)", "(optional.)", "end-punctuation"},
        // Thai ends a sentence without a mark.
        {"THA", "Saved.", "บันทึกแล้ว", ""},
        // A menu text is judged before its shortcut.
        {"DEU", "&Open...\tCtrl+O", "Ö&ffnen...\tStrg+O", ""},
        {"DEU", "&Open...\tCtrl+O", "Ö&ffnen\tStrg+O", "end-punctuation"},
        // White space that differs at the end is the whitespace check's alone.
        {"DEU", "Name: ", "Name:", "whitespace"},
        {"DEU", "Question? ", "Frage", "whitespace"},
    });
}

TEST(SpaceChecks, WhiteSpaceAtTheEndsTwoSpacesAndInvisibleCharacters)
{
    expectWarnings({
        {"DEU", " (optional)", "(optional)", "whitespace"},
        {"RUS", "Path: ", "Путь:  ", "whitespace"},
        {"DEU", "Next\\n", "Weiter", "whitespace"},
        {"DEU", "Name: ", "Name:\u00a0", ""},  // a no-break space is a space
        // Japanese full-width marks carry their own spacing.
        {"JPN", "Name: ", "名前：", ""},
        {"JPN", " (optional)", "（任意）", ""},
        {"DEU", "Save file", "Datei  speichern", "double-space"},
        {"FRA", "Open the file", "Ouvrir  le fichier", "double-space"},
        {"RUS", "Delete all", "Удалить\u00a0 все", "double-space"},
        {"DEU", "Column A  Column B", "Spalte A  Spalte B", ""},
        {"DEU", "Print", "Drucken\u200b", "invisible"},
        {"FRA", "Open", "Ou\u00advrir", "invisible"},
        {"ESP", "Close", "Cerrar\ufeffahora", "invisible"},
        {"RUS", "Edit", "Пра\u200dвка", "invisible"},
        {"DEU", "Name", "Na\u0007me", "invisible"},
        {"DEU", "Tab\there", "Tab\thier", ""},
        // Thai marks word breaks with zero-width spaces.
        {"THA", "Save file", "บันทึก\u200bไฟล์", ""},
    });
}

TEST(NumbersCheck, NumbersAreEqualAsValuesInTheLanguagesForm)
{
    expectWarnings({
        {"DEU", "Copy 3 files", "5 Dateien kopieren", "numbers"},
        {"FRA", "7 days left", "70 jours restants", "numbers"},
        {"ESP", "Version 2.1", "Versión 2.2", "numbers"},
        {"JPN", "Page 3 of 10", "10 ページ中 4 ページ", "numbers"},
        {"RUS", "Wait 30 seconds", "Подождите 3 секунды", "numbers"},
        {"DEU", "1 of 2", "1 von 2 2", "numbers"},
        {"JPN", "Page 3 of 10", "10 ページ中 3 ページ", ""},
        // Thousands and decimals as each language writes them.
        {"DEU", "1,000 files", "1.000 Dateien", ""},
        {"DEU", "1,000 files", "1 000 Dateien", ""},
        {"DEU", "1,000 files", "1000 Dateien", ""},
        {"FRA", "1,000 files", "1\u202f000 fichiers", ""},
        {"FRA", "1.5 MB", "1,5 Mo", ""},
        {"ESP", "1,234.56", "1.234,56", ""},
        {"RUS", "1,000,000 rows", "1 000 000 строк", ""},
        {"DEU", "100% done", "100 % erledigt", ""},
        {"JPN", "3 files", "３個のファイル", ""},
        {"DEU", "1,000 files", "1.001 Dateien", "numbers"},
        {"DEU", "Between 1 and 200", "Zwischen 1 und 2000", "numbers"},
        {"DEU", "Between 1 and 200", "Zwischen 1 200", ""},  // may be read as two numbers
        // Dates, versions and times keep their numbers apart.
        {"DEU", "Dated 1/2/2020", "Vom 1.2.2020", ""},
        {"FRA", "Version 1.2.3 is ready", "La version 1.2.3 est prête", ""},
        {"DEU", "At 10:30", "Um 10.30", ""},
        // Digits of placeholders and URLs are code.
        {"DEU", "%1$s of %2$s", "%1$s von %2$s", ""},
        {"DEU", "%d files", "%d Dateien", ""},
        {"DEU", "%.2f MB", "%.2f MB frei", ""},
        {"DEU", "Visit www.example2.com", "Besuchen Sie www.example2.com", ""},
    });
}

TEST(WordChecks, DoubledWordsAndTheFirstLettersCase)
{
    expectWarnings({
        {"DEU", "Delete the file", "Die die Datei löschen", "doubled-word"},
        {"FRA", "Open the file", "Ouvrir le le fichier", "doubled-word"},
        {"ESP", "Save the file", "Guardar el el archivo", "doubled-word"},
        {"RUS", "Open the file", "Открыть файл файл", "doubled-word"},
        {"DEU", "The file is ready", "Die Datei ist ist bereit", "doubled-word"},
        {"DEU", "Open the &file", "Die &Datei datei öffnen", "doubled-word"},
        // Repetitions the languages make, or the original makes.
        {"FRA", "You log in", "Vous vous connectez", ""},
        {"FRA", "We meet", "Nous nous rencontrons", ""},
        {"DEU", "If you delete them", "Wenn Sie sie löschen", ""},
        {"DEU", "Files that the program needs", "Dateien, die die Anwendung benötigt", ""},
        {"DEU", "Visit Bora Bora", "Besuchen Sie Bora Bora", ""},
        {"DEU", "Use %s %s", "%s %s verwenden", ""},
        {"DEU", "Line\\nline", "Zeile\\nZeile", ""},
        {"DEU", "Open the settings", "die Einstellungen öffnen", "case"},
        {"FRA", "Select a file", "sélectionnez un fichier", "case"},
        {"ESP", "Do you want to save?", "¿desea guardar?", "case"},
        {"RUS", "Open file", "открыть файл", "case"},
        {"DEU", "A new version is available", "eine neue Version ist verfügbar", "case"},
        // Names as their owners write them, and originals that start otherwise.
        {"ESP", "iCal Export", "Exportar iCal", ""},
        {"DEU", "Sync with iTunes", "iTunes synchronisieren", ""},
        {"DEU", "Create eBay account", "eBay-Konto erstellen", ""},
        {"DEU", "Open %s", "%s öffnen", ""},
        {"DEU", "3 files", "3 Dateien", ""},
        {"DEU", "OK", "ok", ""},
        {"DEU", "Open \"Settings\"", "„Einstellungen“ öffnen", ""},
        {"JPN", "Open file", "ファイルを開く", ""},
    });
}

TEST(ReferenceChecks, UrlsAndBrackets)
{
    expectWarnings({
        {"DEU", "Visit https://example.com/help", "Besuchen Sie https://example.de/hilfe", "urls"},
        {"FRA", "Write to support@example.com", "Écrivez à support@exemple.fr", "urls"},
        {"ESP", "See www.example.com", "Consulte www.ejemplo.com", "urls"},
        {"RUS", "See https://example.com", "См. сайт", "urls"},
        {"DEU", "(see https://example.com)", "(siehe https://example.com)", ""},
        {"JPN", "See https://example.com for details.", "詳細は https://example.com をご覧ください。", ""},
        {"JPN", "Visit www.example.com.", "www.example.comをご覧ください。", ""},
        {"DEU", "Mail Info@Example.com", "E-Mail an info@example.com", ""},
        {"DEU", "Go to https://Example.com/", "Gehen Sie zu https://example.com", ""},
        {"DEU", "Go to https://example.com/Help", "Gehen Sie zu https://example.com/help", "urls"},
        {"DEU", "Options (advanced)", "Optionen (erweitert", "brackets"},
        {"FRA", "[Default]", "Par défaut]", "brackets"},
        {"ESP", "Value {0}", "Valor {0", "brackets"},
        {"RUS", "Settings (beta)", "Настройки", "brackets"},
        {"CHS", "(optional)", "（可选）", ""},
        {"DEU", "Delete file(s)", "Datei(en) löschen", ""},
        {"FRA", "Delete file(s)", "Supprimer les fichiers", ""},
        {"JPN", "Click [OK].", "「OK」をクリックしてください。", ""},
    });
}

TEST(PlaceholdersCheck, PositionalPlaceholdersAreWarnedAbout)
{
    expectWarnings({
        {"DEU", "%1$s on %2$s", "auf %2$s", "placeholders"},
        {"FRA", "%1$s of %2$d", "%1$s sur %2$s", "placeholders"},
        {"ESP", "%1$s", "%1$s %1$s", "placeholders"},
        {"DEU", "%1$s on %2$s", "%2$s: %1$s", ""},
        {"JPN", "%1$d of %2$d", "%2$d 件中 %1$d 件", ""},
    });
}

TEST(WarningChecks, AnEmptyOrUntranslatedTranslationRaisesNoWarning)
{
    expectWarnings({
        {"DEU", "&Open", "", ""},
        {"DEU", "Save?", "Save?", ""},
        {"DEU", " Copy 3 files  (x", " Copy 3 files  (x", ""},
    });
    // The errors stay.
    EXPECT_EQ(judgeTexts(builtInSet(QStringLiteral("DEU")), QStringLiteral("&Open"), QString()).size(), 1u);
}

TEST(WarningChecks, MessagesNameWhatDiffersWithTheTexts)
{
    const struct {
        const char *check, *original, *translation, *message;
    } cases[] = {
        {"accelerator", "&Open", "Öffnen", "The original has the accelerator \"&O\", the translation none"},
        {"accelerator", "Open", "Ö&ffnen", "The original has no accelerator, the translation \"&f\""},
        {"accelerator", "&Save", "&Spe&ichern",
         "The translation has 2 accelerators (\"&S\" and \"&i\"), it needs exactly one"},
        {"end-punctuation", "Save?", "Speichern.", "The original ends with \"?\", the translation with \".\""},
        {"end-punctuation", "Wait...", "Warten", "The original ends with \"...\", the translation without punctuation"},
        {"whitespace", " (optional)", "(optional)",
         "The original starts with a space, the translation with no white space"},
        {"whitespace", "Name: ", "Name:  ", "The original ends with a space, the translation with 2 spaces"},
        {"double-space", "Save the file", "Die Datei  speichern",
         "The translation has two spaces in a row (\"Die Datei  speichern\"), the original none"},
        {"invisible", "Print", "Drucken\u200b",
         "The translation holds U+200B (zero-width space) in \"Drucken\\u200b\", the original none"},
        {"numbers", "Copy 3 files", "5 Dateien kopieren", "3 is missing from the translation; 5 is new"},
        {"numbers", "3 of 4", "von", "3 and 4 are missing from the translation"},
        {"numbers", "Files", "7 Dateien", "7 is new in the translation"},
        {"doubled-word", "Delete the file", "Löschen Sie die die Datei",
         "The translation repeats \"die\" (\"Löschen Sie die die Datei\"), the original does not"},
        {"urls", "See www.example.com", "Siehe www.beispiel.de",
         "\"www.example.com\" is missing from the translation; \"www.beispiel.de\" is new"},
        {"brackets", "Options (advanced)", "Optionen (erweitert", "The original has 1 \")\", the translation 0"},
        {"case", "Open the settings", "die Einstellungen öffnen",
         "The original starts with a capital letter (\"Open\"), the translation in lower case (\"die\")"},
        {"placeholders", "%1$s on %2$s", "auf %2$s", "\"%1$s\" is missing from the translation"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(warningMessage(QStringLiteral("DEU"), QString::fromLatin1(c.check), QString::fromUtf8(c.original),
                                 QString::fromUtf8(c.translation))
                      .toStdString(),
                  std::string(c.message))
            << c.check << ": " << c.original;
}

TEST(CheckLanguage, ComesFromTheFilesNameAsSpellingTakesIt)
{
    const struct {
        const char *path, *code, *primary;
        bool hasCase;
    } cases[] = {
        {"ViewResDEU.xml", "DEU", "de", true},  {"/x/ALL_JPN.xml", "JPN", "ja", false},
        {"Lang/FRA/View.xml", "FRA", "fr", true}, {"Menu.xml", "", "", true},
        {"ViewResCHT.xml", "CHT", "zh", false}, {"ViewResARA.xml", "ARA", "ar", false},
        {"ViewRes.xml", "", "", true},
    };
    for (const auto &c : cases) {
        const CheckLanguage language = CheckLanguageForPath(QString::fromLatin1(c.path));
        EXPECT_EQ(language.code, QString::fromLatin1(c.code)) << c.path;
        EXPECT_EQ(language.primary, QString::fromLatin1(c.primary)) << c.path;
        EXPECT_EQ(language.hasCase, c.hasCase) << c.path;
    }
    EXPECT_TRUE(CheckLanguageForCode(QStringLiteral("fra")).decimalComma);
    EXPECT_TRUE(CheckLanguageForCode(QStringLiteral("FRA")).spaceGroups);
    EXPECT_FALSE(CheckLanguageForCode(QStringLiteral("JPN")).decimalComma);
    EXPECT_TRUE(CheckLanguageForCode(QStringLiteral("ELL")).semicolonQuestion);
}

} // namespace
