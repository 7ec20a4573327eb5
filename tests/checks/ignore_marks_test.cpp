// Dismissed warnings: the file beside the language file, how marks match,
// lapse and survive reordering, and the file's form.

#include "catalogue/catalogue_reading.h"
#include "check_fixture.h"
#include "checks/catalogue_findings.h"
#include "checks/ignore_marks.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using IgnoreFile = FolderTest;

// The warnings of a language file that no mark of `marks` dismisses, as
// "check: original".
QStringList undismissed(const QString &path, const IgnoreMarks &marks)
{
    const ReadCatalogue read = ReadCatalogueFile(path, CatalogueParts::Entries, 0);
    EXPECT_TRUE(read.ok) << read.errorText.toStdString();
    CatalogueFindings findings;
    findings.setChecks(builtInSet(QStringLiteral("DEU")));
    findings.setIgnoreMarks(std::make_shared<IgnoreMarks>(marks));
    findings.recount(read.catalogue.entries);
    QStringList shown;
    for (size_t number = 0; number < read.catalogue.entries.size(); ++number) {
        for (const Finding &f : findings.findingsOf(read.catalogue.entries.byNumber(number))) {
            if (!f.ignored)
                shown.append(f.checkId() + QStringLiteral(": ") + f.entry->original);
        }
    }
    shown.sort();
    return shown;
}

// Every warning of the file, as marks.
IgnoreMarks marksForEveryWarning(const QString &path)
{
    const ReadCatalogue read = ReadCatalogueFile(path, CatalogueParts::Entries, 0);
    IgnoreMarks marks;
    for (const Finding &f : builtInSet(QStringLiteral("DEU")).judgeAll(read.catalogue.entries))
        marks.add(IgnoreMarkFor(f));
    return marks;
}

const QList<QByteArray> kLines = {
    "<L from=\"Open the settings\" to=\"die Einstellungen öffnen\" key=\"IDS_A\"/>",
    "<L from=\"Copy 3 files\" to=\"5 Dateien kopieren\" key=\"IDS_B\"/>",
    "<L from=\"Options (advanced)\" to=\"Optionen (erweitert\" key=\"IDS_C\"/>",
};

TEST_F(IgnoreFile, AMarkLapsesWhenTheOriginalTheTranslationOrTheMessageChanges)
{
    const QString path = write("ViewResDEU.xml", languageFile("", kLines));
    const IgnoreMarks marks = marksForEveryWarning(path);
    ASSERT_EQ(marks.size(), 3);
    EXPECT_EQ(undismissed(path, marks), QStringList());

    // A new original with the same translation and the same warning.
    QList<QByteArray> changed = kLines;
    changed[0] = "<L from=\"Open the options\" to=\"die Einstellungen öffnen\" key=\"IDS_A\"/>";
    write("ViewResDEU.xml", languageFile("", changed));
    EXPECT_EQ(undismissed(path, marks), QStringList({"case: Open the options"}));

    // A new translation whose warning reads the same.
    changed = kLines;
    changed[1] = "<L from=\"Copy 3 files\" to=\"5 Dateien jetzt kopieren\" key=\"IDS_B\"/>";
    write("ViewResDEU.xml", languageFile("", changed));
    EXPECT_EQ(warningMessage(QStringLiteral("DEU"), QStringLiteral("numbers"), QStringLiteral("Copy 3 files"),
                             QStringLiteral("5 Dateien jetzt kopieren")),
              u"3 is missing from the translation; 5 is new");
    EXPECT_EQ(undismissed(path, marks), QStringList({"numbers: Copy 3 files"}));

    // The same texts with a warning that says something else now (a message
    // worded otherwise by another version).
    write("ViewResDEU.xml", languageFile("", kLines));
    IgnoreMarks older;
    for (IgnoreMark mark : marks.marks()) {
        if (mark.checkId == u"brackets")
            mark.message = QStringLiteral("The original has one \")\", the translation none");
        older.add(mark);
    }
    EXPECT_EQ(undismissed(path, older), QStringList({"brackets: Options (advanced)"}));
}

TEST_F(IgnoreFile, MarksSurviveAReorderingOfTheLanguageFileAndKeepOneOrder)
{
    const QString path = write("ViewResDEU.xml", languageFile("", kLines));
    const IgnoreMarks marks = marksForEveryWarning(path);
    write("ViewResDEU.xml", languageFile("", {kLines[2], "<L from=\"New\" to=\"Neu\"/>", kLines[0], kLines[1]}));
    EXPECT_EQ(undismissed(path, marks), QStringList());

    // Marks added in another order write the same file.
    IgnoreMarks reversed;
    std::vector<IgnoreMark> all = marks.marks();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        reversed.add(*it);
    EXPECT_EQ(reversed.toBytes(), marks.toBytes());
}

TEST_F(IgnoreFile, TheFileIsTextOneBlockPerMark)
{
    IgnoreMarks marks;
    IgnoreMark mark{QStringLiteral("end-punctuation"), QStringLiteral("Save changes?"),
                    QStringLiteral("Änderungen speichern"),
                    QStringLiteral("The original ends with \"?\", the translation without punctuation"),
                    QStringLiteral("IDS_SAVE")};
    EXPECT_TRUE(marks.add(mark));
    EXPECT_FALSE(marks.add(mark));
    const QByteArray bytes = marks.toBytes();
    EXPECT_TRUE(bytes.endsWith("\n[end-punctuation]\nkey: \"IDS_SAVE\"\noriginal: \"Save changes?\"\n"
                               "translation: \"Änderungen speichern\"\n"
                               "message: \"The original ends with \\\"?\\\", the translation without punctuation\"\n"))
        << bytes.toStdString();
    EXPECT_TRUE(bytes.startsWith("# "));

    // Texts of every kind read back as they were.
    const QString awkward[] = {
        QStringLiteral(" leading and trailing "), QStringLiteral("Line\\nTwo with \\ and \"quotes\""),
        QStringLiteral("Drucken\u200b\u00ad\ufeff\t\r\n"), QStringLiteral("ファイル(&F) «ok» 😀"), QString()};
    IgnoreMarks many;
    for (const QString &text : awkward)
        many.add({QStringLiteral("x-check"), text, text + u'!', QStringLiteral("m"), QString()});
    IgnoreMarks back;
    QString error;
    ASSERT_TRUE(back.parse(many.toBytes(), &error)) << error.toStdString();
    ASSERT_EQ(back.marks().size(), 5u);
    for (const IgnoreMark &m : many.marks())
        EXPECT_TRUE(std::find(back.marks().begin(), back.marks().end(), m) != back.marks().end()) << m.original.toStdString();
    // Invisible characters stay visible in the file.
    EXPECT_TRUE(many.toBytes().contains("Drucken\\u200b\\u00ad\\ufeff\\t\\r\\n")) << many.toBytes().toStdString();
    // Windows line ends read as well.
    IgnoreMarks crlf;
    ASSERT_TRUE(crlf.parse(QByteArray(many.toBytes()).replace("\n", "\r\n"), &error)) << error.toStdString();
    EXPECT_EQ(crlf.size(), 5);
}

TEST_F(IgnoreFile, AFileNotInTheFormIsRefusedWithItsLine)
{
    const struct {
        const char *text, *error;
    } cases[] = {
        {"original: \"x\"\n", "line 1: a mark starts with its check id in brackets, as in [end-punctuation]"},
        {"# note\n[Case]\n", "line 2: a check id in brackets expected, as in [end-punctuation]"},
        {"[case]\noriginal: x\n", "line 2: a text in double quotes expected"},
        {"[case]\noriginal: \"a\"b\"\n", "line 2: a double quote inside a text must be written \\\""},
        {"[case]\noriginal: \"\\q\"\n", "line 2: unknown escape \\q"},
        {"[case]\noriginal: \"\\u12\"\n", "line 2: \\u needs four hexadecimal digits"},
        {"[case]\noriginal: \"a\"\noriginal: \"b\"\n", "line 3: original given twice"},
        {"[case]\nowner: \"me\"\n", "line 2: unknown field owner"},
        {"[case]\noriginal: \"a\"\ntranslation: \"b\"\n\n", "line 4: the mark of line 1 has no message"},
        {"[case]\noriginal: \"a\"\n[urls]\n", "line 3: the mark of line 1 has no translation"},
    };
    for (const auto &c : cases) {
        IgnoreMarks marks;
        marks.add({QStringLiteral("case"), QStringLiteral("kept"), QStringLiteral("k"), QStringLiteral("m"), {}});
        QString error;
        EXPECT_FALSE(marks.parse(c.text, &error)) << c.text;
        EXPECT_EQ(error.toStdString(), std::string(c.error)) << c.text;
        EXPECT_EQ(marks.size(), 1) << c.text;  // nothing added
    }
    IgnoreMarks empty;
    QString error;
    EXPECT_TRUE(empty.parse("# only a comment\n\n", &error));
    EXPECT_TRUE(empty.read(folder.path("absent.rendaro-ignore"), &error));
    EXPECT_TRUE(empty.isEmpty());
}

TEST_F(IgnoreFile, AddingAndRemovingGoThroughTheSafeSave)
{
    const QString language = write("ViewResDEU.xml", languageFile("", kLines));
    const QString path = IgnoreMarks::filePathFor(language);
    EXPECT_EQ(path, language + ".rendaro-ignore");
    EXPECT_EQ(IgnoreMarks::filePathFor(folder.path("Lang/DEU/")), folder.path("Lang/DEU.rendaro-ignore"));
    EXPECT_EQ(IgnoreMarks::filePathsForFile(language), QStringList({path, folder.root() + ".rendaro-ignore"}));

    const IgnoreMark a{QStringLiteral("case"), QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("m"), {}};
    const IgnoreMark b{QStringLiteral("urls"), QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("n"), {}};
    QString error;
    ASSERT_TRUE(AddIgnoreMark(path, a, &error)) << error.toStdString();
    ASSERT_TRUE(AddIgnoreMark(path, b, &error));
    ASSERT_TRUE(AddIgnoreMark(path, a, &error));
    IgnoreMarks read;
    ASSERT_TRUE(read.read(path, &error));
    EXPECT_EQ(read.size(), 2);
    ASSERT_TRUE(RemoveIgnoreMark(path, a, &error));
    ASSERT_TRUE(RemoveIgnoreMark(path, a, &error));  // gone already: nothing to do
    IgnoreMarks left;
    ASSERT_TRUE(left.read(path, &error));
    EXPECT_EQ(left.marks(), std::vector<IgnoreMark>({b}));
    // The last mark takes the file with it.
    ASSERT_TRUE(RemoveIgnoreMark(path, b, &error));
    EXPECT_FALSE(QFile::exists(path));

    // A target that is no regular file is refused and left alone; a file
    // that is not an ignore file is not overwritten.
    QDir(folder.root()).mkdir("taken.rendaro-ignore");
    EXPECT_FALSE(AddIgnoreMark(folder.path("taken.rendaro-ignore"), a, &error));
    EXPECT_FALSE(error.isEmpty());
    const QString broken = write("broken.rendaro-ignore", "not a mark\n");
    EXPECT_FALSE(AddIgnoreMark(broken, a, &error));
    EXPECT_EQ(error, u"line 1: a mark starts with its check id in brackets, as in [end-punctuation]");
    EXPECT_EQ(readBytes(broken), "not a mark\n");
}

TEST_F(IgnoreFile, ErrorsAreNeverDismissed)
{
    StringEntry entry;
    entry.original = QStringLiteral("Hello %s");
    entry.translation = QStringLiteral("Hallo");
    std::vector<Finding> found;
    builtInSet(QStringLiteral("DEU")).judgeEntry(entry, found);
    ASSERT_EQ(found.size(), 1u);
    ASSERT_EQ(found[0].severity, Severity::Error);
    IgnoreMarks marks;
    marks.add(IgnoreMarkFor(found[0]));
    EXPECT_FALSE(marks.matches(found[0]));
    found[0].severity = Severity::Warning;
    EXPECT_TRUE(marks.matches(found[0]));
}

} // namespace
