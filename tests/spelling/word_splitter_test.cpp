// The word splitter against a table of texts: what is a word, what is left
// out (placeholders, escapes, URLs and addresses, capitals, digits), where
// each word stands, and how a suggestion keeps an accelerator mark.

#include "spelling/word_splitter.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <random>

namespace {

QStringList wordsOf(const QString &text)
{
    QStringList words;
    for (const SpellWord &word : SplitWords(text))
        words << word.word;
    return words;
}

struct SplitCase {
    const char16_t *text;
    QStringList words;
};

TEST(WordSplitter, WordsAndWhatIsLeftOut)
{
    const SplitCase cases[] = {
        {u"Save the file", {"Save", "the", "file"}},
        {u"", {}},
        // Accelerator marks are dropped; "&&" is a plain ampersand.
        {u"&File", {"File"}},
        {u"Sa&ve", {"Save"}},
        {u"Save && Exit", {"Save", "Exit"}},
        {u"Save&&Exit", {"Save", "Exit"}},
        {u"Tools &", {"Tools"}},
        // Placeholders of both styles, and "%%".
        {u"%s files copied", {"files", "copied"}},
        {u"%d of %s files", {"of", "files"}},
        {u"Size: %-10.2f %ld bytes", {"Size", "bytes"}},
        {u"%1 Dateien in %L2 Ordnern", {"Dateien", "in", "Ordnern"}},
        {u"%%done and %12", {"done", "and"}},
        {u"50 % fertig", {"fertig"}},
        {u"Datei%1", {"Datei"}},
        // Escapes: the backslash and its character.
        {u"Zeile\\nZweite", {"Zeile", "Zweite"}},
        {u"Spalte\\tWert\\r\\nEnde", {"Spalte", "Wert", "Ende"}},
        {u"C:\\\\Programme", {"Programme"}},
        // URLs and mail addresses, whole stretches between spaces.
        {u"Siehe http://example.com/hilfe bitte", {"Siehe", "bitte"}},
        {u"ftp://host/pfad", {}},
        {u"Besuchen Sie www.beispiel.de.", {"Besuchen", "Sie"}},
        {u"(www.example.com)", {}},
        {u"Schreiben Sie an info@beispiel.de", {"Schreiben", "Sie", "an"}},
        {u"Zeile\\nhttp://example.com", {"Zeile"}},
        {u"at @home", {"at", "home"}},
        // Capitals and digits.
        {u"OK USB Stick", {"Stick"}},
        {u"MP3 x64 2nd Datei", {"Datei"}},
        {u"A & B", {}},
        {u"IDs", {"IDs"}},
        // Apostrophes and hyphens inside a word, not at its ends.
        {u"don't l'ordinateur l\u2019ordinateur E-Mail", {"don't", "l'ordinateur", "l\u2019ordinateur", "E-Mail"}},
        {u"-Datei- 'Wort' Datei- und", {"Datei", "Wort", "Datei", "und"}},
        // Letters of every script, combining marks, and a letter outside the BMP.
        {u"Größe ändern", {"Größe", "ändern"}},
        {u"Привет мир", {"Привет", "мир"}},
        {u"Cafe\u0301 ok", {"Cafe\u0301", "ok"}},
        {u"\U0001D4B3abc", {"\U0001D4B3abc"}},
        {u"Datei... (Ordner)!", {"Datei", "Ordner"}},
    };
    for (const SplitCase &c : cases)
        EXPECT_EQ(wordsOf(QString::fromUtf16(c.text)), c.words) << QString::fromUtf16(c.text).toStdString();
}

TEST(WordSplitter, WordsKnowWhereTheyStand)
{
    const QString text = QStringLiteral("Öffne &Datei\\nSa&ve %s jetzt");
    const std::vector<SpellWord> words = SplitWords(text);
    ASSERT_EQ(words.size(), 4u);
    const struct {
        qsizetype start, length;
        const char *stretch;
    } expected[] = {{0, 5, "Öffne"}, {6, 6, "&Datei"}, {14, 5, "Sa&ve"}, {23, 5, "jetzt"}};
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(words[i].start, expected[i].start) << i;
        EXPECT_EQ(words[i].length, expected[i].length) << i;
        EXPECT_EQ(text.mid(words[i].start, words[i].length), QString::fromUtf8(expected[i].stretch)) << i;
    }
}

// On random texts of the characters the rules look at, every word lies in
// the text, in order and apart, and is its stretch without the marks.
TEST(WordSplitter, WordsAreTheirStretchesOnRandomText)
{
    const QString alphabet = QString::fromUtf8("aZé&%%\\'-@.:/ 1sLw\U0001D4B3").append(QChar(0xD800));
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = int(random() % 24);
        for (int i = 0; i < length; ++i)
            text += alphabet[qsizetype(random() % alphabet.size())];
        qsizetype end = 0;
        for (const SpellWord &word : SplitWords(text)) {
            ASSERT_GE(word.start, end) << text.toStdString();
            ASSERT_GT(word.length, 0);
            ASSERT_LE(word.start + word.length, text.size());
            QString stretch = text.mid(word.start, word.length);
            ASSERT_EQ(stretch.remove(u'&'), word.word) << text.toStdString();
            end = word.start + word.length;
        }
    }
}

TEST(WordSplitter, SuggestionKeepsTheAcceleratorMark)
{
    EXPECT_EQ(ReplaceWordKeepingMark(u"&Fiel", QStringLiteral("File")), u"&File");
    EXPECT_EQ(ReplaceWordKeepingMark(u"Fi&el", QStringLiteral("File")), u"Fi&le");
    EXPECT_EQ(ReplaceWordKeepingMark(u"Sav&ee", QStringLiteral("Save")), u"Sav&e");
    EXPECT_EQ(ReplaceWordKeepingMark(u"Abcd&e", QStringLiteral("Ab")), u"A&b");  // a shorter suggestion
    EXPECT_EQ(ReplaceWordKeepingMark(u"Fiel", QStringLiteral("File")), u"File");
}

} // namespace
