#pragma once
// The quick filter: Edit > Filter (Ctrl+L) shows the filter bar over the
// grid, whose text, state and toggles narrow the rows together with Hide
// Translated Item (the core makes the rows; this is its row filter). It
// keeps the sets its states read that the entries do not hold themselves:
// the entries changed since the shown file was opened (Changed) and the
// spelling checker's findings (Misspelled, given by whoever checks
// spelling). The status bar's "showing R of N" comes from here too.

#include "catalogue/entry_edits.h"
#include "catalogue/entry_filter.h"
#include "editor/core/rendaro_view.h"
#include "editor/filter/filter_bar.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <unordered_map>

class CommandActions;

class QuickFilter : public QObject, public RowFilterSource {
    Q_OBJECT
public:
    QuickFilter(CRendaroView &view, CommandActions *commands);
    ~QuickFilter() override;

    CFilterBar *filterBar() const { return m_bar; }
    void OnFilter();
    // Shows the rows the filter lets through now (the bar's filterChanged).
    void ApplyFilter();
    // Empties the bar's text and sets its state to All (the bar stays).
    void ClearFilter();

    // The entries the spelling checker flags, for the Misspelled state; the
    // choice is offered while spelling is available.
    void SetMisspelledEntries(EntrySet entries);
    void SetSpellingAvailable(bool available);
    // Where the Misspelled entries come from; misspellingsChanged says they
    // changed (while the check is still running they are taken at once).
    void setMisspelledSource(std::function<EntrySet()> source) { m_misspelledSource = std::move(source); }
    void misspellingsChanged(bool takeNow);

    // The entries changed since the shown file was opened (Changed).
    const EntrySet &changedEntries() const { return m_changedEntries; }
    // "showing R of N" (rows of strings); empty with no catalogue shown.
    QString rowsShownText() const;

    // RowFilterSource
    void narrow(EntryFilter &filter) const override;
    EntryMarks marks() const override;
    bool isClear() const override;
    void clear() override;

signals:
    void rowsShownChanged(const QString &text);

private:
    void entriesChanged(const ShownEntryChanges &changes);
    void refreshMisspelledEntries();
    void updateCommandStates();

    CRendaroView &m_view;
    CommandActions *m_commands;
    QPointer<CFilterBar> m_bar;  // a child of the view
    EntrySet m_misspelledEntries;
    std::function<EntrySet()> m_misspelledSource;
    bool m_misspelledStale = false;
    // Changed since opened: each changed entry's state when first changed.
    std::unordered_map<const StringEntry *, EntryState> m_openedStates;
    EntrySet m_changedEntries;
    int m_changesCatalogueId = -1;
};
