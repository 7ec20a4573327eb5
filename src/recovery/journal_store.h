#pragma once
// Where the recovery journals live and who holds them.
//
// Journals are kept in $XDG_STATE_HOME/rendaro/recovery (by default
// ~/.local/state/rendaro/recovery), one file per editor and shown file or
// folder: "<target hash>-<pid>-<random>.journal". The hash (of the target's
// absolute path) lets an editor find a file's journals without reading
// the others; the pid and the random part keep two editors apart, even on
// one file. An editor holds an exclusive flock on its journal for as long
// as it writes it, so the kernel releases it when the process dies, however
// it dies: a journal nobody holds was left behind. Where the file system
// has no flock, the pid, start time and boot recorded in the header decide.
// A journal the user declined is set aside as "<name>.discarded" and
// removed a week later.

#include "recovery/journal_format.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

// The journals' folder, from XDG_STATE_HOME or HOME (not created).
QString RecoveryFolder();
// Creates the folder (readable by the user only); false with the reason.
bool EnsureRecoveryFolder(const QString &folder, QString *error);

// How journals name a file or folder: its absolute path, links resolved
// where it exists.
QString JournalTargetPath(const QString &path);
// The first part of the file names of a target's journals.
QString JournalNameStem(const QString &targetPath);

// A journal whose writer is gone, held by this process (an exclusive flock)
// so that no other editor offers it at the same time. Released when
// destroyed.
class JournalClaim {
public:
    // The claim, or null when the writer still runs (or another process
    // holds the journal) or the file cannot be opened.
    static std::unique_ptr<JournalClaim> take(const QString &path);
    ~JournalClaim();
    JournalClaim(const JournalClaim &) = delete;
    JournalClaim &operator=(const JournalClaim &) = delete;

    const QString &path() const { return m_path; }
    // Renames the journal to "<name>.discarded", dated now, so that it is
    // kept for a week; false with the reason.
    bool setAside(QString *error = nullptr);
    bool remove(QString *error = nullptr);

private:
    JournalClaim(const QString &path, int fd) : m_path(path), m_fd(fd) {}
    QString m_path;
    int m_fd;
};

enum class JournalState { LeftBehind, InUse, SetAside };

struct FoundJournal {
    QString path;
    JournalContents contents;
    QDateTime written;  // when its last record was written
    JournalState state = JournalState::LeftBehind;
    std::unique_ptr<JournalClaim> claim;  // held for journals left behind, when asked for
};

struct JournalSearch {
    QString target;        // only journals of this target (a JournalTargetPath); empty: all
    bool claim = false;    // keep the claims of the journals left behind
    bool setAside = false; // include the journals set aside
    bool inUse = false;    // include the journals of running editors
};

// The journals in the folder, read whole, oldest first.
std::vector<FoundJournal> FindJournals(const QString &folder, const JournalSearch &search);

// Removes journals set aside more than `days` days ago, and files of
// journals whose creation was cut short.
void PurgeOldJournals(const QString &folder, int days = 7);
