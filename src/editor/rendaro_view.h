#pragma once
// The editor view: shows one catalogue of the document in the report grid
// ("Original (English)" and "Translation"), checks and stores in-place
// edits and check-box changes, and carries out the editor's commands. It
// changes catalogues only through the entry edits of the core
// (catalogue/entry_edits.h) and tells the grid about the rows that changed.

#include "catalogue/catalogue_counts.h"
#include "catalogue/catalogue_types.h"
#include "catalogue/entry_filter.h"
#include "catalogue/entry_navigation.h"
#include "controls/report_ctrl.h"
#include "editor/catalogue_rows.h"
#include "editor/reference_originals.h"
#include "editor/undo_commands.h"
#include "editor/user_prompts.h"
#include "editor/work_slices.h"
#include "recovery/file_fingerprint.h"
#include "memory/translation_memory.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

class CFilterBar;
class CEditorMemory;
class CFindString;
class CommandActions;
struct FoundJournal;
class JournalWriter;
struct JournalPlan;
struct ViewRecovery;
class CRendaroDoc;
class CSuggestionsDock;
class QSettings;
class CUnderlinedLineEdit;
struct EntryState;
class QMenu;
class QSettings;
class QUndoStack;
class SpellingSession;
class TextMatcher;

class CRendaroView : public QWidget {
    Q_OBJECT
public:
    enum class OpenResult { Opened, Cancelled, Failed };

    explicit CRendaroView(UserPrompts &prompts, QWidget *parent = nullptr);
    ~CRendaroView() override;

    CReportCtrl *grid() const { return m_grid; }
    CFindString *findDialog() const { return m_findDialog; }
    CFilterBar *filterBar() const { return m_filterBar; }

    // --- state read by the other parts of the editor ------------------------
    int currentCatalogueId = -1;  // -1 none, 0 the master catalogue, >= 1 one file
    QString currentPath;
    bool modified = false;
    QString searchText;
    bool matchCase = false;
    bool lastEditValid = true;
    bool hideTranslated = true;

    // --- the grid (view_grid.cpp) --------------------------------------------
    // Fills the grid afresh from the shown catalogue (Hide Translated Item
    // and the quick filter applied); the marks of changed rows go.
    void RefreshGrid();
    // Inserts the row of the shown catalogue's entry for `original`.
    void InsertRow(int row, const QString &original);
    QString DisplayedToOriginal(int row) const;
    // The shown catalogue's entry on a row, or null.
    const StringEntry *RowEntry(int row) const;
    // The checks of a translation against its original, with their messages.
    bool CheckPlaceholders(const QString &original, const QString &translation);
    bool CheckEscapeSequences(const QString &original, const QString &translation);
    bool CheckLength(const QString &original, const QString &translation, bool showMessage);

    // --- column widths (view_columns.cpp) ---------------------------------------
    // The first column keeps its share of the grid's width as the window
    // changes size; the translation column takes the rest. Dragging the
    // column edge sets the share.
    QList<int> columnWidths() const;
    void setColumnWidths(const QList<int> &widths);

    // --- title ---------------------------------------------------------------
    void UpdateTitle(const QString &path, bool isModified);
    QString title() const { return m_title; }

    // --- file commands (view_file_commands.cpp) -------------------------------
    void OnFileNew();
    void OnFileOpen();
    // Opens a file as Open does after its dialog (command line, recent files, drop).
    OpenResult OpenPath(const QString &path);
    void OnDropFiles(const QStringList &paths);
    void OnFileSave();
    void OnFileSaveAs();
    void OnSaveNonTranslated();
    bool PromptSave();
    bool ConfirmClose();
    void ResetView();
    bool ValidateAllRows();
    bool SaveWithDialog(bool keepTree);

    // --- edit commands (view_edit_commands.cpp) -------------------------------
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void PasteText(const QString &text);
    void OnHideTranslated();

    // --- search (view_search.cpp) ---------------------------------------------
    void OnSearch();
    // From the row after the selection; on a large file the rows are looked
    // through in slices while the window keeps answering (the status bar
    // says so), and the found row is selected when the search gets there.
    void FindNext();
    // Stops a search still looking through the rows (Esc does).
    void CancelSearch();
    bool isSearching() const { return m_search != nullptr; }

    // --- long passes --------------------------------------------------------------
    // At most this many entries or rows a slice of a filter pass or search
    // (0: as many as its time allows), so that tests see many slices.
    void setSliceLimit(size_t units) { m_slices.unitLimit = units; }

    // --- import (view_import.cpp) ----------------------------------------------
    void OnImportString();

    // --- language folders (view_folder_mode.cpp) -------------------------------
    void OnOpenLanguageFolder();
    // Shows the master catalogue of these files (loaded and merged), as
    // Open Language Folder does once the files are chosen.
    void ShowLanguageFolder(const QString &folder, const QStringList &paths);
    void SaveAllWithProgress();

    // --- reference originals (view_reference.cpp) ------------------------------
    void OnReplaceOriginal();
    // Reference entries: their translations are shown in column 0 in place
    // of the catalogue's originals (empty: the originals are shown).
    const EntryMap &referenceEntries() const { return m_referenceEntries; }
    void SetReferenceEntries(EntryMap entries);

    // --- settings (view_settings.cpp) ------------------------------------------
    void OnSettings();

    // --- script tables (view_script_export.cpp) --------------------------------
    void OnExportScript(int kind);

    // --- generating the language files (view_generate_all.cpp) ----------------
    void OnGenerateAll();
    QStringList generatedFiles;  // the copies written by the last run, in order
    // --- tool commands (view_tool_commands.cpp) --------------------------------
    void OnAddNewString();
    void OnGenerateZiv();
    // Reads the shown file again when `written` holds it (or closes the
    // files of a shown folder), so that no stale copy is edited or saved.
    void ReloadWrittenFiles(const QStringList &written);

    // --- moving to the rows that need work (view_navigation.cpp) --------------
    void OnNextUntranslated();
    void OnPreviousUntranslated();
    void OnNextProblem();
    void OnPreviousProblem();
    // Selects and shows the row of `original`, switching Hide Translated Item
    // off when the filter hides it; false when the shown catalogue lacks it.
    bool SelectOriginal(const QString &original);

    // --- the quick filter (view_filter.cpp) -------------------------------------
    // Edit > Filter (Ctrl+L): shows the filter bar with its text selected.
    void OnFilter();
    // The filter the grid applies: Hide Translated Item and the bar's text,
    // state and toggles.
    EntryFilter gridFilter() const;
    // Shows the rows the filter lets through now, keeping the selected row
    // when it stays; a filter narrowing the last one looks at its rows only.
    void ApplyFilter();
    // Empties the bar's text and sets its state to All (the bar stays).
    void ClearFilter();
    // A filter pass too long for one slice is still running; the rows
    // follow when it is done, and a newer filter replaces it.
    bool isFiltering() const { return m_filterPass != nullptr; }
    // The entries the spelling checker flags, for the Misspelled state; the
    // choice is offered while spelling is available.
    void SetMisspelledEntries(EntrySet entries);
    void SetSpellingAvailable(bool available);
    // The entries changed since the shown file was opened (Changed).
    const EntrySet &changedEntries() const { return m_changedEntries; }
    // "showing R of N" (rows of strings); empty with no catalogue shown.
    QString rowsShownText() const;

    // --- live counts (view_counts.cpp) ------------------------------------------
    // Brings the counts in line after one entry of the shown catalogue
    // changed (entryChanged and undo/redo call it), given the state the
    // entry had before (existed false: the entry is new; an entry no longer
    // there makes a full count).
    void countEntryChange(const QString &original, const EntryState &before);
    // Counts the shown catalogue again: a file shown or closed, new settings,
    // many entries changed at once.
    void recountShown();
    const CatalogueCounts &counts() const { return m_counts; }
    // "N strings, M untranslated, K problems"; empty with no catalogue shown.
    QString countsText() const;

    // --- the language folder's consistency report (view_consistency.cpp) --------
    void OnConsistencyReport();

    // --- undo and redo (view_undo.cpp) -----------------------------------------
    // Every edit path reports each entry it changed here, after the change,
    // with the state the entry edit returned; the live counts follow, and
    // the change joins the open ChangeStep (or becomes a step of its own)
    // on the undo stack.
    void entryChanged(const QString &original, const EntryState &before);
    // Undo and redo put every entry back through here: the catalogue entry
    // is set, added or taken back, and its grid row follows (markChanged:
    // coloured as a fresh edit, else as a refresh would show it).
    void applyEntryChange(const QString &original, const EntryState &state, bool markChanged);
    void applyEntryChanges(const std::vector<EntryChange> &changes, bool undo);
    void applySettings(const CatalogueSettings &settings, bool rebuildRows);
    // The changes made while one of these lives form one undo step.
    class ChangeStep {
    public:
        ChangeStep(CRendaroView &view, const QString &text);
        ~ChangeStep();
        ChangeStep(const ChangeStep &) = delete;
        ChangeStep &operator=(const ChangeStep &) = delete;

    private:
        CRendaroView &m_view;
    };
    QUndoStack *undoStack() const { return m_undoStack; }
    void OnEditUndo();
    void OnEditRedo();
    void clearUndoHistory();
    // The shown catalogue was saved: its state is the clean one.
    void markSaved();
    // The shown catalogue's tree was written (saved: to its own file), so it
    // holds the entries added so far; their additions cannot be undone.
    void treeTookAdditions(bool saved);

    // --- find and replace (view_find_replace.cpp) -------------------------------
    void OnFindReplace();

    // --- never losing work (view_recovery.cpp, view_disk_changes.cpp) ---------
    // Every unsaved change of the shown file or folder is recorded in a
    // recovery journal, which goes when the changes are saved or let go.
    // entryChanged and applyEntryChange record each entry's change here.
    void journalEntry(const QString &original, const EntryState &before, const EntryState &after);
    void journalSettings(const CatalogueSettings &settings);
    void discardJournal();
    // Waits until the journal is on disk; false when it could not be written.
    bool flushJournal();
    QString journalPath() const;  // empty while there is no journal
    // Offers the journals an editor left behind for the shown file or folder.
    void OfferRecovery();
    // At start-up, nothing shown: offers what was left behind for any file or folder.
    void OfferRecoveryAtStart();
    // PromptSave before the window closes; changes let go take their journal along.
    bool PromptClose();
    // Compares the shown files with what was read or last written and asks
    // about those another program changed (the file watcher calls it).
    void CheckDiskChanges();
    // --- exchange with translation tools (view_exchange.cpp) ----------------------
    // Writes the shown file (a language folder: every loaded file) as XLIFF
    // or PO, as the chosen name or filter says.
    void OnExportForTranslation();
    // Takes the translations of an XLIFF or PO file that pass the checks
    // of an edit, as one undo step, and says what was refused.
    void OnImportTranslations();
    // --- the translation memory (view_memory.cpp) -------------------------------
    // Builds the memory chosen in the settings and shows the suggestions for
    // the selected row in `dock` (null: no pane). Call after bindCommands.
    void setupTranslationMemory(QSettings &settings, CSuggestionsDock *dock);
    CEditorMemory *translationMemory() const { return m_memory; }
    void OnTranslationMemory();
    void OnPreTranslate();
    // Puts the suggestion shown at `index` (0 the best) into the selected
    // row as an edit would (into the in-place editor while one is open);
    // false when there is none or the checks refuse it.
    bool applySuggestion(int index);
    const std::vector<TmSuggestion> &shownSuggestions() const { return m_suggestions; }
    // --- spelling (view_spelling.cpp) -------------------------------------------
    // Turns spelling on, each file's dictionary choice kept in `settings`
    // (the main window's); a view without settings checks no spelling.
    void setSpellingSettings(QSettings *settings);
    SpellingSession *spelling() const { return m_spelling; }
    // Whether the entry's translation holds a misspelled word, as far as
    // the check has come; misspellingsChanged() says when that changes.
    bool isMisspelled(const StringEntry *entry) const;
    void OnNextMisspelling();
    void OnPreviousMisspelling();
    // The dictionary in use or why spelling is off (the status bar's text).
    QString spellingStatus() const;

    // --- commands --------------------------------------------------------------
    void bindCommands(CommandActions &commands);
    void updateCommandStates();

signals:
    void fileOpened(const QString &path);
    void fileSavedAs(const QString &path);
    // The counts of the shown catalogue changed (countsText()).
    void countsChanged(const QString &text);
    // The translation being edited in place is `length` characters long and
    // may be `maximum` long; a negative length: no translation is edited.
    void editLengthChanged(qsizetype length, qsizetype maximum);
    // A message for the status bar's message pane; empty for the idle text.
    void statusMessage(const QString &text);
    // The grid's rows changed (rowsShownText()).
    void rowsShownChanged(const QString &text);
    // Entries became misspelled or correct (isMisspelled).
    void misspellingsChanged();
    void spellingStatusChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void onCheckChanged(int row);
    // Marks the row's entry as just changed (CatalogueRows::Mark) and repaints it.
    void markRow(int row, std::uint8_t marks);
    // Puts a translation (checked by the caller) into an entry of the shown
    // catalogue as an edit does: the entry, its row, yellow (red when too
    // long), the counts and the undo record; call it inside a ChangeStep and
    // beginRowLookup/endRowLookup. False when the catalogue lacks the original.
    bool putTranslation(const QString &original, const QString &translation);
    void onEditCommitted(int row, int column);
    bool handleKey(QKeyEvent *event, bool isShortcutOverride);
    void setupColumns();
    void fitColumns();
    double m_firstColumnShare = 0.5;
    bool m_fittingColumns = false;
    QString displayText(const QString &original) const;
    float shownRatio() const;
    int shownCodeType() const;
    PromptAnswer ask(const QString &text, PromptIcon icon, PromptButtons buttons);
    bool confirmCloseQuestions();
    bool showLoadedFile(int catalogueId, const QString &path);
    bool writeShownCatalogue(const QString &path, bool keepTree);
    void stopAtRow(int row);
    void setModified();
    FileDialogRequest fileRequest() const;
    void selectFoundRow(int row);
    // Search in slices (view_search.cpp).
    struct SearchRun;
    std::unique_ptr<SearchRun> m_search;
    QTimer *m_searchTimer = nullptr;
    void setupSlicedWork();
    void startSearchScan(int first, int count);
    void continueSearch();
    void searchScanned();
    void finishSearch();
    bool rowHoldsSearchText(int row, const TextMatcher &matcher) const;
    bool rowToReplace(int row, const TextMatcher &matcher) const;
    // Rows reset, inserted or removed under a running search.
    void rowsMovedUnderSearch();
    QString exportFileName(int kind);
    void exportFolderScripts(int kind);
    // Navigation and live counts.
    bool handleNavigationKey(QKeyEvent *event, bool isShortcutOverride);
    void navigate(bool toProblem, SearchDirection direction);
    std::vector<const StringEntry *> shownEntries() const;
    // The quick filter (view_filter.cpp).
    void rebuildRows(bool keepSelection);
    const CXMLStruct *rowsCatalogue() const;
    struct FilterPassRun;
    std::unique_ptr<FilterPassRun> m_filterPass;
    QTimer *m_filterTimer = nullptr;
    WorkSlices m_slices;
    void startFilterPass(bool keepSelection = true, bool runFirstSlice = true);
    void continueFilterPass();
    void showFilteredRows(std::vector<std::uint32_t> &&keys, const EntryFilter &filter, int catalogueId,
                          quint64 generation, bool keepSelection);
    void stopFilterPass();
    // Records for Changed that the entry went from `before` to `now`.
    void noteEntryChange(const StringEntry *entry, const EntryState &before, const EntryState &now);
    const StringEntry *shownEntry(const QString &original) const;
    EntryMarks filterMarks() const;
    CFilterBar *m_filterBar = nullptr;
    CatalogueRows m_rows;
    EntryFilter m_appliedFilter;       // what the rows were made with
    int m_appliedCatalogueId = -1;
    quint64 m_appliedGeneration = 0;
    quint64 m_entriesGeneration = 1;   // counts every change of the shown entries
    EntrySet m_misspelledEntries;
    // Changed since opened: each changed entry's state when first changed.
    std::unordered_map<const StringEntry *, EntryState> m_openedStates;
    EntrySet m_changedEntries;
    int m_changesCatalogueId = -1;
    void setupLiveCounts();
    void updateEditLength();

    UserPrompts &m_prompts;
    CReportCtrl *m_grid;
    CFindString *m_findDialog;
    CommandActions *m_commands = nullptr;
    QString m_title;
    bool m_clipboardHasText = false;
    EntryMap m_referenceEntries;
    ReferenceOriginals m_referenceOriginals;
    QString m_lastExportPath;  // where the last script table was written
    CatalogueCounts m_counts;        // of the catalogue m_countedCatalogueId
    int m_countedCatalogueId = -1;   // -1: nothing counted

    // Undo (view_undo.cpp).
    void pushStep(const QString &text);
    void syncModified();
    void updateUndoActions();
    int rowOfOriginal(const QString &original) const;
    // Row lookups by table while many rows change at once.
    void beginRowLookup();
    void endRowLookup();
    void showEntryRow(int row, const QString &original, const EntryState &state, bool markTranslation,
                      bool markFlag);
    QUndoStack *m_undoStack;
    std::vector<EntryChange> m_stepChanges;  // of the open step
    QString m_stepText;
    int m_stepDepth = 0;
    std::vector<int> m_rowLookup;  // entry number -> row, while many changes are applied
    bool m_rowLookupActive = false;
    bool m_rowsDeferred = false;  // rows are rebuilt once the changes are applied
    bool m_countsDeferred = false;  // counts are made afresh once the changes are applied
    bool m_changedBeyondHistory = false;  // unsaved changes older than the history
    // Find and replace (view_find_replace.cpp).
    class CFindReplaceDlg *m_replaceDialog = nullptr;
    int m_lastReplaceRow = -1;
    void replaceNext();
    void replaceFoundRow(int row);  // -1: none
    void replaceAll();
    enum class ReplaceResult { Unchanged, Replaced, Refused };
    ReplaceResult replaceInEntry(const QString &original, int row, QString *refusal);
    // Recovery and files changed on disk (view_recovery.cpp, view_disk_changes.cpp).
    QString shownTarget() const;
    QStringList shownFiles() const;
    JournalWriter *shownJournal();
    void noteJournalFailure();
    // The records of one step reach the journal's thread together.
    void beginJournalBatch();
    void endJournalBatch();
    void restoreJournal(FoundJournal &journal, const JournalPlan &plan);
    void setupDiskWatch();
    void watchShownFiles();
    QHash<QString, FileFingerprint> shownFilesNow() const;
    void rememberSavedFiles(const QHash<QString, FileFingerprint> &beforeSave);
    bool reloadShown();
    bool confirmOverwrite(const QStringList &paths);
    std::unique_ptr<ViewRecovery> m_recovery;
    // Exchange (view_exchange.cpp).
    QString m_lastExchangePath;  // the last XLIFF or PO file written or read
    QString exchangeStartFolder() const;
    // The translation memory (view_memory.cpp).
    bool handleSuggestionKey(QKeyEvent *event, bool isShortcutOverride);
    void updateSuggestions();
    void updateMemoryCommandStates();
    void followShownFiles();
    void memoryFilesSaved();
    void onMemoryChanged();
    CEditorMemory *m_memory = nullptr;
    QPointer<CSuggestionsDock> m_suggestionsDock;
    std::vector<TmSuggestion> m_suggestions;  // those the pane shows
    bool m_reportMemoryFailures = false;
    // Spelling (view_spelling.cpp).
    void setupSpelling();
    void restartSpelling();
    void spellingEntryChanged(const StringEntry &entry);
    QString spellingCountsText() const;
    void underlineMisspellings();
    void addSpellingActions(QMenu *menu, QAction *first, int position);
    bool handleSpellingKey(QKeyEvent *event, bool isShortcutOverride);
    void followMisspellingsInFilter();
    void refreshMisspelledEntries();
    bool m_misspelledStale = false;
    QString misspellingMark(int row) const;
    void navigateMisspelling(SearchDirection direction);
    SpellingSession *m_spelling = nullptr;
    CUnderlinedLineEdit *m_spellEditor = nullptr;
};

// The one view of the program, null when there is none.
CRendaroView *theView();
