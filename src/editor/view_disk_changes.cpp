// Files changed on disk by another program. The shown file (or the files of
// a shown language folder) and their folders are watched, and what each
// file held when it was read or last written is kept (size, time, hash).
// When another program changes one, the view asks whether to read it
// again; with unsaved changes it offers Reload (after a second question)
// or Keep Mine. Whatever the watcher saw, a save that would overwrite a
// file changed since it was read asks first.

#include "editor/rendaro_view.h"

#include "catalogue/messages.h"
#include "catalogue/document.h"
#include "editor/view_recovery_state.h"
#include "recovery/journal_store.h"

#include <QApplication>
#include <QFileInfo>
#include <QSet>

namespace {

// Events come in bursts while a program writes; the files are compared
// once they settle.
constexpr int kSettleMs = 300;

} // namespace

void CRendaroView::setupDiskWatch()
{
    ViewRecovery &r = *m_recovery;
    r.diskCheck.setSingleShot(true);
    r.diskCheck.setInterval(kSettleMs);
    connect(&r.diskCheck, &QTimer::timeout, this, &CRendaroView::CheckDiskChanges);
    auto changed = [this](const QString &path) {
        ViewRecovery &state = *m_recovery;
        // A file replaced by a rename (as safe saves do) leaves the watch.
        if (state.read.contains(path) && !state.watcher.files().contains(path) && QFileInfo::exists(path))
            state.watcher.addPath(path);
        state.diskCheck.start();
    };
    connect(&r.watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&r.watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString &) {
        ViewRecovery &state = *m_recovery;
        for (auto it = state.read.cbegin(); it != state.read.cend(); ++it) {
            if (!state.watcher.files().contains(it.key()) && QFileInfo::exists(it.key()))
                state.watcher.addPath(it.key());
        }
        state.diskCheck.start();
    });
}

void CRendaroView::watchShownFiles()
{
    ViewRecovery &r = *m_recovery;
    if (!r.watcher.files().isEmpty())
        r.watcher.removePaths(r.watcher.files());
    if (!r.watcher.directories().isEmpty())
        r.watcher.removePaths(r.watcher.directories());
    r.read.clear();
    r.answered.clear();
    r.diskCheck.stop();
    const QStringList files = shownFiles();
    QSet<QString> folders;
    for (const QString &file : files) {
        r.read.insert(file, TakeFingerprint(file));
        folders.insert(QFileInfo(file).absolutePath());
    }
    if (!files.isEmpty())
        r.watcher.addPaths(files);
    if (!folders.isEmpty())
        r.watcher.addPaths(folders.values());
}

QHash<QString, FileFingerprint> CRendaroView::shownFilesNow() const
{
    QHash<QString, FileFingerprint> now;
    for (const QString &file : shownFiles())
        now.insert(file, TakeFingerprint(file, false));
    return now;
}

// After a save of several files: those it wrote are now the versions read;
// one it could not write keeps what was read before. Replaced files are
// watched again (a rename takes a file out of the watch).
void CRendaroView::rememberSavedFiles(const QHash<QString, FileFingerprint> &beforeSave)
{
    ViewRecovery &r = *m_recovery;
    for (const QString &file : shownFiles()) {
        if (!r.read.contains(file) || FileChangedSince(file, beforeSave.value(file))) {
            r.read.insert(file, TakeFingerprint(file));
            r.answered.remove(file);
        }
    }
    if (!r.watcher.files().isEmpty())
        r.watcher.removePaths(r.watcher.files());
    if (!r.read.isEmpty())
        r.watcher.addPaths(r.read.keys());
}

void CRendaroView::CheckDiskChanges()
{
    ViewRecovery &r = *m_recovery;
    // Not while a question or a dialog of the program is open (the
    // generate-and-pack dialog writes files itself): once it has closed.
    if (r.asking || QApplication::activeModalWidget()) {
        r.diskCheck.start();
        return;
    }
    QStringList changed;
    for (auto it = r.read.begin(); it != r.read.end(); ++it) {
        FileFingerprint now;
        if (!FileChangedSince(it.key(), it.value(), &now)) {
            it.value() = now;  // touched perhaps, the same bytes: not hashed again
            continue;
        }
        if (!now.exists)
            continue;  // removed: nothing to read; Save writes it again
        const auto answered = r.answered.constFind(it.key());
        if (answered != r.answered.cend() && !FileChangedSince(it.key(), *answered))
            continue;  // this version was asked about already
        changed.append(it.key());
    }
    if (changed.isEmpty())
        return;

    const QString named = changed.join(u'\n');
    const bool one = changed.size() == 1;
    bool reload = false;
    r.asking = true;
    if (!modified) {
        const QString text = one ? tr("%1 was changed by another program. Reload it?").arg(named)
                                 : tr("These files were changed by another program:\n%1\nReload them?").arg(named);
        reload = ask(text, PromptIcon::Exclamation, PromptButtons::YesNo) == PromptAnswer::Yes;
    } else {
        const QString text =
            (one ? tr("%1 was changed by another program, and you have unsaved changes.").arg(named)
                 : tr("These files were changed by another program, and you have unsaved changes:\n%1").arg(named))
            + (one ? tr("\n\nReload drops your changes and reads the file again; Keep Mine keeps your version, and "
                        "Save will ask before it overwrites the file.")
                   : tr("\n\nReload drops your changes and reads the files again; Keep Mine keeps your version, and "
                        "Save will ask before it overwrites the files."));
        const int choice = m_prompts.choose(this, text, messageText(MsgAppName), PromptIcon::Exclamation,
                                            {tr("Reload"), tr("Keep Mine")}, 1);
        reload = choice == 0
                 && ask(tr("Drop your unsaved changes and reload %1?").arg(one ? named : tr("the files")),
                        PromptIcon::Exclamation, PromptButtons::YesNo)
                        == PromptAnswer::Yes;
    }
    r.asking = false;
    if (reload && reloadShown())
        return;
    for (const QString &path : std::as_const(changed))
        r.answered.insert(path, TakeFingerprint(path));
}

// Reads the shown file (or folder) again; the unsaved changes and their
// journal go. False when the file could not be read (the view said why and
// still shows what it showed).
bool CRendaroView::reloadShown()
{
    if (currentCatalogueId == 0) {
        ShowLanguageFolder(currentPath.chopped(2), shownFiles());
        return true;
    }
    const QString path = currentPath;
    return showLoadedFile(theDocument()->LoadCatalogue(path, false), path);
}

bool CRendaroView::confirmOverwrite(const QStringList &paths)
{
    ViewRecovery &r = *m_recovery;
    QStringList changed;
    for (const QString &path : paths) {
        const QString target = JournalTargetPath(path);
        for (auto it = r.read.cbegin(); it != r.read.cend(); ++it) {
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
    return ask(text, PromptIcon::Exclamation, PromptButtons::YesNo) == PromptAnswer::Yes;
}
