#include "editor/recovery/recovery_journal.h"

#include "catalogue/document.h"
#include "recovery/journal_replay.h"
#include "recovery/journal_store.h"
#include "recovery/journal_writer.h"
#include "recovery/process_identity.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace {

constexpr qsizetype kRestoreNamedLeftOut = 10;

QString questionText(const QString &target, int count, const QDateTime &written)
{
    return RecoveryJournal::tr("Rendaro was closed without saving %1. Restore the %2 unsaved changes from %3?")
        .arg(target)
        .arg(count)
        .arg(QLocale().toString(written, QLocale::ShortFormat));
}

} // namespace

RecoveryJournal::RecoveryJournal(CRendaroView &view) : m_view(view)
{
    connect(&view, &CRendaroView::entriesChanged, this, &RecoveryJournal::recordChanges);
    connect(&view, &CRendaroView::settingsChanged, this, &RecoveryJournal::journalSettings);
    // Saved, or back at the state saved: nothing to recover. What is shown
    // replaced or closed: the changes before were saved or let go.
    connect(&view, &CRendaroView::saved, this, &RecoveryJournal::discardJournal);
    connect(&view, &CRendaroView::shownChanged, this, &RecoveryJournal::discardJournal);
    connect(&view, &CRendaroView::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            discardJournal();
    });
    connect(&view, &CRendaroView::opened, this, &RecoveryJournal::OfferRecovery);
}

// A journal still here holds changes nobody let go: it stays on disk.
RecoveryJournal::~RecoveryJournal() = default;

QString RecoveryJournal::shownTarget() const
{
    const int id = m_view.currentCatalogueId();
    const QString &path = m_view.currentPath();
    if (id == 0 && path.endsWith(QStringLiteral("/*")))
        return JournalTargetPath(path.chopped(2));
    if (id >= 1 && !path.isEmpty())
        return JournalTargetPath(path);
    return QString();
}

// Made at the first change of what is shown; a catalogue with no file yet
// (strings pasted after New) has nothing to restore into and no journal.
JournalWriter *RecoveryJournal::shownJournal()
{
    if (m_journal)
        return m_journal.get();
    if (m_journalUnavailable)
        return nullptr;
    const QString target = shownTarget();
    if (target.isEmpty())
        return nullptr;
    const ProcessIdentity self = CurrentProcessIdentity();
    JournalHeader header;
    header.kind = m_view.currentCatalogueId() == 0 ? JournalTargetKind::Folder : JournalTargetKind::File;
    header.target = target;
    if (m_view.currentCatalogueId() == 0) {
        for (const QString &file : m_view.shownFiles())
            header.files.append(JournalTargetPath(file));
    }
    header.pid = self.pid;
    header.startTicks = self.startTicks;
    header.bootId = self.bootId;
    header.createdMs = QDateTime::currentMSecsSinceEpoch();
    QString error;
    const QString folder = RecoveryFolder();
    if (EnsureRecoveryFolder(folder, &error))
        m_journal = JournalWriter::create(folder, header, &error);
    if (!m_journal) {
        m_journalUnavailable = true;
        m_view.showStatus(tr("Unsaved changes are not kept for recovery: %1").arg(error));
        return nullptr;
    }
    return m_journal.get();
}

void RecoveryJournal::noteJournalFailure()
{
    if (m_failureShown || !m_journal || !m_journal->failed())
        return;
    m_failureShown = true;
    m_view.showStatus(tr("Unsaved changes are not kept for recovery: %1").arg(m_journal->error()));
}

void RecoveryJournal::recordChanges(const ShownEntryChanges &changes)
{
    JournalWriter *journal = nullptr;
    for (const ShownEntryChange &change : changes) {
        if (change.before == change.after)
            continue;
        if (!journal) {
            journal = shownJournal();
            if (!journal)
                return;
            journal->hold();
        }
        const JournalRecordType type = !change.after.existed    ? JournalRecordType::Remove
                                       : !change.before.existed ? JournalRecordType::Add
                                                                : JournalRecordType::Set;
        journal->appendEntry(type, change.original, change.after.translation, change.after.translatable);
    }
    if (journal) {
        journal->release();
        noteJournalFailure();
    }
}

void RecoveryJournal::journalSettings(const CatalogueSettings &settings)
{
    if (JournalWriter *journal = settings.existed ? shownJournal() : nullptr) {
        journal->appendSettings(settings.lengthRatio, settings.codeType);
        noteJournalFailure();
    }
}

void RecoveryJournal::discardJournal()
{
    if (m_journal)
        m_journal->discard();
    m_journal.reset();
    m_journalUnavailable = false;
    m_failureShown = false;
}

bool RecoveryJournal::flushJournal() { return !m_journal || m_journal->flush(); }

QString RecoveryJournal::journalPath() const { return m_journal ? m_journal->path() : QString(); }

bool RecoveryJournal::PromptClose()
{
    if (!m_view.PromptSave())
        return false;
    discardJournal();  // saved, or let go
    return true;
}

void RecoveryJournal::OfferRecovery()
{
    const QString target = shownTarget();
    if (target.isEmpty())
        return;
    JournalSearch search;
    search.target = target;
    search.claim = true;
    for (FoundJournal &journal : FindJournals(RecoveryFolder(), search)) {
        const JournalPlan plan = PlanJournalReplay(*theDocument(), m_view.currentCatalogueId(), journal.contents.records);
        if (plan.count() == 0 && plan.leftOut.isEmpty()) {
            journal.claim->setAside();  // its changes were undone, or are in the file already
            continue;
        }
        if (m_view.ask(questionText(journal.contents.header.target, plan.count(), journal.written), PromptIcon::Exclamation,
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
void RecoveryJournal::OfferRecoveryAtStart()
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
        if (m_view.ask(questionText(target, count, group.back()->written), PromptIcon::Exclamation, PromptButtons::YesNo)
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
            m_view.ShowLanguageFolder(target, files);
        } else if (!m_view.ShowLoadedFile(theDocument()->LoadCatalogueForEditing(target), target)) {
            return;  // said why; the journals stay for another time
        }
        for (FoundJournal *journal : group)
            restoreJournal(*journal,
                           PlanJournalReplay(*theDocument(), m_view.currentCatalogueId(), journal->contents.records));
        return;
    }
}

// The changes go in as redo puts a step back, so the rows turn yellow, the
// counts follow and this editor's own journal records them; the restore is
// one step on the undo stack (the settings with it). The journal left
// behind is removed once this editor's journal holds its changes.
void RecoveryJournal::restoreJournal(FoundJournal &journal, const JournalPlan &plan)
{
    std::vector<EntryTarget> targets;
    targets.reserve(plan.entries.size());
    for (const JournalEntryChange &entry : plan.entries)
        targets.push_back({entry.original, entry.translation, entry.translatable});
    m_view.applyStep(tr("Restore"), targets, StepKind::Replay, plan.settings ? &*plan.settings : nullptr);
    if (flushJournal())
        journal.claim->remove();
    else
        m_view.showStatus(tr("The restored changes are not kept for recovery; %1 stays").arg(journal.path));

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
        m_view.ask(notes.join(QStringLiteral("\n\n")), PromptIcon::Information, PromptButtons::Ok);
}
