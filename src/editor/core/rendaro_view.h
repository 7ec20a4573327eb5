#pragma once
// The editor's core: the view that shows one catalogue of the document in
// the report grid ("Original (English)" and "Translation"). It owns what is
// shown (the catalogue, its path, whether it is modified, the selection),
// the grid and its rows, the edit path with its checks (the grid's in-place
// edits and check boxes, paste, Settings, and the live check state of every
// shown entry) and the undo stack, with the file commands that show and
// save. Features plug in around it (src/editor/*/): they read the shown
// entries, change them only through applyStep (one undo step), ask the user
// through prompts(), and hear what happens through the signals below. The
// features are owned by whoever builds the editor and go before the view.
// See README.md in this folder.

#include "catalogue/catalogue_counts.h"
#include "catalogue/catalogue_types.h"
#include "catalogue/entry_edits.h"
#include "catalogue/entry_filter.h"
#include "controls/report_ctrl.h"
#include "editor/core/catalogue_rows.h"
#include "editor/core/reference_originals.h"
#include "editor/core/undo_commands.h"
#include "editor/core/user_prompts.h"
#include "editor/core/work_slices.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class CMaxLengthSettingDlg;
class CommandActions;
class CUnderlinedLineEdit;
class QKeyEvent;
class QTimer;
class QUndoStack;
class QVBoxLayout;

// One entry of the shown catalogue changed, with its address there. For an
// entry taken away it is the address the entry had: a key, no longer to be
// read.
struct ShownEntryChange {
    const StringEntry *entry = nullptr;
    QString original;
    EntryState before;
    EntryState after;
};
using ShownEntryChanges = std::vector<ShownEntryChange>;

// The state a step puts an entry of the shown catalogue in; an entry the
// catalogue lacks is added, its row at the end of the grid.
struct EntryTarget {
    QString original;
    QString translation;
    int translatable = 1;
};

// How a step changes entries and shows their rows: Edit as a command's
// fresh change (each row changed is marked, the grid stays where it is,
// rows the filter hides stay hidden); Add puts new strings in with their
// rows at the end (as paste does); Replay as redo does (each row scrolled
// to, rows the filter shows again come back; new entries are added).
enum class StepKind { Edit, Add, Replay };

// What narrows the rows beyond Hide Translated Item (the quick filter): the
// text, state and toggles of the filter, and the sets of entries its states
// read (the core adds its own check state for Problems).
class RowFilterSource {
public:
    virtual ~RowFilterSource() = default;
    virtual void narrow(EntryFilter &filter) const = 0;
    virtual EntryMarks marks() const = 0;
    virtual bool isClear() const = 0;
    // Lets every row through again.
    virtual void clear() = 0;
};

class CRendaroView : public QWidget {
    Q_OBJECT
public:
    enum class OpenResult { Opened, Cancelled, Failed };
    // Takes a key before the grid, its editor and the menu shortcuts see it;
    // true when it was taken. On a shortcut override the handler only says
    // whether it wants the key (and accepts the event).
    using KeyHandler = std::function<bool(QKeyEvent *event, bool isShortcutOverride)>;
    // Asked before a save writes these files; false stops the save.
    using SaveGuard = std::function<bool(const QStringList &files)>;

    explicit CRendaroView(UserPrompts &prompts, QWidget *parent = nullptr);
    ~CRendaroView() override;

    // --- what is shown ------------------------------------------------------------
    // -1 none, 0 the master catalogue of a language folder, >= 1 one file.
    int currentCatalogueId() const { return m_catalogueId; }
    // The shown file, "FOLDER/*" for a language folder, empty for none.
    const QString &currentPath() const { return m_path; }
    bool isModified() const { return m_modified; }
    // The shown catalogue, null when none is shown.
    const CXMLStruct *shownCatalogue() const;
    // The files of what is shown: the file, or every file of the folder.
    QStringList shownFiles() const;
    // The check state of the shown entries (strings, untranslated, problems).
    const CatalogueCounts &counts() const { return m_counts; }
    QString title() const { return m_title; }
    void UpdateTitle(const QString &path, bool isModified);

    // --- showing, saving, closing ---------------------------------------------------
    // Opens a file as Open does after its dialog (command line, recent files, drop).
    OpenResult OpenPath(const QString &path);
    // Shows a file the document has just loaded (catalogueId < 0: it could
    // not be read, which is said) in place of what was shown, without the
    // questions Open asks first.
    bool ShowLoadedFile(int catalogueId, const QString &path);
    // Shows the master catalogue of these files (loaded and merged).
    void ShowLanguageFolder(const QString &folder, const QStringList &paths);
    // Reads the shown file or folder again; the unsaved changes go. False
    // when the file could not be read (said why; what was shown stays).
    bool reloadShown();
    // Offers to save unsaved changes; false when the user cancelled.
    bool PromptSave();
    // Closes every catalogue and shows nothing.
    void ResetView();
    // Checks every row as a save does, stopping at the first to mend.
    bool ValidateAllRows();
    // Asked before every save while `owner` lives; see SaveGuard.
    void addSaveGuard(QObject *owner, SaveGuard guard);
    // The shown catalogue's tree was written (saved: to its own file), so
    // it holds the entries added so far; their additions cannot be undone.
    void treeTookAdditions(bool saved);

    // --- the grid ---------------------------------------------------------------------
    CReportCtrl *grid() const { return m_grid; }
    // What the rows show: the catalogue they were made from, the entry of a
    // row key, the text column 0 shows for an entry.
    const CatalogueRows &rows() const { return m_rows; }
    // Puts a bar (the quick filter's) above the grid.
    void addBar(QWidget *bar);
    // Fills the grid afresh from the shown catalogue (Hide Translated Item
    // and the row filter applied); the marks of changed rows go.
    void RefreshGrid();
    bool hideTranslated() const { return m_hideTranslated; }
    void setHideTranslated(bool hide);
    QString DisplayedToOriginal(int row) const;
    // The shown catalogue's entry on a row, or null.
    const StringEntry *RowEntry(int row) const;
    // The entry of each row, in row order (null for a row of no entry).
    std::vector<const StringEntry *> rowEntries() const;
    int rowOfOriginal(const QString &original) const;
    // Selects and shows the row of `original`, clearing the row filter and
    // switching Hide Translated Item off when they hide it; false when the
    // shown catalogue lacks it.
    bool SelectOriginal(const QString &original);
    // Reference entries: their translations are shown in column 0 in place
    // of the originals (empty: the originals are shown).
    const EntryMap &referenceEntries() const { return m_referenceEntries; }
    void SetReferenceEntries(EntryMap entries);

    // --- the rows the filter shows ------------------------------------------------------
    void setRowFilterSource(RowFilterSource *source) { m_rowFilter = source; }
    // Shows the rows the filter lets through now, keeping the selected row
    // when it stays; on a large catalogue the rows come in slices.
    // marksChanged: the sets the row filter reads changed, so the pass
    // tests every entry again.
    void applyRowFilter(bool marksChanged = false);
    // A pass too long for one slice is running; the rows follow when done.
    bool isFiltering() const { return m_filterPass != nullptr; }
    // How long passes are cut into slices; tests set a limit of units a
    // slice so that small catalogues take many slices.
    WorkSlices &slices() { return m_slices; }

    // --- changes ------------------------------------------------------------------------
    // Puts entries of the shown catalogue in the given states as one undo
    // step named `name`: Edit and Replay change the entries the catalogue
    // holds, Add adds those it lacks (a new catalogue is made when none is
    // shown) and leaves the others as they are. Returns how many entries
    // changed.
    size_t applyStep(const QString &name, const std::vector<EntryTarget> &targets, StepKind kind = StepKind::Edit,
                     const CatalogueSettings *settings = nullptr);
    // Adds "original TAB translation" lines as new strings, as one step.
    void PasteText(const QString &text);
    QUndoStack *undoStack() const { return m_undoStack; }
    // False after the last edit was refused (its row keeps the editor).
    bool lastEditValid() const { return m_lastEditValid; }

    // --- the user -----------------------------------------------------------------------
    UserPrompts &prompts() const { return m_prompts; }
    PromptAnswer ask(const QString &text, PromptIcon icon, PromptButtons buttons);
    // A message for the status bar (empty: the idle text).
    void showStatus(const QString &text) { emit statusMessage(text); }
    // Keys go to `handler` while `owner` lives; see KeyHandler.
    void addKeyHandler(QObject *owner, KeyHandler handler);

    // --- commands -----------------------------------------------------------------------
    void bindCommands(CommandActions &commands);
    // Sets the enabled states of the commands; features follow through
    // commandStatesChanged.
    void updateCommandStates();

signals:
    // What is shown changed as a whole: a file or folder shown, reloaded or
    // closed, or New.
    void shownChanged();
    // The user opened a file (Open, a recent file, a drop, the command line).
    void opened();
    void fileOpened(const QString &path);
    void fileSavedAs(const QString &path);
    // Entries of the shown catalogue changed, by a step, an undo or a redo.
    void entriesChanged(const ShownEntryChanges &changes);
    // The shown catalogue got these settings (Settings, undo, a restore).
    void settingsChanged(const CatalogueSettings &settings);
    // Every shown entry was counted again (counts()).
    void recounted();
    // The check state of some entries changed after an edit.
    void countsUpdated();
    // The selected row changed (-1: none).
    void selectionChanged(int row);
    void modifiedChanged(bool modified);
    // The shown catalogue was written to its file (or every file of the
    // folder): that state is the clean one.
    void saved();
    // A save of these files ran; some may not have been written.
    void filesWritten(const QStringList &files);
    // What was shown was closed.
    void closed();
    void statusMessage(const QString &text);
    void commandStatesChanged();
    // The Settings dialog is about to open, and was accepted: features with
    // a part in it fill it and read it back.
    void settingsDialogOpening(CMaxLengthSettingDlg &dialog);
    void settingsDialogAccepted(const CMaxLengthSettingDlg &dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    friend class EntryChangesCommand;
    friend class SettingsChangeCommand;
    class ChangeStep;
    struct FilterPassRun;

    // Commands (view_file_commands.cpp, view_edit_commands.cpp, view_settings.cpp).
    void OnFileNew();
    void OnFileOpen();
    void OnDropFiles(const QStringList &paths);
    void OnFileSave();
    void OnFileSaveAs();
    void OnSaveNonTranslated();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditUndo();
    void OnEditRedo();
    void OnHideTranslated();
    void OnSettings();
    bool ConfirmClose();
    bool confirmCloseQuestions();
    bool writeShownCatalogue(const QString &path, bool keepTree);
    bool SaveWithDialog(bool keepTree);
    void SaveAllWithProgress();
    bool guardSave(const QStringList &files);
    FileDialogRequest fileRequest() const;
    void stopAtRow(int row);
    void setModified();
    void setShown(int catalogueId, const QString &path);
    bool CheckPlaceholders(const QString &original, const QString &translation);
    bool CheckEscapeSequences(const QString &original, const QString &translation);
    bool CheckLength(const QString &original, const QString &translation, bool showMessage);
    float shownRatio() const;
    int shownCodeType() const;
    void recountShown();

    // The grid (view_grid.cpp, view_rows.cpp).
    void onCheckChanged(int row);
    void onEditCommitted(int row, int column);
    void markRow(int row, std::uint8_t marks);
    void InsertRow(int row, const QString &original);
    bool handleKey(QKeyEvent *event, bool isShortcutOverride);
    const CXMLStruct *rowsCatalogue() const;
    EntryFilter gridFilter() const;
    EntryMarks filterMarks() const;
    void rebuildRows(bool keepSelection);
    void startFilterPass(bool keepSelection = true, bool runFirstSlice = true);
    void continueFilterPass();
    void stopFilterPass();
    void showFilteredRows(std::vector<std::uint32_t> &&keys, const EntryFilter &filter, int catalogueId,
                          quint64 generation, bool keepSelection);

    // Changes and undo (view_undo.cpp).
    void recordChange(const QString &original, const EntryState &before);
    void pushStep(const QString &text);
    void announceChanges();
    void countChange(const QString &original, const EntryState &before);
    void applyEntryChanges(const std::vector<EntryChange> &changes, bool undo);
    void applyEntryChange(const QString &original, const EntryState &state, bool markChanged);
    bool applyEdit(const EntryTarget &target);
    bool applyAddition(const EntryTarget &target);
    void applySettings(const CatalogueSettings &settings, bool rebuildRows);
    void syncModified();
    void updateUndoActions();
    void clearUndoHistory();
    void markSaved();
    void beginRowLookup();
    void endRowLookup();
    void showEntryRow(int row, const EntryState &state, bool markTranslation, bool markFlag);
    const StringEntry *shownEntry(const QString &original) const;

    UserPrompts &m_prompts;
    CReportCtrl *m_grid;
    QVBoxLayout *m_layout;
    CommandActions *m_commands = nullptr;
    std::vector<std::pair<QPointer<QObject>, KeyHandler>> m_keyHandlers;
    std::vector<std::pair<QPointer<QObject>, SaveGuard>> m_saveGuards;

    // What is shown.
    int m_catalogueId = -1;
    QString m_path;
    bool m_modified = false;
    bool m_lastEditValid = true;
    QString m_title;
    bool m_clipboardHasText = false;
    EntryMap m_referenceEntries;
    ReferenceOriginals m_referenceOriginals;
    CatalogueCounts m_counts;       // of the catalogue m_countedCatalogueId
    int m_countedCatalogueId = -1;  // -1: nothing counted

    // The rows.
    CatalogueRows m_rows;
    bool m_hideTranslated = true;
    RowFilterSource *m_rowFilter = nullptr;
    EntryFilter m_appliedFilter;  // what the rows were made with
    int m_appliedCatalogueId = -1;
    quint64 m_appliedGeneration = 0;
    quint64 m_entriesGeneration = 1;  // counts every change of the shown entries
    std::unique_ptr<FilterPassRun> m_filterPass;
    QTimer *m_filterTimer = nullptr;
    WorkSlices m_slices;

    // Undo.
    QUndoStack *m_undoStack;
    std::vector<EntryChange> m_stepChanges;  // of the open step
    ShownEntryChanges m_announced;           // changes not yet told to the features
    QString m_stepText;
    int m_stepDepth = 0;
    std::vector<int> m_rowLookup;  // entry number -> row, while many changes are applied
    bool m_rowLookupActive = false;
    bool m_rowsDeferred = false;    // rows are rebuilt once the changes are applied
    bool m_countsDeferred = false;  // counts are made afresh once the changes are applied
    bool m_changedBeyondHistory = false;  // unsaved changes older than the history
};
