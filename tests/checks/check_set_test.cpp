// The registry and the sets built from it: the built-in checks, checks made
// by factories with data of their own (one judging single entries, one
// judging groups of entries), which run and which warn, and the findings of
// a catalogue kept up to date edit by edit.

#include "catalogue/catalogue_counts.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "check_fixture.h"
#include "checks/check_share.h"
#include "checks/check_switches.h"
#include "checks/entry_checks.h"

#include <QHash>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <random>

namespace {

TEST(CheckRegistry, ListsTheBuiltInChecksErrorsFirst)
{
    const std::vector<CheckInfo> checks = CheckRegistry().checks();
    QStringList ids;
    for (const CheckInfo &info : checks) {
        ids.append(info.id);
        EXPECT_FALSE(info.name.isEmpty()) << info.id.toStdString();
        EXPECT_FALSE(info.rule.isEmpty()) << info.id.toStdString();
    }
    EXPECT_EQ(ids.join(u' ').toStdString(), "placeholders escapes length empty accelerator end-punctuation whitespace "
                                            "double-space invisible numbers doubled-word urls brackets case");
    for (int i = 0; i < int(checks.size()); ++i)
        EXPECT_EQ(checks[size_t(i)].severity, i < 4 ? Severity::Error : Severity::Warning) << i;
    EXPECT_EQ(CheckRegistry().find(u"numbers")->name, u"Numbers");
    EXPECT_EQ(CheckRegistry().find(u"spelling"), nullptr);
}

// The save-time checks through a set report what CheckEntry reports, on
// random pairs built from the pieces that trip them.
TEST(CheckSet, SaveTimeErrorsAreThoseOfCheckEntry)
{
    const QStringList pieces = {"a", "Text ", "%", "%s", "%d", "%-5s", "%1", "%2", "%1$s", "\\n", "\\r", "\\", "%%", ""};
    const char *const ids[] = {"placeholders", "escapes", "length", "empty"};
    std::mt19937 random(11);
    auto text = [&] {
        QString out;
        for (int n = int(random() % 6); n > 0; --n)
            out += pieces[int(random() % pieces.size())];
        return out;
    };
    int failing = 0;
    for (int round = 0; round < 20000; ++round) {
        const QString original = text();
        const QString translation = random() % 4 == 0 ? original : text();
        for (int codeType : {CodeTypeCpp, CodeTypeQt}) {
            QStringList expected;
            for (const EntryProblem &p : CheckEntry(original, translation, 1.5f, codeType))
                expected.append(QString::fromLatin1(ids[int(p.check)]) + u'|' + QString::number(p.result.messageId)
                                + u'|' + p.result.message);
            QStringList got;
            for (const Judged &j : judgeTexts(builtInSet(QString(), codeType, 1.5f), original, translation)) {
                if (j.severity == Severity::Error)
                    got.append(j.check + u'|' + QString::number(j.messageId) + u'|' + j.message);
            }
            ASSERT_EQ(got, expected) << qPrintable(original) << " | " << qPrintable(translation) << " | " << codeType;
            failing += !expected.isEmpty();
        }
    }
    EXPECT_GT(failing, 5000);
}

// A check with data of its own: terms of a glossary that a translation
// must use.
class TermCheck : public PerEntryCheck {
public:
    explicit TermCheck(QHash<QString, QString> terms)
        : PerEntryCheck({QStringLiteral("term"), QStringLiteral("Terms"), Severity::Warning,
                         QStringLiteral("Glossary terms are translated as the glossary says.")}),
          m_terms(std::move(terms))
    {
    }
    void judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const override
    {
        for (auto it = m_terms.cbegin(); it != m_terms.cend(); ++it) {
            if (checked.entry.original.contains(it.key()) && !checked.entry.translation.contains(it.value()))
                out.push_back(finding(checked.entry, QStringLiteral("\"%1\" is \"%2\"").arg(it.key(), it.value())));
        }
    }

private:
    QHash<QString, QString> m_terms;
};

// A check of groups: the entries whose keys share a prefix before "_" are
// the items of one menu, and no two of their translations may start with
// the same letter.
class ClashCheck : public CatalogueCheck {
public:
    explicit ClashCheck(bool aroundByGroup)
        : CatalogueCheck({QStringLiteral("clash"), QStringLiteral("Clash"), Severity::Warning,
                          QStringLiteral("Items of one menu start with different letters.")}),
          m_aroundByGroup(aroundByGroup)
    {
    }
    static QString groupOf(const StringEntry &entry)
    {
        return entry.keys.isEmpty() ? QString() : entry.keys.first().section(u'_', 0, 0);
    }
    void judgeGroup(const EntryMap &entries, const QString &group, std::vector<const StringEntry *> *judged,
                    std::vector<Finding> &out) const
    {
        QHash<QChar, std::vector<const StringEntry *>> byLetter;
        for (size_t n = 0; n < entries.size(); ++n) {
            const StringEntry &e = entries.byNumber(n);
            if (group.isEmpty() || groupOf(e) != group || e.translation.isEmpty())
                continue;
            byLetter[e.translation[0].toLower()].push_back(&e);
            if (judged)
                judged->push_back(&e);
        }
        for (const auto &same : byLetter) {
            for (const StringEntry *e : same) {
                if (same.size() > 1)
                    out.push_back(finding(*e, QStringLiteral("%1 items start with \"%2\"").arg(same.size()).arg(e->translation[0])));
            }
        }
    }
    void judgeAll(const EntryMap &entries, const CheckContext &, std::vector<Finding> &out) const override
    {
        QSet<QString> groups;
        for (size_t n = 0; n < entries.size(); ++n)
            groups.insert(groupOf(entries.byNumber(n)));
        for (const QString &group : groups)
            judgeGroup(entries, group, nullptr, out);
    }
    void judgeAround(const EntryMap &entries, const StringEntry &changed, const CheckContext &context,
                     std::vector<const StringEntry *> &judged, std::vector<Finding> &out) const override
    {
        if (!m_aroundByGroup)
            return CatalogueCheck::judgeAround(entries, changed, context, judged, out);
        judged.push_back(&changed);
        judgeGroup(entries, groupOf(changed), &judged, out);
    }

private:
    bool m_aroundByGroup;
};

CheckRegistry registryWithDataChecks(bool aroundByGroup)
{
    CheckRegistry registry;
    registry.addFactory({{{QStringLiteral("term"), QStringLiteral("Terms"), Severity::Warning, QStringLiteral("...")}},
                         [](const CheckTarget &target) {
                             CheckFactoryResult result;
                             const QVariantMap glossary = target.options.value(QStringLiteral("glossary")).toMap();
                             if (glossary.isEmpty()) {
                                 result.problems.append(QStringLiteral("no glossary"));
                                 return result;
                             }
                             QHash<QString, QString> terms;
                             for (auto it = glossary.cbegin(); it != glossary.cend(); ++it)
                                 terms.insert(it.key(), it.value().toString());
                             result.checks.push_back(std::make_shared<TermCheck>(terms));
                             return result;
                         }});
    registry.addFactory({{{QStringLiteral("clash"), QStringLiteral("Clash"), Severity::Warning, QStringLiteral("...")}},
                         [aroundByGroup](const CheckTarget &) {
                             CheckFactoryResult result;
                             result.checks.push_back(std::make_shared<ClashCheck>(aroundByGroup));
                             return result;
                         }});
    return registry;
}

CheckTarget germanTarget(bool withGlossary)
{
    CheckTarget target;
    target.path = QStringLiteral("ViewResDEU.xml");
    target.context.language = CheckLanguageForCode(QStringLiteral("DEU"));
    if (withGlossary)
        target.options.insert(QStringLiteral("glossary"), QVariantMap{{QStringLiteral("file"), QStringLiteral("Datei")}});
    return target;
}

TEST(CheckRegistry, FactoriesMakeChecksWithDataOfTheirOwn)
{
    const CheckRegistry registry = registryWithDataChecks(true);
    // Listed for the switches even where a file gets no data for them.
    ASSERT_NE(registry.find(u"term"), nullptr);
    EXPECT_TRUE(registry.idList().endsWith(u"case, term, clash"));
    QStringList problems;
    const CheckSet without = registry.makeSet(germanTarget(false), &problems);
    EXPECT_EQ(problems, QStringList({"no glossary"}));
    EXPECT_EQ(without.find(u"term"), nullptr);
    EXPECT_NE(without.find(u"clash"), nullptr);

    CheckSet set = registry.makeSet(germanTarget(true));
    StringEntry entry;
    entry.original = QStringLiteral("Open file");
    entry.translation = QStringLiteral("Dokument öffnen");
    std::vector<Finding> found;
    set.judgeEntry(entry, found);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].checkId(), u"term");
    EXPECT_EQ(found[0].message, u"\"file\" is \"Datei\"");
    // Switched off for German as the built-in warnings are, and not for French.
    CheckSwitches switches;
    switches.setOn(QStringLiteral("deu"), QStringLiteral("term"), false);
    set.applySwitches(switches);
    found.clear();
    set.judgeEntry(entry, found);
    EXPECT_TRUE(found.empty());
    EXPECT_TRUE(switches.isOn(QStringLiteral("FRA"), QStringLiteral("term")));
    // An untranslated entry raises no warning, whatever check it is.
    set.setWarningsOn(QStringLiteral("term"), true);
    entry.translation = entry.original;
    found.clear();
    set.judgeEntry(entry, found);
    EXPECT_TRUE(found.empty());
}

TEST(CheckSet, SwitchesSilenceWarningsAndRunningStopsAChecksErrorsToo)
{
    CheckSet set = builtInSet(QStringLiteral("DEU"));
    const QString original = QStringLiteral("%1$s on %2$s %s");
    const QString translation = QStringLiteral("auf %2$s");
    auto ids = [&] {
        QStringList out;
        for (const Judged &j : judgeTexts(set, original, translation))
            out.append(j.check + (j.severity == Severity::Error ? u'!' : u'?'));
        return out;
    };
    EXPECT_EQ(ids(), QStringList({"placeholders!", "placeholders?"}));
    CheckSwitches switches;
    switches.setOn(QStringLiteral("DEU"), QStringLiteral("placeholders"), false);
    set.applySwitches(switches);
    EXPECT_EQ(ids(), QStringList({"placeholders!"}));  // errors are never switched off
    set.setRunning(QStringLiteral("placeholders"), false);
    EXPECT_EQ(ids(), QStringList());

    // The settings' form and back.
    switches.setOn(QStringLiteral("FRA"), QStringLiteral("case"), false);
    switches.setOn(QStringLiteral("FRA"), QStringLiteral("urls"), false);
    switches.setOn(QString(), QStringLiteral("numbers"), false);
    const QMap<QString, QString> map = switches.toMap();
    EXPECT_EQ(map.value(QStringLiteral("FRA")), u"case,urls");
    EXPECT_EQ(CheckSwitches::fromMap(map), switches);
    EXPECT_EQ(CheckSwitches::fromMap({{QStringLiteral("fra"), QStringLiteral(" case ,, urls")},
                                      {QStringLiteral("DEU"), QStringLiteral("placeholders")},
                                      {QString(), QStringLiteral("numbers")}}),
              switches);
    switches.setOn(QStringLiteral("FRA"), QStringLiteral("case"), true);
    switches.setOn(QStringLiteral("FRA"), QStringLiteral("urls"), true);
    EXPECT_EQ(switches.languages(), QStringList({"", "DEU"}));
}

const char *const kMenuTexts[] = {"Datei", "Drucken", "Bearbeiten", "Ansicht", "Öffnen?", "ende", "", "Hilfe 2"};

// After any sequence of edits and additions the findings equal a full
// recount, for the built-in checks, a check with data and a check of
// groups (answering for its groups or, by default, for everything).
TEST(CatalogueFindings, FollowEditsAsAFullRecountSeesThem)
{
    for (bool aroundByGroup : {true, false}) {
        CRendaroDoc document;
        document.AddEntry(-1, "File_Open", "File_Open", 1);
        const int id = document.currentCatalogueId();
        CXMLStruct &catalogue = *document.findCatalogue(id);
        std::mt19937 random(5);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        const char *const originals[] = {"Open", "Print", "Edit", "View", "Open?", "Exit", "Help 1"};
        for (int i = 0; i < 60; ++i) {
            const QString original = QString::fromUtf8(originals[pick(7)]) + QStringLiteral(" file %1").arg(i);
            document.AddEntry(id, original, QString::fromUtf8(kMenuTexts[pick(8)]), 1);
            catalogue.entries.lookup(original)->keys = KeyList({QStringLiteral("M%1_%2").arg(i % 5).arg(i)});
        }
        const CheckRegistry registry = registryWithDataChecks(aroundByGroup);
        auto counted = [&] {
            CatalogueCounts counts;
            counts.setChecks(registry.makeSet(germanTarget(true)));
            return counts;
        };
        CatalogueCounts counts = counted();
        counts.recount(catalogue);
        for (int step = 0; step < 400; ++step) {
            if (pick(15) == 0) {
                const QString original = QStringLiteral("New file %1").arg(step);
                document.AddEntry(id, original, QString::fromUtf8(kMenuTexts[pick(8)]), 1);
                StringEntry &added = *catalogue.entries.lookup(original);
                added.keys = KeyList({QStringLiteral("M%1_new%2").arg(pick(5)).arg(step)});
                counts.entryAdded(added);
            } else {
                const StringEntry &entry = catalogue.entries.entryAt(size_t(pick(int(catalogue.entries.size()))));
                const QString text = pick(5) == 0 ? entry.original : QString::fromUtf8(kMenuTexts[pick(8)]);
                counts.entryChanged(entry, SetEntryTranslation(document, id, entry.original, text, 1));
            }
            if (step % 40 != 0)
                continue;
            CatalogueCounts fresh = counted();
            fresh.recount(catalogue);
            ASSERT_EQ(counts.warnings(), fresh.warnings()) << step;
            ASSERT_EQ(counts.findings().errors(), fresh.findings().errors()) << step;
            ASSERT_EQ(counts.findings().entriesWithWarnings(), fresh.findings().entriesWithWarnings()) << step;
            for (size_t n = 0; n < catalogue.entries.size(); ++n) {
                const StringEntry &e = catalogue.entries.byNumber(n);
                QStringList a, b;
                for (const Finding &f : counts.findings().findingsOf(e))
                    a.append(f.checkId() + u':' + f.message);
                for (const Finding &f : fresh.findings().findingsOf(e))
                    b.append(f.checkId() + u':' + f.message);
                a.sort();
                b.sort();
                ASSERT_EQ(a, b) << step << ' ' << e.original.toStdString();
            }
        }
        EXPECT_GT(counts.warnings(), 10);
        bool clashes = false;
        for (const StringEntry *e : counts.findings().entriesWithWarning()) {
            for (const Finding &f : counts.findings().findingsOf(*e))
                clashes = clashes || f.checkId() == u"clash";
        }
        EXPECT_TRUE(clashes);
    }
}

TEST(CatalogueFindings, CountsTextNavigationAndDismissedWarnings)
{
    CRendaroDoc document;
    document.AddEntry(-1, "Open the file", "die Datei öffnen", 1);  // case
    const int id = document.currentCatalogueId();
    document.AddEntry(id, "Save?", "Speichern", 1);                 // end-punctuation
    document.AddEntry(id, "Hello %s", "Hallo", 1);                  // an error only
    document.AddEntry(id, "Close", "Schließen", 1);
    CXMLStruct &catalogue = *document.findCatalogue(id);
    CatalogueCounts plain;
    plain.recount(catalogue);
    // Without a set the counts are what they always were.
    EXPECT_EQ(plain.statusText(), u"4 strings, 0 untranslated, 1 problem");
    EXPECT_EQ(plain.warnings(), 0);

    auto marks = std::make_shared<IgnoreMarks>();
    CatalogueCounts counts;
    counts.setChecks(builtInSet(QStringLiteral("DEU")), marks);
    counts.recount(catalogue);
    EXPECT_EQ(counts.statusTextWithWarnings(), u"4 strings, 0 untranslated, 1 problem, 2 warnings");
    EXPECT_EQ(counts.statusText(), u"4 strings, 0 untranslated, 1 problem");
    EXPECT_EQ(counts.findings().errors(), 1);

    std::vector<const StringEntry *> rows;
    for (const char *original : {"Close", "Hello %s", "Open the file", "Save?"})
        rows.push_back(catalogue.entries.lookup(QString::fromLatin1(original)));
    EXPECT_EQ(FindWarning(rows, 0, SearchDirection::Forward, counts.findings()).position, 2);
    const EntrySearchResult wrapped = FindWarning(rows, 3, SearchDirection::Forward, counts.findings());
    EXPECT_EQ(wrapped.position, 2);
    EXPECT_TRUE(wrapped.wrapped);
    EXPECT_EQ(FindWarning(rows, 2, SearchDirection::Backward, counts.findings()).position, 3);

    // A dismissed warning is counted apart.
    const StringEntry &save = *rows[3];
    marks->add(IgnoreMarkFor(counts.findings().findingsOf(save).front()));
    counts.recount(catalogue);
    EXPECT_EQ(counts.warnings(), 1);
    EXPECT_EQ(counts.findings().ignored(), 1);
    EXPECT_FALSE(counts.hasWarning(save));
    EXPECT_EQ(FindWarning(rows, 2, SearchDirection::Backward, counts.findings()).position, 2);
    // Mended, the other one goes too.
    counts.entryChanged(*rows[2], SetEntryTranslation(document, id, rows[2]->original, "Die Datei öffnen", 1));
    EXPECT_EQ(counts.statusTextWithWarnings(), u"4 strings, 0 untranslated, 1 problem, 0 warnings");
    EXPECT_TRUE(counts.findings().entriesWithWarning().empty());
}

} // namespace

// Sets of one file made on several threads at once get one copy of a
// factory's data: the first caller makes it, the others wait for it.
TEST(CheckShare, MakesEachKeyOnceForCallersOnManyThreads)
{
    CheckShare share;
    std::atomic<int> made{0};
    auto slowMake = [&made](int value) {
        return [&made, value] {
            ++made;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return std::make_shared<const int>(value);
        };
    };
    std::vector<std::future<std::shared_ptr<const int>>> callers;
    for (int i = 0; i < 6; ++i)
        callers.push_back(std::async(std::launch::async, [&share, &slowMake, i] {
            return share.once<int>(QStringLiteral("glossary"), slowMake(i));
        }));
    const std::shared_ptr<const int> other = share.once<int>(QStringLiteral("program"), slowMake(99));
    std::shared_ptr<const int> first;
    for (auto &caller : callers) {
        const std::shared_ptr<const int> got = caller.get();
        ASSERT_TRUE(got);
        if (!first)
            first = got;
        EXPECT_EQ(got.get(), first.get());
    }
    EXPECT_EQ(made.load(), 2);
    EXPECT_EQ(*other, 99);
    EXPECT_NE(other.get(), first.get());
}
