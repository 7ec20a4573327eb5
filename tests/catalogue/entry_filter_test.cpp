#include "catalogue/catalogue_counts.h"
#include "catalogue/document.h"
#include "catalogue/entry_filter.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

namespace {

StringEntry makeEntry(const QString &original, const QString &translation, int translatable = 1,
                      const QStringList &keys = {})
{
    StringEntry entry;
    entry.original = original;
    entry.translation = translation;
    entry.translatable = translatable;
    entry.keys = keys;
    return entry;
}

QStringList originals(const EntryMap &entries, const std::vector<std::uint32_t> &numbers)
{
    QStringList texts;
    for (std::uint32_t number : numbers)
        texts << entries.byNumber(number).original;
    return texts;
}

// Entries added out of order, so that the table is not ordered until asked.
EntryMap sampleEntries()
{
    EntryMap entries;
    entries.insertUnordered(makeEntry("Save", "Sichern", 1, {"IDS_SAVE"}));
    entries.insertUnordered(makeEntry("Open file", "Open file", 1, {"IDS_OPEN", "IDS_OPEN2"}));
    entries.insertUnordered(makeEntry("Print %s", "Drucken", 1, {"IDS_PRINT"}));
    entries.insertUnordered(makeEntry("Quit", "Quit", 0, {"IDS_QUIT"}));
    entries.insertUnordered(makeEntry("Close", "", 1));
    entries.insertUnordered(makeEntry("Open folder", "Ordner öffnen", 1, {"IDS_DIR"}));
    return entries;
}

TEST(EntryFilter, TextStatesAndHideTranslatedTogether)
{
    const EntryMap entries = sampleEntries();
    CatalogueCounts counts;
    counts.recount(entries, 2.0f, CodeTypeCpp);
    EntrySet changed{entries.lookup(QStringLiteral("Save"))};
    const EntryMarks marks{&counts, &changed, nullptr};
    auto shown = [&](const EntryFilter &filter) { return originals(entries, FilterEntries(entries, filter, marks)); };

    EntryFilter filter;
    EXPECT_TRUE(filter.isEmpty());
    EXPECT_EQ(shown(filter), QStringList({"Close", "Open file", "Open folder", "Print %s", "Quit", "Save"}));
    filter.hideTranslated = true;  // an empty translation is still to be translated
    EXPECT_EQ(shown(filter), QStringList({"Close", "Open file", "Quit"}));
    filter.text = QStringLiteral("OPEN");
    EXPECT_EQ(shown(filter), QStringList({"Open file"}));
    filter.hideTranslated = false;
    EXPECT_EQ(shown(filter), QStringList({"Open file", "Open folder"}));
    filter.caseSensitivity = Qt::CaseSensitive;
    EXPECT_EQ(shown(filter), QStringList());
    filter.text = QStringLiteral("Öffnen");  // in a translation, folded only without Match Case
    EXPECT_EQ(shown(filter), QStringList());
    filter.caseSensitivity = Qt::CaseInsensitive;
    EXPECT_EQ(shown(filter), QStringList({"Open folder"}));

    // Keys only with the toggle; any key of the entry.
    filter.text = QStringLiteral("ids_open2");
    EXPECT_EQ(shown(filter), QStringList());
    filter.matchKeys = true;
    EXPECT_EQ(shown(filter), QStringList({"Open file"}));

    // A reference text shown in place of the original is looked in too.
    EntryMap reference;
    reference.insert(makeEntry("Quit", "Beenden"));
    filter.matchKeys = false;
    filter.text = QStringLiteral("beenden");
    EXPECT_EQ(shown(filter), QStringList());
    filter.reference = &reference;
    EXPECT_EQ(shown(filter), QStringList({"Quit"}));

    filter = EntryFilter();
    filter.state = EntryFilterState::Untranslated;  // as the counts count it: translatable, equal
    EXPECT_EQ(shown(filter), QStringList({"Open file"}));
    filter.state = EntryFilterState::Problems;  // placeholder, and the empty translation
    EXPECT_EQ(shown(filter), QStringList({"Close", "Print %s"}));
    filter.state = EntryFilterState::NotTranslatable;
    EXPECT_EQ(shown(filter), QStringList({"Quit"}));
    filter.state = EntryFilterState::Changed;
    EXPECT_EQ(shown(filter), QStringList({"Save"}));
    filter.state = EntryFilterState::Misspelled;  // no spelling marks: nothing
    EXPECT_EQ(shown(filter), QStringList());
    filter.state = EntryFilterState::Problems;
    filter.hideTranslated = true;
    EXPECT_EQ(shown(filter), QStringList({"Close"}));
    EXPECT_FALSE(filter.isEmpty());
}

TEST(EntryFilter, OrderedAndUnorderedTablesGiveTheSameRows)
{
    EntryMap entries;
    std::mt19937 random(3);
    for (int i = 0; i < 2000; ++i) {
        const QString original = QStringLiteral("s%1 %2").arg(random() % 100000).arg(QLatin1String(i % 7 ? "x" : "Y"));
        entries.insertUnordered(makeEntry(original, i % 3 ? original : original + QStringLiteral("!")));
    }
    EntryFilter filter;
    filter.text = QStringLiteral("y");
    filter.hideTranslated = true;
    const std::vector<std::uint32_t> unordered = FilterEntries(entries, filter, {});
    EXPECT_FALSE(entries.isOrdered());  // only the rows that pass were sorted
    ASSERT_FALSE(unordered.empty());
    entries.numberAt(0);
    ASSERT_TRUE(entries.isOrdered());
    EXPECT_EQ(FilterEntries(entries, filter, {}), unordered);
    for (size_t i = 1; i < unordered.size(); ++i)
        EXPECT_TRUE(OriginalLess(entries.byNumber(unordered[i - 1]).original, entries.byNumber(unordered[i]).original));
}

// Whenever a filter says it narrows another, the rows of the other filtered
// again give exactly the rows of a full pass; random filters over random
// entries.
TEST(EntryFilter, NarrowingFromAWiderFilterEqualsAFullPass)
{
    const char *const words[] = {"", "a", "ab", "AB", "b", "abc", "x", "bA"};
    EntryMap entries;
    std::mt19937 random(11);
    auto word = [&] {
        QString text;
        for (int i = 0, n = int(random() % 6); i < n; ++i)
            text += QChar(u"aAbBcx "[random() % 7]);
        return text;
    };
    for (int i = 0; i < 400; ++i) {
        const QString original = word() + QString::number(i);
        entries.insertUnordered(makeEntry(original, random() % 3 ? original : word(), int(random() % 5 != 0),
                                          {word(), word()}));
    }
    CatalogueCounts counts;
    counts.recount(entries, 2.0f, CodeTypeCpp);
    EntrySet changed;
    for (size_t number = 0; number < entries.size(); number += 3)
        changed.insert(&entries.byNumber(number));
    const EntryMarks marks{&counts, &changed, nullptr};
    auto randomFilter = [&] {
        EntryFilter filter;
        filter.text = QString::fromLatin1(words[random() % std::size(words)]);
        filter.caseSensitivity = random() % 2 ? Qt::CaseSensitive : Qt::CaseInsensitive;
        filter.matchKeys = random() % 2;
        filter.hideTranslated = random() % 2;
        filter.state = EntryFilterState(random() % 6);
        return filter;
    };
    int narrowings = 0;
    for (int round = 0; round < 3000; ++round) {
        const EntryFilter wider = randomFilter(), narrower = randomFilter();
        if (!narrower.narrows(wider))
            continue;
        ++narrowings;
        const std::vector<std::uint32_t> fromWider =
            FilterEntryNumbers(entries, FilterEntries(entries, wider, marks), narrower, marks);
        ASSERT_EQ(fromWider, FilterEntries(entries, narrower, marks))
            << narrower.text.toStdString() << " after " << wider.text.toStdString();
    }
    EXPECT_GT(narrowings, 100);
    // Every filter narrows itself and the empty one.
    for (int round = 0; round < 50; ++round) {
        const EntryFilter filter = randomFilter();
        EXPECT_TRUE(filter.narrows(filter));
        EXPECT_TRUE(filter.narrows(EntryFilter()));
    }
}

// Without Match Case a text matches as QString::contains finds it case
// insensitively, non-ASCII letters and signs that fold to ASCII included.
TEST(EntryFilter, TextWithoutMatchCaseAsQtFindsIt)
{
    const QString alphabet = QStringLiteral("aAbBkK\u00f6\u00d6\u00df\u1e9e\u212a\u017fsS ");
    std::mt19937 random(5);
    auto text = [&](int longest) {
        QString result;
        for (int i = 0, n = int(random() % unsigned(longest + 1)); i < n; ++i)
            result += alphabet[qsizetype(random() % unsigned(alphabet.size()))];
        return result;
    };
    for (int round = 0; round < 5000; ++round) {
        const StringEntry entry = makeEntry(text(12), text(12));
        EntryFilter filter;
        filter.text = text(3);
        const bool expected = entry.original.contains(filter.text, Qt::CaseInsensitive)
                              || entry.translation.contains(filter.text, Qt::CaseInsensitive);
        ASSERT_EQ(filter.matches(entry, {}), expected)
            << filter.text.toStdString() << " in " << entry.original.toStdString() << " / "
            << entry.translation.toStdString();
    }
}

TEST(EntryFilter, NumbersTheTableNoLongerHoldsAreDropped)
{
    EntryMap entries = sampleEntries();
    EntryFilter filter;
    const std::vector<std::uint32_t> all = FilterEntries(entries, filter, {});
    entries.insertUnordered(makeEntry("Zoom", "Zoom"));
    std::vector<std::uint32_t> rows = all;
    rows.push_back(std::uint32_t(entries.size() - 1));
    ASSERT_TRUE(entries.removeLast(QStringLiteral("Zoom")));
    EXPECT_EQ(FilterEntryNumbers(entries, rows, filter, {}), all);
}

// A pass in small steps of random size gives what a plain look at every
// entry (or candidate) in order gives, over unordered and ordered tables,
// with candidates in an order of their own and numbers the table lacks.
TEST(EntryFilterPass, StepsGiveWhatAPlainLookGives)
{
    std::mt19937 random(23);
    EntryMap entries;
    for (int i = 0; i < 3000; ++i) {
        const QString original = QStringLiteral("t%1 %2").arg(random() % 100000).arg(QLatin1String(i % 5 ? "ab" : "Xy"));
        entries.insertUnordered(makeEntry(original, i % 3 ? original : QStringLiteral("AB"), int(i % 11 != 0),
                                          {QStringLiteral("IDS_%1").arg(i)}));
    }
    CatalogueCounts counts;
    counts.recount(entries, 2.0f, CodeTypeCpp);
    const EntryMarks marks{&counts, nullptr, nullptr};
    auto plain = [&](const EntryFilter &filter, const std::vector<std::uint32_t> *candidates) {
        std::vector<std::uint32_t> numbers;
        if (candidates) {
            for (std::uint32_t number : *candidates) {
                if (number < entries.size() && filter.matches(entries.byNumber(number), marks))
                    numbers.push_back(number);
            }
            return numbers;
        }
        // In the originals' order, without asking the table (which would
        // order it).
        for (std::uint32_t number = 0; number < entries.size(); ++number) {
            if (filter.matches(entries.byNumber(number), marks))
                numbers.push_back(number);
        }
        std::sort(numbers.begin(), numbers.end(), [&](std::uint32_t a, std::uint32_t b) {
            return OriginalLess(entries.byNumber(a).original, entries.byNumber(b).original);
        });
        return numbers;
    };
    auto stepped = [&](EntryFilterPass &pass) {
        int steps = 0;
        while (!pass.step(1 + random() % 50))
            ++steps;
        EXPECT_GT(steps, 10);
        return pass.takeNumbers();
    };
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t number = 0; number < entries.size() + 20; number += 1 + random() % 3)
        candidates.push_back(number);
    std::shuffle(candidates.begin(), candidates.end(), random);
    const QString texts[] = {"", "ab", "XY", "IDS_12"};
    for (bool ordered : {false, true}) {
        if (ordered)
            entries.numberAt(0);
        ASSERT_EQ(entries.isOrdered(), ordered);
        for (const QString &text : texts) {
            for (bool hide : {false, true}) {
                EntryFilter filter;
                filter.text = text;
                filter.matchKeys = text.startsWith(QLatin1String("IDS"));
                filter.hideTranslated = hide;
                filter.state = text.isEmpty() && !hide ? EntryFilterState::Problems : EntryFilterState::All;
                EntryFilterPass all(entries, filter, marks);
                const std::vector<std::uint32_t> expected = plain(filter, nullptr);
                ASSERT_EQ(stepped(all), expected) << text.toStdString();
                ASSERT_EQ(FilterEntries(entries, filter, marks), expected);
                EntryFilterPass some(entries, candidates, filter, marks);
                ASSERT_EQ(stepped(some), plain(filter, &candidates)) << text.toStdString();
                ASSERT_EQ(entries.isOrdered(), ordered);
            }
        }
    }
}

} // namespace
