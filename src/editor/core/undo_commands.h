#pragma once
// The steps of the editor's undo stack. Each records the states the core's
// entry edits returned (catalogue/entry_edits.h) and puts them back through
// the view, which keeps the grid rows in step with the catalogue.

#include "catalogue/entry_edits.h"

#include <QUndoCommand>
#include <vector>

class CRendaroView;

// One entry before and after a change; `before.existed` false means the
// change added the entry.
struct EntryChange {
    QString original;
    EntryState before;
    EntryState after;
};

bool operator==(const EntryState &a, const EntryState &b);

// Changes of any number of entries made as one step (an edit, a check box,
// a paste, an import, a Replace All, the strings of Add new string). It is
// pushed after the changes were made, so its first redo does nothing.
class EntryChangesCommand : public QUndoCommand {
public:
    EntryChangesCommand(CRendaroView &view, const QString &text, std::vector<EntryChange> changes,
                        QUndoCommand *parent = nullptr);
    void undo() override;
    void redo() override;
    const std::vector<EntryChange> &changes() const { return m_changes; }
    bool addsEntries() const;

private:
    CRendaroView &m_view;
    std::vector<EntryChange> m_changes;
    bool m_done = true;
};

// New settings (length ratio, placeholder style) of the shown catalogue.
class SettingsChangeCommand : public QUndoCommand {
public:
    SettingsChangeCommand(CRendaroView &view, const CatalogueSettings &before, const CatalogueSettings &after,
                          QUndoCommand *parent = nullptr);
    void undo() override;
    void redo() override;

private:
    CRendaroView &m_view;
    CatalogueSettings m_before;
    CatalogueSettings m_after;
    bool m_done = true;
};
