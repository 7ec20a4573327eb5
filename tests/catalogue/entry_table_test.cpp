#include "catalogue/catalogue_disposal.h"
#include "catalogue/entry_order_sort.h"
#include "catalogue/entry_table.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <map>

namespace {

struct CodeUnits {
    bool operator()(const QString &a, const QString &b) const
    {
        return std::lexicographical_compare(a.utf16(), a.utf16() + a.size(), b.utf16(), b.utf16() + b.size());
    }
};
using Reference = std::map<QString, QString, CodeUnits>;

StringEntry entryFor(const QString &original, const QString &translation)
{
    StringEntry entry;
    entry.original = original;
    entry.translation = translation;
    return entry;
}

// Texts that share long prefixes, differ in case, hold surrogates, NUL and
// characters above the sign bit of a 16-bit value.
QString randomOriginal(QRandomGenerator &random)
{
    static const char16_t pieces[][10] = {u"The ", u"the ", u"file", u"File", u"\u00e9", u"\xd83d\xde00", u"a",
                                         u"\u0000",  u"\uffff", u"z",    u" ",    u"The file"};
    QString text;
    for (int i = random.bounded(1, 6); i > 0; --i)
        text += QString::fromUtf16(pieces[random.bounded(int(std::size(pieces)))]);
    if (text.contains(QChar(0)) || random.bounded(3) == 0)
        text += QChar(char16_t(u'\u0000' + random.bounded(3)));
    return text;
}

void expectSameAsReference(const EntryTable &table, const Reference &reference)
{
    ASSERT_EQ(table.size(), reference.size());
    size_t position = 0;
    auto expected = reference.begin();
    for (const auto &[original, entry] : table) {
        ASSERT_EQ(original, expected->first) << position;
        EXPECT_EQ(entry.translation, expected->second);
        EXPECT_EQ(&table.entryAt(position), &entry);
        EXPECT_EQ(table.positionOf(original), qsizetype(position));
        ++expected;
        ++position;
    }
}

TEST(EntryTable, BehavesLikeAnOrderedMapUnderMixedInsertions)
{
    QRandomGenerator random(11);
    for (int round = 0; round < 30; ++round) {
        EntryTable table;
        Reference reference;
        for (int i = 0; i < 400; ++i) {
            const QString original = randomOriginal(random);
            const QString translation = QString::number(i);
            const bool fresh = reference.emplace(original, translation).second;
            // Bulk adds leave the order to be sorted; single adds keep it.
            const bool added = random.bounded(2) ? table.insertUnordered(entryFor(original, translation)).second
                                                 : table.insert(entryFor(original, translation)).second;
            ASSERT_EQ(added, fresh) << round << ' ' << i;
            if (random.bounded(50) == 0)
                expectSameAsReference(table, reference);  // builds the order mid-way
        }
        expectSameAsReference(table, reference);
        for (const auto &[original, translation] : reference) {
            ASSERT_TRUE(table.lookup(original));
            EXPECT_EQ(table.at(original).translation, translation);
            EXPECT_EQ(table.find(original)->second.translation, translation);
        }
        EXPECT_EQ(table.lookup(u"not there"), nullptr);
        EXPECT_EQ(table.find(QStringLiteral("not there")), table.end());
        EXPECT_THROW(table.at(QStringLiteral("not there")), std::out_of_range);
    }
}

// Additions taken back newest first (undo), mixed with new additions: the
// table stays equal to a map, every remaining original is found through the
// hash index (whose probe runs the removals close up) and the remaining
// entries keep their addresses, across chunk boundaries.
TEST(EntryTable, NewestEntriesTakenBackLeaveAnOrderedMapAndTheOthersInPlace)
{
    QRandomGenerator random(23);
    EntryTable table;
    Reference reference;
    std::vector<QString> added;  // originals in the order they were added
    std::map<QString, const StringEntry *, CodeUnits> addresses;
    for (int i = 0; i < 6000; ++i) {
        if (!added.empty() && random.bounded(3) == 0) {
            const int count = random.bounded(1, 40);
            for (int n = 0; n < count && !added.empty(); ++n) {
                EXPECT_FALSE(table.removeLast(QStringLiteral("not the newest")));
                ASSERT_TRUE(table.removeLast(added.back())) << i;
                reference.erase(added.back());
                addresses.erase(added.back());
                added.pop_back();
            }
        } else {
            const QString original = randomOriginal(random) + QString::number(random.bounded(4000));
            const auto [entry, fresh] = random.bounded(2) ? table.insert(entryFor(original, QString::number(i)))
                                                          : table.insertUnordered(entryFor(original, QString::number(i)));
            if (fresh) {
                reference.emplace(original, QString::number(i));
                addresses.emplace(original, entry);
                added.push_back(original);
            }
        }
        if (random.bounded(200) == 0)
            expectSameAsReference(table, reference);
    }
    expectSameAsReference(table, reference);
    for (const auto &[original, address] : addresses)
        ASSERT_EQ(table.lookup(original), address);
    while (!added.empty()) {
        ASSERT_TRUE(table.removeLast(added.back()));
        added.pop_back();
    }
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.begin(), table.end());
    EXPECT_FALSE(table.removeLast(u"x"));
}

TEST(EntryTable, ManyLookupsAtOnceFindWhatEachLookupFinds)
{
    QRandomGenerator random(31);
    EntryTable table;
    std::vector<QString> originals;
    for (int i = 0; i < 5000; ++i) {
        const QString original = randomOriginal(random) + QString::number(i % 3000);
        originals.push_back(original);  // some repeat
        if (random.bounded(3))
            table.insertUnordered(entryFor(original, QString()));
        originals.push_back(original + QStringLiteral(" absent"));
    }
    std::vector<QStringView> views(originals.begin(), originals.end());
    // Counts that end inside a group of the overlapped reads, and none.
    for (const size_t count : {size_t(0), size_t(1), size_t(15), size_t(17), views.size()}) {
        std::vector<const StringEntry *> found(count, reinterpret_cast<const StringEntry *>(1));
        table.lookupMany(views.data(), count, found.data());
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(found[i], table.lookup(views[i])) << originals[i].toStdString();
    }
    const EntryTable empty;
    const StringEntry *none = reinterpret_cast<const StringEntry *>(1);
    empty.lookupMany(views.data(), 1, &none);
    EXPECT_EQ(none, nullptr);
}

TEST(EntryTable, MapStyleEmplaceKeepsTheFirstEntryAndReturnsItsPlace)
{
    EntryTable table;
    table.emplace(QStringLiteral("b"), entryFor(QStringLiteral("b"), QStringLiteral("B")));
    const auto [place, added] = table.emplace(QStringLiteral("a"), entryFor(QStringLiteral("a"), QStringLiteral("A")));
    EXPECT_TRUE(added);
    EXPECT_EQ(place, table.begin());
    const auto again = table.emplace(QStringLiteral("b"), entryFor(QStringLiteral("b"), QStringLiteral("other")));
    EXPECT_FALSE(again.second);
    EXPECT_EQ(again.first->second.translation, u"B");
    EXPECT_EQ(std::next(table.begin())->first, u"b");
}

TEST(EntryTable, EntriesKeepTheirAddressesThroughGrowthCopiesAndMoves)
{
    EntryTable table;
    std::vector<const StringEntry *> addresses;
    for (int i = 0; i < 5000; ++i)
        addresses.push_back(table.insertUnordered(entryFor(QStringLiteral("o%1").arg(i), QString())).first);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(table.lookup(QStringLiteral("o%1").arg(i)), addresses[size_t(i)]);

    const EntryTable copy = table;  // a deep copy with its own entries
    EXPECT_NE(copy.lookup(u"o7"), addresses[7]);
    EXPECT_EQ(copy.lookup(u"o7")->original, u"o7");

    EntryTable moved = std::move(table);
    EXPECT_EQ(moved.lookup(u"o4999"), addresses[4999]);
    EXPECT_TRUE(table.empty());  // NOLINT: a moved-from table is empty and usable
    table.insert(entryFor(QStringLiteral("again"), QString()));
    EXPECT_EQ(table.size(), 1u);
}

// A sort in steps of random size gives what sortNumbers gives, for a part
// of the entries (the table stays unordered) and for all of them (the
// table takes the result as its order, which then equals the one it builds
// itself). Originals share long prefixes, so whole texts are compared too.
TEST(EntryTable, NumberSortInStepsEqualsTheSortInOneGo)
{
    QRandomGenerator random(29);
    EntryTable table, reference;
    for (int i = 0; i < 20000; ++i) {
        const QString original = QStringLiteral("Same prefix %1").arg(random.bounded(1000000)) + QChar(u'a' + i % 26);
        table.insertUnordered(entryFor(original, QString()));
        reference.insertUnordered(entryFor(original, QString()));
    }
    auto inSteps = [&](std::vector<std::uint32_t> numbers) {
        const bool empty = numbers.empty();
        EntryTable::NumberSort sort(table, std::move(numbers));
        int steps = 0;
        while (!sort.step(1 + random.bounded(500)))
            ++steps;
        EXPECT_TRUE(empty || steps > 10);
        return sort.take();
    };
    std::vector<std::uint32_t> some;
    for (std::uint32_t number = 0; number < table.size(); number += 1 + random.bounded(4))
        some.push_back(number);
    std::vector<std::uint32_t> expected = some;
    table.sortNumbers(expected);
    EXPECT_EQ(inSteps(some), expected);
    EXPECT_FALSE(table.isOrdered());

    std::vector<std::uint32_t> all(table.size());
    for (std::uint32_t number = 0; number < all.size(); ++number)
        all[number] = number;
    const std::vector<std::uint32_t> sorted = inSteps(all);
    ASSERT_TRUE(table.isOrdered());
    for (size_t position = 0; position < table.size(); ++position) {
        ASSERT_EQ(sorted[position], reference.numberAt(position));
        ASSERT_EQ(table.numberAt(position), sorted[position]);
        ASSERT_EQ(table.positionOf(table.byNumber(sorted[position]).original), qsizetype(position));
    }
    EXPECT_EQ(inSteps({}), std::vector<std::uint32_t>());
}

TEST(CatalogueDisposal, LargeCataloguesAreFreedAsideWithoutTakingSharedTextsAlong)
{
    CatalogueDisposal disposal;
    std::vector<CXMLStruct> closed(2);
    for (size_t i = 0; i < CatalogueDisposal::kAsideFrom; ++i)
        closed[i % 2].entries.insertUnordered(entryFor(QStringLiteral("text %1").arg(i), QStringLiteral("t%1").arg(i)));
    const QString kept = closed[1].entries.lookup(u"text 9")->translation;  // shares the entry's string
    disposal.dispose(std::move(closed));
    disposal.wait();
    EXPECT_EQ(kept, u"t9");  // still alive: reference-counted, not freed with the catalogue
}

} // namespace
