#pragma once
// The menu and toolbar commands of the editor, one QAction each, keyed by
// their command number. The main window places them in its menu and toolbar;
// the view, the window and the application connect the ones they handle.
// A command nobody handles stays disabled.

#include <QHash>
#include <QObject>

class QAction;

enum class Command : int {
    FileNew = 57600,
    FileOpen = 57601,
    OpenLanguageFolder = 32785,
    FileSave = 57603,
    FileSaveAs = 57604,
    SaveNonTranslated = 32796,
    SaveAsJs = 32797,
    SaveAsPhp = 32798,
    ApplyTo = 32773,
    ImportString = 32776,
    GenerateAll = 32781,
    AppExit = 57665,
    EditUndo = 57643,
    EditCut = 57635,
    EditCopy = 57634,
    EditPaste = 57637,
    Search = 32777,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    HideTranslated = 32783,
    ReplaceOriginal = 32800,
    AddNewString = 32794,
    GenerateZiv = 32802,
    Settings = 32799,
    AppAbout = 57664,
    // Moving between rows that need work, and the language folder's report.
    NextUntranslated = 32910,
    PreviousUntranslated = 32911,
    NextProblem = 32912,
    PreviousProblem = 32913,
    ConsistencyReport = 32914,
    // Undo and find and replace.
    EditRedo = 32900,
    FindReplace = 32901,
    // The quick filter bar.
    Filter = 32920,
    // Exchange with translation tools (XLIFF, PO).
    ExportForTranslation = 32921,
    ImportTranslations = 32922,
    // The translation memory.
    TranslationMemory = 32923,
    PreTranslate = 32924,
    // Spelling.
    NextMisspelling = 32915,
    PreviousMisspelling = 32916,
    // The checks' warnings.
    NextWarning = 32925,
    PreviousWarning = 32926,
    IgnoreWarning = 32927,
    Checks = 32928,
    // The conflicts a merge left in a language file.
    ResolveConflicts = 32929,
    // The program a language file translates (its dialogs and menus).
    ProgramResources = 32930,
    // The glossary.
    Glossary = 32931,
    AddTerm = 32932,
};

class CommandActions : public QObject {
    Q_OBJECT
public:
    explicit CommandActions(QObject *parent = nullptr);

    QAction *action(Command command) const { return m_actions.value(int(command)); }
    // Connects the command to a handler and enables it.
    template <typename Receiver, typename Slot>
    void handle(Command command, Receiver *receiver, Slot slot);

signals:
    // A menu is about to open: handlers refresh the enabled states.
    void aboutToShowMenu();

private:
    QAction *handled(Command command);
    QHash<int, QAction *> m_actions;
};

#include <QAction>

template <typename Receiver, typename Slot>
void CommandActions::handle(Command command, Receiver *receiver, Slot slot)
{
    connect(handled(command), &QAction::triggered, receiver, slot);
}
