// The recovery journal of the shown file or folder: every unsaved change
// is recorded (entryChanged and applyEntryChange call journalEntry) and the
// journal goes when the changes are saved or let go. Journals an editor
// left behind are offered when their file or folder is opened, or at
// start-up; restoring replays them as unsaved changes, one undo step.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "editor/view_recovery_state.h"
#include "recovery/journal_replay.h"
#include "recovery/journal_store.h"
#include "recovery/process_identity.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QUndoStack>

namespace {

constexpr qsizetype kRestoreNamedLeftOut = 10;

QString questionText(const QString &target, int count, const QDateTime &written)
{
    return CRendaroView::tr("Rendaro was closed without saving %1. Restore the %2 unsaved changes from %3?")
        .arg(target)
        .arg(count)
        .arg(QLocale().toString(written, QLocale::ShortFormat));
}

} // namespace

QString CRendaroView::shownTarget() const
{
    if (currentCatalogueId == 0 && currentPath.endsWith(QStringLiteral("/*")))
        return JournalTargetPath(currentPath.chopped(2));
    if (currentCatalogueId >= 1 && !currentPath.isEmpty())
        return JournalTargetPath(currentPath);
    return QString();
}

QStringList CRendaroView::shownFiles() const
{
    QStringList files;
    if (currentCatalogueId == 0) {
        for (const CXMLStruct &catalogue : theDocument()->catalogues()) {
            if (catalogue.catalogueId >= 1 && !catalogue.filePath.isEmpty())
                files.append(catalogue.filePath);
        }
    } else if (currentCatalogueId >= 1 && !currentPath.isEmpty()) {
        files.append(currentPath);
    }
    return files;
}

// Made at the first change of what is shown; a catalogue with no file yet
// (strings pasted after New) has nothing to restore into and no journal.
JournalWriter *CRendaroView::shownJournal()
{
    ViewRecovery &r = *m_recovery;
    if (r.journal && r.batchDepth > 0 && !r.held) {
        r.journal->hold();
        r.held = true;
    }
    if (m_recovery->journal)
        return m_recovery->journal.get();
    if (m_recovery->journalUnavailable)
        return nullptr;
    const QString target = shownTarget();
    if (target.isEmpty())
        return nullptr;
    const ProcessIdentity self = CurrentProcessIdentity();
    JournalHeader header;
    header.kind = currentCatalogueId == 0 ? JournalTargetKind::Folder : JournalTargetKind::File;
    header.target = target;
    if (currentCatalogueId == 0) {
        for (const QString &file : shownFiles())
            header.files.append(JournalTargetPath(file));
    }
    header.pid = self.pid;
    header.startTicks = self.startTicks;
    header.bootId = self.bootId;
    header.createdMs = QDateTime::currentMSecsSinceEpoch();
    QString error;
    const QString folder = RecoveryFolder();
    if (EnsureRecoveryFolder(folder, &error))
        m_recovery->journal = JournalWriter::create(folder, header, &error);
    if (!r.journal) {
        r.journalUnavailable = true;
        emit statusMessage(tr("Unsaved changes are not kept for recovery: %1").arg(error));
        return nullptr;
    }
    if (r.batchDepth > 0) {
        r.journal->hold();
        r.held = true;
    }
    return r.journal.get();
}

void CRendaroView::beginJournalBatch() { ++m_recovery->batchDepth; }

void CRendaroView::endJournalBatch()
{
    ViewRecovery &r = *m_recovery;
    if (--r.batchDepth == 0 && std::exchange(r.held, false) && r.journal)
        r.journal->release();
}

void CRendaroView::noteJournalFailure()
{
    if (m_recovery->failureShown || !m_recovery->journal || !m_recovery->journal->failed())
        return;
    m_recovery->failureShown = true;
    emit statusMessage(tr("Unsaved changes are not kept for recovery: %1").arg(m_recovery->journal->error()));
}

void CRendaroView::journalEntry(const QString &original, const EntryState &before, const EntryState &after)
{
    if (before == after)
        return;
    JournalWriter *journal = shownJournal();
    if (!journal)
        return;
    const JournalRecordType type = !after.existed    ? JournalRecordType::Remove
                                   : !before.existed ? JournalRecordType::Add
                                                     : JournalRecordType::Set;
    journal->appendEntry(type, original, after.translation, after.translatable);
    noteJournalFailure();
}

void CRendaroView::journalSettings(const CatalogueSettings &settings)
{
    if (JournalWriter *journal = settings.existed ? shownJournal() : nullptr) {
        journal->appendSettings(settings.lengthRatio, settings.codeType);
        noteJournalFailure();
    }
}

void CRendaroView::discardJournal()
{
    if (m_recovery->journal)
        m_recovery->journal->discard();
    m_recovery->journal.reset();
    m_recovery->held = false;
    m_recovery->journalUnavailable = false;
    m_recovery->failureShown = false;
}

bool CRendaroView::flushJournal() { return !m_recovery->journal || m_recovery->journal->flush(); }

QString CRendaroView::journalPath() const
{
    return m_recovery->journal ? m_recovery->journal->path() : QString();
}

bool CRendaroView::PromptClose()
{
    if (!PromptSave())
        return false;
    discardJournal();  // saved, or let go
    return true;
}

void CRendaroView::OfferRecovery()
{
    const QString target = shownTarget();
    if (target.isEmpty())
        return;
    JournalSearch search;
    search.target = target;
    search.claim = true;
    for (FoundJournal &journal : FindJournals(RecoveryFolder(), search)) {
        const JournalPlan plan = PlanJournalReplay(*theDocument(), currentCatalogueId, journal.contents.records);
        if (plan.count() == 0 && plan.leftOut.isEmpty()) {
            journal.claim->setAside();  // its changes were undone, or are in the file already
            continue;
        }
        if (ask(questionText(journal.contents.header.target, plan.count(), journal.written), PromptIcon::Exclamation,
                PromptButtons::YesNo)
            == PromptAnswer::Yes)
            restoreJournal(journal, plan);
        else
            journal.claim->setAside();
    }
}

// Each file or folder with journals left behind is offered in turn, the
// latest first, counting the changes the journals hold; the first one
// accepted is opened and restored. A target that no longer exists is left
// to `rendaro-cli recover`.
void CRendaroView::OfferRecoveryAtStart()
{
    const QString folder = RecoveryFolder();
    PurgeOldJournals(folder);
    JournalSearch search;
    search.claim = true;
    std::vector<FoundJournal> journals = FindJournals(folder, search);
    QStringList targets;  // latest first
    for (auto journal = journals.rbegin(); journal != journals.rend(); ++journal) {
        if (!journal->contents.valid)
            journal->claim->setAside();  // no file to offer it for; kept a week
        else if (!targets.contains(journal->contents.header.target))
            targets.append(journal->contents.header.target);
    }
    for (const QString &target : std::as_const(targets)) {
        std::vector<FoundJournal *> group;
        int count = 0;
        for (FoundJournal &journal : journals) {
            if (journal.contents.valid && journal.contents.header.target == target) {
                group.push_back(&journal);
                count += JournalChangeCount(journal.contents.records);
            }
        }
        if (!QFileInfo::exists(target))
            continue;
        if (count == 0) {
            for (FoundJournal *journal : group)
                journal->claim->setAside();
            continue;
        }
        if (ask(questionText(target, count, group.back()->written), PromptIcon::Exclamation, PromptButtons::YesNo)
            != PromptAnswer::Yes) {
            for (FoundJournal *journal : group)
                journal->claim->setAside();
            continue;
        }
        const JournalHeader &header = group.back()->contents.header;
        if (header.kind == JournalTargetKind::Folder) {
            QStringList files;
            for (const QString &file : header.files) {
                if (QFileInfo::exists(file))
                    files.append(file);
            }
            ShowLanguageFolder(target, files);
        } else if (!showLoadedFile(theDocument()->LoadCatalogue(target, false), target)) {
            return;  // said why; the journals stay for another time
        }
        for (FoundJournal *journal : group)
            restoreJournal(*journal,
                           PlanJournalReplay(*theDocument(), currentCatalogueId, journal->contents.records));
        return;
    }
}

// The changes go in through applyEntryChange, the path undo and redo take,
// so the rows turn yellow, the counts follow and this editor's own journal
// records them; the restore is one step on the undo stack. The journal
// left behind is removed once this editor's journal holds its changes.
void CRendaroView::restoreJournal(FoundJournal &journal, const JournalPlan &plan)
{
    std::vector<EntryChange> changes;
    changes.reserve(plan.entries.size());
    for (const JournalEntryChange &entry : plan.entries) {
        const EntryState before = ReadEntryState(*theDocument(), currentCatalogueId, entry.original);
        changes.push_back({entry.original, before, EntryState{true, entry.translation, entry.translatable}});
    }
    const CatalogueSettings settingsBefore = ReadCatalogueSettings(*theDocument(), currentCatalogueId);
    if (plan.settings)
        applySettings(*plan.settings, plan.settings->codeType != settingsBefore.codeType);
    applyEntryChanges(changes, false);
    if (plan.count() > 0) {
        auto *step = new QUndoCommand(tr("Restore"));
        if (plan.settings)
            new SettingsChangeCommand(*this, settingsBefore, *plan.settings, step);
        if (!changes.empty())
            new EntryChangesCommand(*this, tr("Restore"), std::move(changes), step);
        m_undoStack->push(step);
    }
    if (flushJournal())
        journal.claim->remove();
    else
        emit statusMessage(tr("The restored changes are not kept for recovery; %1 stays").arg(journal.path));

    QStringList notes;
    if (!plan.leftOut.isEmpty()) {
        QStringList named;
        for (const QString &original : plan.leftOut.mid(0, kRestoreNamedLeftOut))
            named.append(QStringLiteral("\"%1\"").arg(original));
        QString note = tr("%1 changes were left out: the file no longer holds these strings:\n%2")
                           .arg(plan.leftOut.size())
                           .arg(named.join(u'\n'));
        if (plan.leftOut.size() > kRestoreNamedLeftOut)
            note += tr("\n... and %1 more").arg(plan.leftOut.size() - kRestoreNamedLeftOut);
        notes.append(note);
    }
    if (journal.contents.damaged)
        notes.append(tr("The recovery journal was cut short; the changes recorded after the first %1 could not be "
                        "read.")
                         .arg(journal.contents.records.size()));
    if (!notes.isEmpty())
        ask(notes.join(QStringLiteral("\n\n")), PromptIcon::Information, PromptButtons::Ok);
}
