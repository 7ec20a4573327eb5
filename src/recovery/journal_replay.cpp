#include "recovery/journal_replay.h"

#include "catalogue/document.h"

#include <QHash>
#include <cmath>

namespace {

// The last state of one entry after the journal's records.
struct FoldedEntry {
    QString original;
    bool exists = true;
    QString translation;
    int translatable = 1;
    bool addedByJournal = false;  // its first record added it
};

struct Folded {
    std::vector<FoldedEntry> entries;  // in the order first changed
    std::optional<CatalogueSettings> settings;
};

Folded fold(const std::vector<JournalRecord> &records)
{
    Folded folded;
    QHash<QString, size_t> index;
    for (const JournalRecord &record : records) {
        if (record.type == JournalRecordType::Settings) {
            CatalogueSettings settings;
            settings.existed = true;
            settings.lengthRatio = record.lengthRatio;
            settings.codeType = record.codeType;
            folded.settings = settings;
            continue;
        }
        auto it = index.constFind(record.original);
        if (it == index.cend()) {
            it = index.insert(record.original, folded.entries.size());
            FoldedEntry entry;
            entry.original = record.original;
            entry.addedByJournal = record.type == JournalRecordType::Add;
            folded.entries.push_back(std::move(entry));
        }
        FoldedEntry &entry = folded.entries[*it];
        entry.exists = record.type != JournalRecordType::Remove;
        entry.translation = record.translation;
        entry.translatable = record.translatable;
    }
    return folded;
}

bool sameRatio(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

} // namespace

int JournalChangeCount(const std::vector<JournalRecord> &records)
{
    const Folded folded = fold(records);
    int count = folded.settings ? 1 : 0;
    for (const FoldedEntry &entry : folded.entries)
        count += entry.exists || !entry.addedByJournal ? 1 : 0;  // an addition taken back changes nothing
    return count;
}

JournalPlan PlanJournalReplay(const CRendaroDoc &document, int catalogueId, const std::vector<JournalRecord> &records)
{
    JournalPlan plan;
    const Folded folded = fold(records);
    for (const FoldedEntry &entry : folded.entries) {
        const EntryState now = ReadEntryState(document, catalogueId, entry.original);
        if (!entry.exists) {
            // Only an addition can be taken back. One this journal made is
            // simply not made again; one made before it cannot be taken out
            // of the middle of the file.
            if (now.existed && !entry.addedByJournal)
                plan.leftOut.append(entry.original);
            continue;
        }
        if (now.existed) {
            if (now.translation != entry.translation || now.translatable != entry.translatable)
                plan.entries.push_back({entry.original, entry.translation, entry.translatable, false});
        } else if (entry.addedByJournal) {
            plan.entries.push_back({entry.original, entry.translation, entry.translatable, true});
        } else {
            plan.leftOut.append(entry.original);
        }
    }
    const CatalogueSettings now = ReadCatalogueSettings(document, catalogueId);
    if (folded.settings && now.existed
        && (!sameRatio(now.lengthRatio, folded.settings->lengthRatio) || now.codeType != folded.settings->codeType))
        plan.settings = folded.settings;
    return plan;
}

void ApplyJournalPlan(CRendaroDoc &document, int catalogueId, const JournalPlan &plan,
                      const std::function<void(const QString &, const EntryState &)> &changed)
{
    if (!document.findCatalogue(catalogueId))
        return;  // an entry added to no catalogue would make one
    if (plan.settings)
        SetCatalogueSettings(document, catalogueId, plan.settings->lengthRatio, plan.settings->codeType);
    for (const JournalEntryChange &change : plan.entries) {
        EntryState before;
        if (change.add) {
            before = AddNewEntry(document, catalogueId, change.original, change.translation, change.translatable)
                         .previous;
        } else {
            before = ReadEntryState(document, catalogueId, change.original);
            // A flag of 0 keeps the translation, so the text goes in first.
            if (change.translatable == 0 && before.translation != change.translation)
                SetEntryTranslation(document, catalogueId, change.original, change.translation, 1);
            SetEntryTranslation(document, catalogueId, change.original, change.translation, change.translatable);
        }
        if (changed)
            changed(change.original, before);
    }
}
