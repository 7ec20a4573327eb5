// recover: the recovery journals an editor left behind, for a user without
// a display. --list names them; FILE (or a language folder) is written with
// a journal's changes applied, through the safe save.

#include "catalogue/document.h"
#include "cli/cli_support.h"
#include "recovery/journal_replay.h"
#include "recovery/journal_store.h"

#include <QFileInfo>

namespace {

QString stateText(JournalState state)
{
    switch (state) {
    case JournalState::LeftBehind: return QStringLiteral("left by an editor that is no longer running");
    case JournalState::InUse: return QStringLiteral("open in a running editor");
    case JournalState::SetAside: return QStringLiteral("set aside");
    }
    return QString();
}

QString timeText(const QDateTime &time) { return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

int listJournals(CliStreams &io)
{
    const QString folder = RecoveryFolder();
    JournalSearch search;
    search.setAside = true;
    search.inUse = true;
    const std::vector<FoundJournal> journals = FindJournals(folder, search);
    if (journals.empty()) {
        io.out << "No recovery journals in " << folder << '\n';
        return 0;
    }
    for (const FoundJournal &journal : journals) {
        const JournalContents &contents = journal.contents;
        if (!contents.valid) {
            io.out << journal.path << ": not readable (" << contents.error << ")\n";
            continue;
        }
        const int count = JournalChangeCount(contents.records);
        io.out << contents.header.target
               << (contents.header.kind == JournalTargetKind::Folder ? QStringLiteral(" (language folder)")
                                                                      : QString())
               << ": " << count << (count == 1 ? " change, " : " changes, ") << timeText(journal.written) << ", "
               << stateText(journal.state) << (contents.damaged ? ", cut short" : "") << '\n'
               << "    " << journal.path << '\n';
    }
    return 0;
}

// The journals to apply: the one named, or every one left behind for the
// target, oldest first. Prints why there are none.
bool journalsFor(const QString &target, const QString &named, CliStreams &io, std::vector<FoundJournal> &out)
{
    if (!named.isEmpty()) {
        FoundJournal journal;
        journal.path = named;
        journal.claim = JournalClaim::take(named);
        if (!journal.claim) {
            io.err << named << ": the journal cannot be opened, or a running editor holds it\n";
            return false;
        }
        journal.contents = ReadJournalFile(named);
        if (!journal.contents.valid) {
            io.err << named << ": " << journal.contents.error << '\n';
            return false;
        }
        if (journal.contents.header.target != target) {
            io.err << named << ": the journal belongs to " << journal.contents.header.target << ", not "
                   << target << '\n';
            return false;
        }
        out.push_back(std::move(journal));
        return true;
    }
    JournalSearch search;
    search.target = target;
    search.claim = true;
    search.inUse = true;
    bool running = false;
    for (FoundJournal &journal : FindJournals(RecoveryFolder(), search)) {
        if (journal.state == JournalState::InUse)
            running = true;
        else if (journal.contents.valid)
            out.push_back(std::move(journal));
    }
    if (!out.empty())
        return true;
    if (running)
        io.err << target << " is open in a running editor; save it there\n";
    else
        io.err << "No recovery journal of " << target << " was found (rendaro-cli recover --list names them)\n";
    return false;
}

// Loads what the journals were written for: the file, or the folder's files
// merged. Returns the catalogue to replay into, -1 when nothing could be read.
int loadTarget(CRendaroDoc &document, const QString &file, const JournalHeader &header, CliStreams &io)
{
    if (header.kind == JournalTargetKind::File)
        return loadForCommand(document, file, io);
    for (const QString &path : header.files) {
        if (document.LoadCatalogue(path, true) < 0)
            io.err << "Can not open this file. (" << path << ": " << document.lastErrorText() << ")\n";
    }
    if (!document.catalogueAt(0)->tree || !document.SelectCatalogue(0))
        return -1;
    return 0;
}

int recoverFile(const CommandLine &line, CliStreams &io)
{
    const QString file = line.operands.first();
    const QString target = JournalTargetPath(file);
    std::vector<FoundJournal> journals;
    if (!journalsFor(target, line.value(QStringLiteral("--journal")), io, journals))
        return 1;
    const JournalHeader &header = journals.back().contents.header;
    const bool folder = header.kind == JournalTargetKind::Folder;
    if (folder && line.has(QStringLiteral("-o"))) {
        io.err << "-o is for a single file; a language folder's files are written in place\n";
        return 2;
    }
    const QString output = line.has(QStringLiteral("-o")) ? line.value(QStringLiteral("-o")) : file;
    if (!folder && !checkOutputTarget(output, io))
        return 1;

    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadTarget(document, file, header, io);
    if (id < 0)
        return 1;
    int restored = 0;
    QStringList leftOut;
    for (const FoundJournal &journal : journals) {
        const JournalPlan plan = PlanJournalReplay(document, id, journal.contents.records);
        ApplyJournalPlan(document, id, plan, {});
        restored += plan.count();
        leftOut += plan.leftOut;
        if (journal.contents.damaged)
            io.err << journal.path << " is cut short at byte " << journal.contents.validBytes
                   << "; the changes after it could not be read\n";
    }
    if (folder) {
        if (!document.SaveAllCatalogues(nullptr)) {
            io.err << "Can not save file.\n" << document.lastErrorText() << '\n';
            return 1;
        }
    } else if (!writeOutput(document, output, io,
                            [&](const QString &path) { return document.SaveCatalogue(id, path, true); })) {
        return 1;
    }
    // With the file on standard output, the report goes to standard error.
    QTextStream &report = !folder && isStandardStream(output) ? io.err : io.out;
    report << "Restored " << restored << (restored == 1 ? " change to " : " changes to ")
           << (folder ? QStringLiteral("the files of ") + file : displayName(output, true)) << '\n';
    for (const QString &original : std::as_const(leftOut))
        report << "Left out (no longer in the file): \"" << original << "\"\n";
    // Written over its own file, a journal is done with; it is set aside
    // (kept a week) rather than removed.
    if (folder || (!isStandardStream(output) && sameFile(file, output))) {
        for (FoundJournal &journal : journals) {
            QString error;
            if (!journal.claim->setAside(&error))
                io.err << journal.path << ": " << error << '\n';
        }
    }
    return 0;
}

} // namespace

int cmdRecover(const QStringList &args, CliStreams &io)
{
    const CommandLine line =
        parseCommandLine(args, {QStringLiteral("-o"), QStringLiteral("--journal")}, {QStringLiteral("--list")});
    if (!line.error.isEmpty())
        return usageError(line, io);
    if (line.has(QStringLiteral("--list"))) {
        if (!line.operands.isEmpty() || line.has(QStringLiteral("-o")) || line.has(QStringLiteral("--journal")))
            return usageError(line, io);
        return listJournals(io);
    }
    if (line.operands.size() != 1 || isStandardStream(line.operands.first()))
        return usageError(line, io);
    return recoverFile(line, io);
}
