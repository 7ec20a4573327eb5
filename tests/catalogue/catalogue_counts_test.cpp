#include "catalogue/catalogue_counts.h"
#include "catalogue/document.h"
#include "checks/entry_checks.h"
#include "catalogue/entry_edits.h"
#include "catalogue/entry_navigation.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Originals with placeholders and escapes, and translations that pass or
// fail each check against them.
const char *const kOriginals[] = {"Open", "Hello %s", "Line\\nTwo", "%d of %s", "Save & Exit", "%1 files", "OK"};
const char *const kTranslations[] = {"", "Offen", "Hallo %s", "Hallo", "Zeile\\nZwei", "Zeile", "%s von %d",
                                     "%d von %s", "Speichern & Beenden und noch viel mehr", "%1 Dateien", "Gut"};

void expectSameAsFullPass(const CatalogueCounts &counts, const CXMLStruct &catalogue)
{
    CatalogueCounts fresh;
    fresh.recount(catalogue);
    EXPECT_EQ(counts.strings(), fresh.strings());
    EXPECT_EQ(counts.untranslated(), fresh.untranslated());
    EXPECT_EQ(counts.problems(), fresh.problems());
    for (const auto &item : catalogue.entries)
        EXPECT_EQ(counts.hasProblem(item.second), fresh.hasProblem(item.second)) << item.first.toStdString();
}

TEST(CatalogueCounts, CountsAfterRandomEditsEqualAFullRecount)
{
    CRendaroDoc document;
    document.AddEntry(-1, "seed", "seed", 1);
    const int id = document.currentCatalogueId();
    CXMLStruct &catalogue = *document.findCatalogue(id);
    std::mt19937 random(7);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    for (int i = 0; i < 300; ++i) {
        const QString original = QString::fromUtf8(kOriginals[pick(7)]) + QString::number(i % 97);
        document.AddEntry(id, original, pick(2) ? original : QString::fromUtf8(kTranslations[pick(11)]), pick(10) ? 1 : 0);
    }
    CatalogueCounts counts;
    counts.recount(catalogue);
    for (int step = 0; step < 2000; ++step) {
        const int what = pick(20);
        if (what == 0) {
            // A new string, as a paste adds it.
            const QString original = QStringLiteral("new %1 %s").arg(step);
            document.AddEntry(id, original, original, 1);
            counts.entryAdded(*catalogue.entries.lookup(original));
        } else if (what == 1) {
            // New settings: a full pass.
            catalogue.lengthRatio = pick(2) ? 1.0f : 2.5f;
            catalogue.codeType = pick(2);
            counts.recount(catalogue);
        } else {
            // An edit as the editor makes it: the old state comes back from
            // the change.
            const StringEntry &entry = catalogue.entries.entryAt(size_t(pick(int(catalogue.entries.size()))));
            const QString text = pick(4) == 0 ? entry.original : QString::fromUtf8(kTranslations[pick(11)]);
            counts.entryChanged(entry, SetEntryTranslation(document, id, entry.original, text, pick(8) ? 1 : 0));
        }
        if (step % 50 == 0)
            expectSameAsFullPass(counts, catalogue);
    }
    expectSameAsFullPass(counts, catalogue);
    EXPECT_GT(counts.untranslated(), 0);
    EXPECT_GT(counts.problems(), 0);
}

// EntryHasProblem takes short cuts (equal texts, equal placeholder
// sequences); on random pairs it must agree with the full checks.
TEST(CatalogueCounts, QuickProblemTestAgreesWithTheFullChecks)
{
    const QStringList pieces = {"a", "Text ", "%", "%s", "%d", "%-5s", "%1", "%2", "%12", "\\n", "\\r", "\\", "%%"};
    std::mt19937 random(7);
    auto text = [&] {
        QString out;
        for (int n = int(random() % 6); n > 0; --n)
            out += pieces[int(random() % pieces.size())];
        return out;
    };
    int withProblem = 0;
    for (int i = 0; i < 20000; ++i) {
        const QString original = text();
        const QString translation = random() % 4 == 0 ? original : text();
        for (int codeType : {CodeTypeCpp, CodeTypeQt}) {
            const bool expected = !CheckEntry(original, translation, 3.0f, codeType).empty();
            ASSERT_EQ(EntryHasProblem(original, translation, 3.0f, codeType), expected)
                << qPrintable(original) << " | " << qPrintable(translation) << " | " << codeType;
            withProblem += expected;
        }
    }
    EXPECT_GT(withProblem, 1000);  // the pairs reach the checks, not only the short cuts
}

TEST(CatalogueCounts, CountsStringsUntranslatedAndEachKindOfProblem)
{
    CRendaroDoc document;
    document.AddEntry(-1, "Open", "Open", 1);       // untranslated
    const int id = document.currentCatalogueId();
    document.AddEntry(id, "Keep", "Keep", 0);       // not to be translated: not untranslated
    document.AddEntry(id, "Hello %s", "Hallo", 1);  // placeholder
    document.AddEntry(id, "A\\nB", "A B", 1);       // escape
    document.AddEntry(id, "OK", "Sehr gut", 1);     // length (ratio 2)
    document.AddEntry(id, "Name", "", 1);           // empty
    document.AddEntry(id, "Fine", "Gut", 1);
    CatalogueCounts counts;
    counts.recount(*document.findCatalogue(id));
    EXPECT_EQ(counts.statusText(), u"7 strings, 1 untranslated, 4 problems");

    StringEntry &hello = *document.findCatalogue(id)->entries.lookup(QStringLiteral("Hello %s"));
    document.SetTranslation(id, hello.original, "Hallo %s", 1);
    counts.entryChanged(hello, "Hallo", 1);
    StringEntry &open = *document.findCatalogue(id)->entries.lookup(QStringLiteral("Open"));
    document.SetTranslation(id, open.original, "Offen", 1);
    counts.entryChanged(open, "Open", 1);
    EXPECT_EQ(counts.statusText(), u"7 strings, 0 untranslated, 3 problems");
    EXPECT_FALSE(counts.hasProblem(hello));

    // The checks the counts use report what `check` reports.
    const std::vector<EntryProblem> problems = CheckEntry("Lines\\nTwo", "Zeilen und noch viel mehr Text", 2.0f, 0);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].check, EntryCheck::Escape);
    EXPECT_EQ(problems[1].check, EntryCheck::Length);
    EXPECT_TRUE(EntryHasProblem("%1 files", "%1 %2 Dateien", 2.0f, CodeTypeQt));
    EXPECT_FALSE(EntryHasProblem("%s files", "Dateien", 2.0f, CodeTypeQt));
    // The length limit shown while editing agrees with the length check.
    for (float ratio : {1.0f, 1.5f, 2.0f, 2.3f, 10.0f}) {
        for (const char *original : {"", "OK", "abc", "Seventeen letters", "A much longer original text here"}) {
            const QString text = QString::fromUtf8(original);
            const qsizetype max = MaxTranslationLength(text, ratio);
            EXPECT_FALSE(IsTooLong(text, QString(max, u'x'), ratio)) << original << ' ' << ratio;
            EXPECT_TRUE(IsTooLong(text, QString(max + 1, u'x'), ratio)) << original << ' ' << ratio;
        }
    }
    EXPECT_EQ(MaxTranslationLength("abc", 1.5f), 4);
    CatalogueCounts one;
    one.recount(EntryMap(), 2.0f, 0);
    EXPECT_EQ(one.statusText(), u"0 strings, 0 untranslated, 0 problems");
}

class Navigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Rows: 0 translated, 1 untranslated, 2 problem, 3 translated, 4 untranslated, 5 not translatable.
        const char *rows[][2] = {{"A", "Ah"}, {"B", "B"}, {"C %s", "Ce"}, {"D", "De"}, {"E", "E"}, {"F", "F"}};
        for (auto &row : rows) {
            StringEntry entry;
            entry.original = QString::fromUtf8(row[0]);
            entry.translation = QString::fromUtf8(row[1]);
            entries.emplace(entry.original, std::move(entry));
        }
        entries.at("F").translatable = 0;
        for (const char *original : {"A", "B", "C %s", "D", "E", "F"})
            candidates.push_back(entries.lookup(QString::fromUtf8(original)));
        counts.recount(entries, 2.0f, CodeTypeCpp);
    }
    EntryMap entries;
    std::vector<const StringEntry *> candidates;
    CatalogueCounts counts;
};

TEST_F(Navigation, NextAndPreviousUntranslatedWrapAround)
{
    using D = SearchDirection;
    auto at = [](EntrySearchResult r) { return std::make_pair(r.position, r.wrapped); };
    EXPECT_EQ(at(FindUntranslated(candidates, 1, D::Forward)), std::make_pair(qsizetype(4), false));
    EXPECT_EQ(at(FindUntranslated(candidates, 4, D::Forward)), std::make_pair(qsizetype(1), true));
    EXPECT_EQ(at(FindUntranslated(candidates, 5, D::Forward)), std::make_pair(qsizetype(1), true));
    EXPECT_EQ(at(FindUntranslated(candidates, 4, D::Backward)), std::make_pair(qsizetype(1), false));
    EXPECT_EQ(at(FindUntranslated(candidates, 0, D::Backward)), std::make_pair(qsizetype(4), true));
    // No selection: from the first row forward, from the last backward, no wrap.
    EXPECT_EQ(at(FindUntranslated(candidates, -1, D::Forward)), std::make_pair(qsizetype(1), false));
    EXPECT_EQ(at(FindUntranslated(candidates, -1, D::Backward)), std::make_pair(qsizetype(4), false));
    // Rows hidden by a filter are not candidates; the only match is the start itself.
    const std::vector<const StringEntry *> filtered = {candidates[0], candidates[1], candidates[3]};
    EXPECT_EQ(at(FindUntranslated(filtered, 1, D::Forward)), std::make_pair(qsizetype(1), true));
    EXPECT_EQ(FindUntranslated({candidates[0], nullptr}, 0, D::Forward).position, -1);
    EXPECT_EQ(FindUntranslated({}, -1, D::Forward).position, -1);
}

TEST_F(Navigation, NextProblemFollowsTheCounts)
{
    EXPECT_EQ(FindProblem(candidates, 3, SearchDirection::Forward, counts).position, 2);
    EXPECT_TRUE(FindProblem(candidates, 3, SearchDirection::Forward, counts).wrapped);
    StringEntry &c = entries.at("C %s");
    c.translation = QStringLiteral("Ce %s");
    counts.entryChanged(c, "Ce", 1);
    EXPECT_EQ(FindProblem(candidates, 3, SearchDirection::Forward, counts).position, -1);
}

} // namespace
