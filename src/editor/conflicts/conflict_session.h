#pragma once
// The conflicts a merge left beside the shown language file, resolved one
// at a time in the editor.
//
// A conflict over a string's translation or its not-to-be-translated mark,
// or over the file's length ratio or code type, is a change of the shown
// catalogue: it goes through the view as an undo step of its own, and it
// counts as resolved while that step is in effect (undoing it brings the
// conflict back). A translation whose placeholders or line breaks do not
// fit its original is refused, as an edit is. Any other conflict (a key, an original, an element
// removed on one side) is written into the file on disk at once: the shown
// file is saved first and read again afterwards.
//
// Whenever the shown file is saved, the conflicts file is written again
// with the conflicts still open, so the two files on disk always agree;
// with none open it is removed.

#include "merge/merge_conflicts.h"

#include <QObject>
#include <QString>
#include <vector>

class CRendaroView;
class QUndoCommand;
class QUndoStack;

// How a conflict's resolution reaches the file.
enum class ConflictRoute {
    Entry,    // a string's translation or mark, through the view (undoable)
    Setting,  // the length ratio or code type, through the view (undoable)
    File,     // written into the file on disk at once
};
ConflictRoute RouteOfConflict(const MergeConflict &conflict);

class ConflictSession : public QObject {
    Q_OBJECT
public:
    // The conflicts of `conflicts` for the shown file `languageFile`.
    ConflictSession(CRendaroView &view, const QString &languageFile, ConflictsFile conflicts);

    const QString &languageFile() const { return m_languageFile; }
    QString conflictsFile() const { return ConflictsFilePath(m_languageFile); }
    int count() const { return int(m_items.size()); }
    const MergeConflict &conflict(int index) const { return m_items[size_t(index)].conflict; }
    bool isResolved(int index) const;
    int resolvedCount() const;
    bool allResolved() const { return resolvedCount() == count(); }

    // A version's value as the editor shows it: a translation in the grid's
    // form (line breaks as \n), anything else as the file has it. Null
    // where that version has none.
    std::optional<QString> shownValue(int index, ConflictChoice version) const;

    // Resolves conflict `index` with a version's value or the `edited`
    // text (in the form shownValue gives). False with the reason when it
    // cannot be done, and nothing changes.
    bool resolve(int index, ConflictChoice choice, const QString &edited, QString *error);

    // Writes the conflicts file with the open conflicts, or removes it
    // when none is open.
    bool writeOpenConflicts(QString *error);
    // The view's undo stack, whose steps hold the resolutions made through it.
    QUndoStack *undoStack() const;
    // True while the session reads the shown file again itself.
    bool isReloading() const { return m_reloading; }

signals:
    // A conflict was resolved, or an undo or redo changed which are.
    void changed();

private:
    struct Item {
        MergeConflict conflict;
        bool settled = false;                  // resolved for good
        // The step that resolved it, known by its address and its name (an
        // address alone may be a newer step's once the old one is gone).
        const QUndoCommand *command = nullptr;
        QString stepName;
        int index = 0;                         // the undo stack's index just after that step
        bool lastResolved = false;             // as seen at the last change of the stack
    };
    bool resolveThroughView(int index, ConflictChoice choice, const QString &edited, QString *error);
    bool resolveInFile(int index, ConflictChoice choice, const QString &edited, QString *error);
    bool stepInEffect(const Item &item) const;
    void historyChanged();

    CRendaroView &m_view;
    QString m_languageFile;
    std::vector<Item> m_items;
    bool m_reloading = false;
};
