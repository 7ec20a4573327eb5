#pragma once
// The editor view: shows one catalogue of the document in the report grid
// ("Original (English)" and "Translation"), checks and stores in-place
// edits and check-box changes, and carries out the editor's commands. It
// changes catalogues only through the entry edits of the core
// (catalogue/entry_edits.h) and tells the grid about the rows that changed.

#include "catalogue/catalogue_counts.h"
#include "catalogue/catalogue_types.h"
#include "catalogue/entry_navigation.h"
#include "controls/report_ctrl.h"
#include "editor/reference_originals.h"
#include "editor/undo_commands.h"
#include "editor/user_prompts.h"

#include <QWidget>

class CFindString;
class CommandActions;
class CRendaroDoc;
class CUnderlinedLineEdit;
struct EntryState;
class QMenu;
class QSettings;
class QUndoStack;
class SpellingSession;

// Cell backgrounds of the view.
constexpr QRgb kTooLongColour = qRgb(250, 81, 81);      // red: translation too long
constexpr QRgb kMarkedColour = qRgb(250, 250, 140);     // yellow: not to be translated, or just changed
constexpr QRgb kUntranslatedColour = qRgb(255, 200, 230);  // pink: translation equals the original

class CRendaroView : public QWidget {
    Q_OBJECT
public:
    enum class OpenResult { Opened, Cancelled, Failed };

    explicit CRendaroView(UserPrompts &prompts, QWidget *parent = nullptr);
    ~CRendaroView() override;

    CReportCtrl *grid() const { return m_grid; }
    CFindString *findDialog() const { return m_findDialog; }

    // --- state read by the other parts of the editor ------------------------
    int currentCatalogueId = -1;  // -1 none, 0 the master catalogue, >= 1 one file
    QString currentPath;
    bool modified = false;
    QString searchText;
    bool matchCase = false;
    bool lastEditValid = true;
    bool hideTranslated = true;

    // --- the grid (view_grid.cpp) --------------------------------------------
    void RefreshGrid();
    void InsertRow(int row, const QString &original);
    QString DisplayedToOriginal(int row) const;
    // The checks of a translation against its original, with their messages.
    bool CheckPlaceholders(const QString &original, const QString &translation);
    bool CheckEscapeSequences(const QString &original, const QString &translation);
    bool CheckLength(const QString &original, const QString &translation, bool showMessage);

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
    void FindNext();

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
    // Entries became misspelled or correct (isMisspelled).
    void misspellingsChanged();
    void spellingStatusChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void onCheckChanged(int row);
    void onEditCommitted(int row, int column);
    bool handleKey(QKeyEvent *event, bool isShortcutOverride);
    void fitColumns();
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
    bool rowMatches(int row) const;
    void selectFoundRow(int row);
    QString exportFileName(int kind);
    void exportFolderScripts(int kind);
    // Navigation and live counts.
    bool handleNavigationKey(QKeyEvent *event, bool isShortcutOverride);
    void navigate(bool toProblem, SearchDirection direction);
    std::vector<const StringEntry *> shownEntries() const;
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
    QHash<QString, int> m_rowLookup;  // shown original -> row, while many changes are applied
    bool m_rowLookupActive = false;
    bool m_rowsDeferred = false;  // rows are rebuilt once the changes are applied
    bool m_countsDeferred = false;  // counts are made afresh once the changes are applied
    bool m_changedBeyondHistory = false;  // unsaved changes older than the history
    // Find and replace (view_find_replace.cpp).
    class CFindReplaceDlg *m_replaceDialog = nullptr;
    int m_lastReplaceRow = -1;
    void replaceNext();
    void replaceAll();
    enum class ReplaceResult { Unchanged, Replaced, Refused };
    ReplaceResult replaceInEntry(const QString &original, int row, QString *refusal);
    // Spelling (view_spelling.cpp).
    void setupSpelling();
    void restartSpelling();
    QStringList shownFiles() const;
    void spellingEntryChanged(const StringEntry &entry);
    QString spellingCountsText() const;
    void underlineMisspellings();
    void addSpellingActions(QMenu *menu, QAction *first, int position);
    bool handleSpellingKey(QKeyEvent *event, bool isShortcutOverride);
    QString misspellingMark(int row) const;
    void navigateMisspelling(SearchDirection direction);
    SpellingSession *m_spelling = nullptr;
    CUnderlinedLineEdit *m_spellEditor = nullptr;
};

// The one view of the program, null when there is none.
CRendaroView *theView();
