// The fit and accelerator-clash checks over the dialog-layout test DLL
// (tests/resparse/fixtures/dialogs.rc), measured with the fake font.

#include "checks/check_registry.h"
#include "dialogfit/program_checks.h"
#include "fake_measurer.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

const QString kLayoutFixtures = QStringLiteral(RENDARO_TEST_DATA "/../resparse/fixtures");

class ProgramChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTextMeasurerMaker([] { return std::make_shared<FakeMeasurer>(); });
    }
    void TearDown() override { SetTextMeasurerMaker({}); }

    CheckSet makeSet(QStringList *problems, bool header = true)
    {
        CheckTarget target;
        target.options.insert(QStringLiteral("program"), kLayoutFixtures + "/dialogs64.dll");
        if (header)
            target.options.insert(QStringLiteral("header"), kLayoutFixtures + "/dialogs.h");
        return CheckRegistry::standard().makeSet(target, problems);
    }

    static QStringList messages(const CheckSet &set, const QString &check, const QString &original,
                                const QString &translation)
    {
        StringEntry entry;
        entry.original = original;
        entry.translation = translation;
        std::vector<Finding> found;
        set.judgeEntry(entry, found);
        QStringList out;
        for (const Finding &f : found) {
            if (f.checkId() == check)
                out.append(f.message);
        }
        return out;
    }

    static void add(EntryMap &entries, const QString &original, const QString &translation)
    {
        StringEntry entry;
        entry.original = original;
        entry.translation = translation;
        entries.insert(std::move(entry));
    }
};

TEST_F(ProgramChecks, FitNamesTheNeedTheRoomAndEachControlShowingTheString)
{
    QStringList problems;
    const CheckSet set = makeSet(&problems);
    // The dialog whose face is missing is measured in another and says so;
    // the fake engine substitutes nothing.
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();

    // "&Delete all" is a 50-unit button in IDD_OPTIONS (69 px of text at
    // 96 dpi: 75 less 3 a side) and a 60-unit one in IDD_CLASSIC (84 px). Twelve characters
    // need 72 px: too wide for the first only; the file's original may lack
    // the mark.
    for (const QString &original : {QStringLiteral("Delete all"), QStringLiteral("&Delete all")}) {
        EXPECT_EQ(messages(set, "fit", original, QString(12, u'x')),
                  QStringList{"needs 72 px, \"Delete all\" (IDC_DELETE_ALL in IDD_OPTIONS) has 69 px at 96 dpi"});
    }
    EXPECT_TRUE(messages(set, "fit", "Delete all", "&" + QString(11, u'x')).isEmpty());  // 66 px
    // Fifteen characters fail both.
    EXPECT_EQ(messages(set, "fit", "Delete all", QString(15, u'x')).size(), 2);
    // A multi-line button: "Apply to all files", 50 x 20 units, two lines of 13 px.
    EXPECT_TRUE(messages(set, "fit", "Apply to all files", "xxxx xxxx xxxx xxxx").isEmpty());
    EXPECT_EQ(messages(set, "fit", "Apply to all files", "xxxx xxxx xxxx xxxx xxxx xxxx"),
              QStringList{"needs 3 lines, \"Apply to all files\" (IDC_APPLY_ALL in IDD_OPTIONS) has 2 lines at "
                          "96 dpi"});
    // The unnamed static is named by its number; texts no control shows and
    // controls without our text (the edit field) are not judged.
    EXPECT_EQ(messages(set, "fit", "Name:", QString(30, u'x')),
              QStringList{"needs 180 px, \"Name:\" (-1 in IDD_OPTIONS) has 45 px at 96 dpi"});
    EXPECT_TRUE(messages(set, "fit", "Nowhere", QString(300, u'x')).isEmpty());

    // Without the header, numbers.
    const CheckSet numbered = makeSet(&problems, false);
    EXPECT_EQ(messages(numbered, "fit", "Delete all", QString(12, u'x')),
              QStringList{"needs 72 px, \"Delete all\" (1001 in 101) has 69 px at 96 dpi"});
}

TEST_F(ProgramChecks, AcceleratorClashesWithinOnePopupOrDialogOnly)
{
    QStringList problems;
    const CheckSet set = makeSet(&problems);
    EntryMap entries;
    // File > Save (S) and Save As (A) both take S in German: a clash.
    add(entries, "Save\tCtrl+S", "&Speichern\tStrg+S");
    add(entries, "Save &As...", "&Speichern unter...");
    add(entries, "Exit", "&Beenden");
    // Edit > Copy takes S too, but in another popup.
    add(entries, "Copy", "&Schreiben");
    // In IDD_CLASSIC, Save and Show hidden files share S in the program
    // already: no clash there. In IDD_OPTIONS Show hidden files (S) and
    // Search (R) now both take V.
    add(entries, "Save", "&Sichern");
    add(entries, "Show hidden files", "&Versteckte anzeigen");
    add(entries, "Search", "&Vorsuchen");
    // A translation without a mark clashes with nothing.
    add(entries, "Small", "Klein");
    add(entries, "Large", "&Klein");

    std::vector<Finding> found;
    set.judgeCatalogue(entries, found);
    QStringList clashes;
    for (const Finding &f : found) {
        if (f.checkId() == "accelerator-clash")
            clashes.append(f.entry->original + " | " + f.message);
    }
    clashes.sort();
    QStringList expected({"Save &As... | accelerator S is also used by \"&Speichern\tStrg+S\" (\"Save\tCtrl+S\", "
                           "ID_FILE_SAVE in menu IDR_MAIN)",
                           "Save\tCtrl+S | accelerator S is also used by \"&Speichern unter...\" (\"Save &As...\", "
                           "ID_FILE_SAVE_AS in menu IDR_MAIN)",
                           "Search | accelerator V is also used by \"&Versteckte anzeigen\" (\"Show hidden files\", "
                           "IDC_SHOW_HIDDEN in IDD_OPTIONS)",
                           "Show hidden files | accelerator V is also used by \"&Vorsuchen\" (\"Search\", "
                           "IDC_SEARCH in IDD_OPTIONS)"});
    expected.sort();
    EXPECT_EQ(clashes, expected);

    // After an edit, the entries shown beside the changed one are judged
    // again, and only they.
    entries.lookup(u"Search")->translation = QStringLiteral("Suc&hen");
    std::vector<const StringEntry *> judged;
    found.clear();
    const CatalogueCheck *clash = nullptr;
    for (const CatalogueCheck *check : set.catalogueChecks()) {
        if (check->id() == "accelerator-clash")
            clash = check;
    }
    ASSERT_TRUE(clash);
    clash->judgeAround(entries, *entries.lookup(u"Search"), CheckContext(), judged, found);
    QStringList judgedOriginals;
    for (const StringEntry *entry : judged)
        judgedOriginals.append(entry->original);
    EXPECT_TRUE(judgedOriginals.contains("Show hidden files"));
    EXPECT_TRUE(judgedOriginals.contains("Search"));
    EXPECT_FALSE(judgedOriginals.contains("Exit"));
    for (const Finding &f : found)
        EXPECT_NE(f.checkId(), "accelerator-clash") << f.message.toStdString();
}

TEST_F(ProgramChecks, AProgramThatCannotBeReadIsNamedAndTheOtherChecksRun)
{
    CheckTarget target;
    target.options.insert(QStringLiteral("program"), kLayoutFixtures + "/no-such.dll");
    QStringList problems;
    const CheckSet set = CheckRegistry::standard().makeSet(target, &problems);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("no-such.dll")) << problems[0].toStdString();
    EXPECT_TRUE(messages(set, "fit", "Delete all", QString(40, u'x')).isEmpty());
    EXPECT_FALSE(messages(set, "end-punctuation", "Delete all.", "Alles löschen").isEmpty());

    // Not a program at all.
    target.options.insert(QStringLiteral("program"), kLayoutFixtures + "/dialogs.h");
    problems.clear();
    CheckRegistry::standard().makeSet(target, &problems);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("not a Windows executable"));
}

} // namespace
