#pragma once
// Search and Find and Replace. Edit > Search (Ctrl+F, F3 again) finds the
// next row that shows a text in either column; Edit > Replace (Ctrl+H)
// replaces a text in the translations, row by row from the selection or in
// every translatable entry at once, each new translation checked as an edit
// is checked. On a large file the rows are looked through in slices from
// the event loop (the core's WorkSlices), so the window keeps answering:
// the status bar says a search is running, Esc stops it, and a change of
// the grid's rows stops it too (its row numbers would no longer hold).

#include "editor/core/work_slices.h"
#include "editor/search/find_replace_dlg.h"
#include "editor/search/find_string_dialog.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class CommandActions;
class CRendaroView;
class QKeyEvent;
class QTimer;
class TextMatcher;

class SearchFeature : public QObject {
    Q_OBJECT
public:
    SearchFeature(CRendaroView &view, CommandActions *commands);
    ~SearchFeature() override;

    CFindString *findDialog() const { return m_findDialog; }
    // The text Search looks for and whether its case counts (kept between
    // searches; without Match Case the text is kept in lower case).
    const QString &searchText() const { return m_searchText; }
    bool matchCase() const { return m_matchCase; }
    // What the next FindNext looks for, as the Find dialog sets it.
    void setSearch(const QString &text, bool matchCase)
    {
        m_searchText = text;
        m_matchCase = matchCase;
    }

    void OnSearch();
    // From the row after the selection; the found row is selected when the
    // search gets there.
    void FindNext();
    // Stops a search still looking through the rows (Esc does).
    void CancelSearch();
    bool isSearching() const { return m_search != nullptr; }
    void OnFindReplace();

private:
    struct SearchRun;
    enum class ReplaceResult { Unchanged, Replaced, Refused };

    bool handleKey(QKeyEvent *event, bool isShortcutOverride);
    void updateCommandStates();
    void selectFoundRow(int row);
    void startSearchScan(int first, int count);
    void continueSearch();
    void searchScanned();
    void finishSearch();
    bool rowHoldsSearchText(int row, const TextMatcher &matcher) const;
    bool rowToReplace(int row, const TextMatcher &matcher) const;
    void rowsMovedUnderSearch();
    // Replace (replace.cpp).
    void replaceNext();
    void replaceFoundRow(int row);  // -1: none
    void replaceAll();
    ReplaceResult replacement(const QString &original, QString *text, QString *refusal) const;

    CRendaroView &m_view;
    CommandActions *m_commands;
    QPointer<CFindString> m_findDialog;  // the view's children
    QString m_searchText;
    bool m_matchCase = false;
    std::unique_ptr<SearchRun> m_search;
    QTimer *m_searchTimer;
    QPointer<CFindReplaceDlg> m_replaceDialog;
    int m_lastReplaceRow = -1;
};
