#include "editor/recovery/disk_watch.h"

#include "catalogue/messages.h"
#include "editor/core/rendaro_view.h"
#include "recovery/journal_store.h"

#include <QApplication>
#include <QFileInfo>
#include <QSet>

namespace {

// Events come in bursts while a program writes; the files are compared
// once they settle.
constexpr int kSettleMs = 300;

} // namespace

DiskWatch::DiskWatch(CRendaroView &view) : m_view(view)
{
    m_diskCheck.setSingleShot(true);
    m_diskCheck.setInterval(kSettleMs);
    connect(&m_diskCheck, &QTimer::timeout, this, &DiskWatch::CheckDiskChanges);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString &path) {
        // A file replaced by a rename (as safe saves do) leaves the watch.
        if (m_read.contains(path) && !m_watcher.files().contains(path) && QFileInfo::exists(path))
            m_watcher.addPath(path);
        m_diskCheck.start();
    });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString &) {
        for (auto it = m_read.cbegin(); it != m_read.cend(); ++it) {
            if (!m_watcher.files().contains(it.key()) && QFileInfo::exists(it.key()))
                m_watcher.addPath(it.key());
        }
        m_diskCheck.start();
    });
    connect(&view, &CRendaroView::shownChanged, this, &DiskWatch::watchShownFiles);
    connect(&view, &CRendaroView::filesWritten, this, &DiskWatch::filesWritten);
    view.addSaveGuard(this, [this](const QStringList &files) {
        if (!confirmOverwrite(files))
            return false;
        m_beforeSave = shownFilesNow();
        return true;
    });
}

void DiskWatch::watchShownFiles()
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_read.clear();
    m_answered.clear();
    m_diskCheck.stop();
    const QStringList files = m_view.shownFiles();
    QSet<QString> folders;
    for (const QString &file : files) {
        m_read.insert(file, TakeFingerprint(file));
        folders.insert(QFileInfo(file).absolutePath());
    }
    if (!files.isEmpty())
        m_watcher.addPaths(files);
    if (!folders.isEmpty())
        m_watcher.addPaths(folders.values());
}

QHash<QString, FileFingerprint> DiskWatch::shownFilesNow() const
{
    QHash<QString, FileFingerprint> now;
    for (const QString &file : m_view.shownFiles())
        now.insert(file, TakeFingerprint(file, false));
    return now;
}

// After a save of one file it is watched again as written (Save As: under
// its new name). After a save of several files: those it wrote are now the
// versions read; one it could not write keeps what was read before.
// Replaced files are watched again (a rename takes a file out of the watch).
void DiskWatch::filesWritten(const QStringList &files)
{
    Q_UNUSED(files);
    if (m_view.currentCatalogueId() != 0) {
        watchShownFiles();
        return;
    }
    for (const QString &file : m_view.shownFiles()) {
        if (!m_read.contains(file) || FileChangedSince(file, m_beforeSave.value(file))) {
            m_read.insert(file, TakeFingerprint(file));
            m_answered.remove(file);
        }
    }
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_read.isEmpty())
        m_watcher.addPaths(m_read.keys());
}

void DiskWatch::CheckDiskChanges()
{
    // Not while a question or a dialog of the program is open (the
    // generate-and-pack dialog writes files itself): once it has closed.
    if (m_asking || QApplication::activeModalWidget()) {
        m_diskCheck.start();
        return;
    }
    QStringList changed;
    for (auto it = m_read.begin(); it != m_read.end(); ++it) {
        FileFingerprint now;
        if (!FileChangedSince(it.key(), it.value(), &now)) {
            it.value() = now;  // touched perhaps, the same bytes: not hashed again
            continue;
        }
        if (!now.exists)
            continue;  // removed: nothing to read; Save writes it again
        const auto answered = m_answered.constFind(it.key());
        if (answered != m_answered.cend() && !FileChangedSince(it.key(), *answered))
            continue;  // this version was asked about already
        changed.append(it.key());
    }
    if (changed.isEmpty())
        return;

    const QString named = changed.join(u'\n');
    const bool one = changed.size() == 1;
    bool reload = false;
    m_asking = true;
    if (!m_view.isModified()) {
        const QString text = one ? tr("%1 was changed by another program. Reload it?").arg(named)
                                 : tr("These files were changed by another program:\n%1\nReload them?").arg(named);
        reload = m_view.ask(text, PromptIcon::Exclamation, PromptButtons::YesNo) == PromptAnswer::Yes;
    } else {
        const QString text =
            (one ? tr("%1 was changed by another program, and you have unsaved changes.").arg(named)
                 : tr("These files were changed by another program, and you have unsaved changes:\n%1").arg(named))
            + (one ? tr("\n\nReload drops your changes and reads the file again; Keep Mine keeps your version, and "
                        "Save will ask before it overwrites the file.")
                   : tr("\n\nReload drops your changes and reads the files again; Keep Mine keeps your version, and "
                        "Save will ask before it overwrites the files."));
        const int choice = m_view.prompts().choose(&m_view, text, messageText(MsgAppName), PromptIcon::Exclamation,
                                            {tr("Reload"), tr("Keep Mine")}, 1);
        reload = choice == 0
                 && m_view.ask(tr("Drop your unsaved changes and reload %1?").arg(one ? named : tr("the files")),
                        PromptIcon::Exclamation, PromptButtons::YesNo)
                        == PromptAnswer::Yes;
    }
    m_asking = false;
    if (reload && m_view.reloadShown())
        return;
    for (const QString &path : std::as_const(changed))
        m_answered.insert(path, TakeFingerprint(path));
}

bool DiskWatch::confirmOverwrite(const QStringList &paths)
{
    QStringList changed;
    for (const QString &path : paths) {
        const QString target = JournalTargetPath(path);
        for (auto it = m_read.cbegin(); it != m_read.cend(); ++it) {
            FileFingerprint now;
            if ((it.key() == path || JournalTargetPath(it.key()) == target) && FileChangedSince(path, *it, &now)
                && now.exists) {
                changed.append(path);
                break;
            }
        }
    }
    if (changed.isEmpty())
        return true;
    const QString named = changed.join(u'\n');
    const QString text =
        changed.size() == 1
            ? tr("%1 was changed by another program since it was read. Save anyway and replace its changes "
                 "with yours?")
                  .arg(named)
            : tr("These files were changed by another program since they were read:\n%1\nSave anyway and replace "
                 "their changes with yours?")
                  .arg(named);
    return m_view.ask(text, PromptIcon::Exclamation, PromptButtons::YesNo) == PromptAnswer::Yes;
}
