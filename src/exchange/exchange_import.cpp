#include "exchange/exchange_import.h"

#include "catalogue/catalogue_types.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "checks/text_checks.h"
#include "exchange/display_form.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace {

UnitReference referenceTo(const ExchangeUnit &unit) { return {unit.line, unit.key, unit.source}; }

// Without carriage returns: some tools (lconvert) turn CR LF into LF.
QString withoutCarriageReturns(const QString &memory)
{
    QString text = memory;
    text.replace(QStringLiteral("\\r\\n"), QStringLiteral("\\n")).replace(QStringLiteral("\\r"), QStringLiteral("\\n"));
    return text;
}

// Finds the entry a unit's source names.
class EntryFinder {
public:
    explicit EntryFinder(const EntryMap &entries) : m_entries(entries) {}

    const StringEntry *find(const QString &source)
    {
        if (source.isEmpty())
            return nullptr;
        const QString memory = FromDisplayForm(source);
        if (const StringEntry *entry = m_entries.lookup(memory))
            return entry;
        // An original read from a file with a raw line break (written
        // &#10;) keeps it in memory.
        if (memory.size() != source.size()) {
            if (const StringEntry *entry = m_entries.lookup(source))
                return entry;
        }
        // A tool that dropped the carriage returns: the unit still names
        // its entry (and its translation then fails the escape check).
        if (!memory.contains(QStringLiteral("\\n")))
            return nullptr;
        if (!m_withoutReturnsBuilt) {
            m_withoutReturnsBuilt = true;
            for (size_t number = 0; number < m_entries.size(); ++number) {
                const StringEntry &entry = m_entries.byNumber(number);
                if (entry.original.contains(QStringLiteral("\\r")))
                    m_withoutReturns.insert(withoutCarriageReturns(entry.original), &entry);
            }
        }
        return m_withoutReturns.value(memory, nullptr);
    }

private:
    const EntryMap &m_entries;
    bool m_withoutReturnsBuilt = false;
    QHash<QString, const StringEntry *> m_withoutReturns;
};

// The last part of a path written with either separator.
QString lastPart(const QString &path)
{
    const qsizetype at = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(at + 1);
}

class Planner {
public:
    Planner(const CXMLStruct &catalogue, ImportPlan &plan, bool keysDecide)
        : m_catalogue(catalogue), m_plan(plan), m_keysDecide(keysDecide)
    {
    }
    void planEntry(const StringEntry &entry, std::vector<const ExchangeUnit *> &candidates);

private:
    void refuse(const ExchangeUnit &unit, const QString &reason) { m_plan.refused.push_back({referenceTo(unit), reason}); }
    const CXMLStruct &m_catalogue;
    ImportPlan &m_plan;
    bool m_keysDecide;
    struct Offer {
        const ExchangeUnit *unit;
        QString text;
    };
    std::vector<Offer> m_offers;
};

void Planner::planEntry(const StringEntry &entry, std::vector<const ExchangeUnit *> &candidates)
{
    // An original that comes back several times (from files that hold it
    // under their own keys): the units under this entry's keys are its own,
    // the others belong to strings the catalogue does not hold. When no
    // key decides, every unit counts.
    if (m_keysDecide && candidates.size() > 1) {
        std::vector<const ExchangeUnit *> own;
        for (const ExchangeUnit *unit : candidates) {
            if (!unit->key.isEmpty() && entry.keys.contains(unit->key))
                own.push_back(unit);
        }
        if (!own.empty() && own.size() < candidates.size()) {
            for (const ExchangeUnit *unit : candidates) {
                if (std::find(own.begin(), own.end(), unit) == own.end())
                    m_plan.unknown.push_back(referenceTo(*unit));
            }
            candidates.swap(own);
        }
    }
    std::vector<Offer> &offers = m_offers;  // kept from entry to entry: most have one unit
    offers.clear();
    for (const ExchangeUnit *unit : candidates) {
        if (unit->target.isEmpty() || unit->target == unit->source) {
            ++m_plan.unchanged;
            continue;
        }
        if (!unit->unusable.isEmpty()) {
            refuse(*unit, unit->unusable);
            continue;
        }
        QString text = FromDisplayForm(unit->target);
        if (text == entry.translation) {
            ++m_plan.unchanged;
            continue;
        }
        offers.push_back({unit, std::move(text)});
    }
    if (offers.empty())
        return;
    const bool agree = std::all_of(offers.begin(), offers.end(), [&](const Offer &o) { return o.text == offers[0].text; });
    if (!agree) {
        QStringList lines;
        for (const Offer &offer : offers)
            lines.append(QString::number(offer.unit->line));
        const QString reason = QStringLiteral("the units at lines %1 give this original different translations")
                                   .arg(lines.join(QStringLiteral(", ")));
        for (const Offer &offer : offers)
            refuse(*offer.unit, reason);
        return;
    }
    m_plan.unchanged += int(offers.size()) - 1;  // repeats of the one taken
    const Offer &offer = offers.front();
    if (entry.translatable == 0) {
        refuse(*offer.unit, QStringLiteral("the string is marked not to be translated"));
        return;
    }
    // Texts without a "%" hold no placeholder, texts without a backslash no
    // escape: most pass both checks without running them.
    CheckResult check;
    if (entry.original.contains(u'%') || offer.text.contains(u'%'))
        check = CheckPlaceholders(entry.original, offer.text, m_catalogue.codeType);
    if (check.ok && (entry.original.contains(u'\\') || offer.text.contains(u'\\')))
        check = CheckEscapeSequences(entry.original, offer.text);
    if (!check.ok) {
        refuse(*offer.unit, check.message);
        return;
    }
    m_plan.changes.push_back({entry.original, offer.text,
                              IsTooLong(entry.original, offer.text, m_catalogue.lengthRatio), referenceTo(*offer.unit)});
}

} // namespace

int ImportPlan::tooLongCount() const
{
    return int(std::count_if(changes.begin(), changes.end(), [](const ImportChange &c) { return c.tooLong; }));
}

QString ImportPlan::summary() const
{
    return QStringLiteral("%1 changed, %2 unchanged, %3 refused, %4 unknown")
        .arg(changes.size())
        .arg(unchanged)
        .arg(refused.size())
        .arg(unknown.size());
}

QString DescribeUnit(const UnitReference &unit)
{
    QString text = QStringLiteral("line %1: \"%2\"").arg(unit.line).arg(FromDisplayForm(unit.source));
    if (!unit.key.isEmpty())
        text += QStringLiteral(" (%1)").arg(FromDisplayForm(unit.key));
    return text;
}

std::vector<const ExchangeUnit *> UnitsForFile(const ExchangeDocument &document, const QString &fileName,
                                               QString *language)
{
    const QString name = lastPart(fileName);
    std::vector<const ExchangeSection *> chosen;
    for (const ExchangeSection &section : document.sections) {
        if (!name.isEmpty() && (section.original == fileName || lastPart(section.original) == name))
            chosen.push_back(&section);
    }
    if (chosen.empty()) {
        for (const ExchangeSection &section : document.sections)
            chosen.push_back(&section);
    }
    std::vector<const ExchangeUnit *> units;
    for (const ExchangeSection *section : chosen) {
        if (language && language->isEmpty())
            *language = section->language;
        for (const ExchangeUnit &unit : section->units)
            units.push_back(&unit);
    }
    return units;
}

ImportPlan PlanImport(const CXMLStruct &catalogue, const std::vector<const ExchangeUnit *> &units, bool keysDecide)
{
    ImportPlan plan;
    struct Match {
        const StringEntry *entry;
        size_t unit;
    };
    std::vector<Match> matches;
    matches.reserve(units.size());
    EntryFinder finder(catalogue.entries);
    for (size_t i = 0; i < units.size(); ++i) {
        if (const StringEntry *entry = finder.find(units[i]->source))
            matches.push_back({entry, i});
        else
            plan.unknown.push_back(referenceTo(*units[i]));
    }
    // The units of each entry side by side (in unit order), and the entries
    // in the order of their first unit: sorting spares a map of lists.
    std::stable_sort(matches.begin(), matches.end(),
                     [](const Match &a, const Match &b) { return std::less<>()(a.entry, b.entry); });
    std::vector<std::pair<size_t, size_t>> groups;  // ranges of matches
    for (size_t begin = 0; begin < matches.size();) {
        size_t end = begin + 1;
        while (end < matches.size() && matches[end].entry == matches[begin].entry)
            ++end;
        groups.emplace_back(begin, end);
        begin = end;
    }
    std::sort(groups.begin(), groups.end(),
              [&](const auto &a, const auto &b) { return matches[a.first].unit < matches[b.first].unit; });
    Planner planner(catalogue, plan, keysDecide);
    std::vector<const ExchangeUnit *> candidates;
    for (const auto &[begin, end] : groups) {
        candidates.clear();
        for (size_t i = begin; i < end; ++i)
            candidates.push_back(units[matches[i].unit]);
        planner.planEntry(*matches[begin].entry, candidates);
    }
    std::stable_sort(plan.refused.begin(), plan.refused.end(),
                     [](const ImportRefusal &a, const ImportRefusal &b) { return a.unit.line < b.unit.line; });
    std::stable_sort(plan.unknown.begin(), plan.unknown.end(),
                     [](const UnitReference &a, const UnitReference &b) { return a.line < b.line; });
    return plan;
}

int ApplyImportPlan(CRendaroDoc &document, int catalogueId, const ImportPlan &plan)
{
    int applied = 0;
    for (const ImportChange &change : plan.changes) {
        if (SetEntryTranslation(document, catalogueId, change.original, change.translation, 1).existed)
            ++applied;
    }
    return applied;
}
