#include "editor/core/command_actions.h"

#include <QKeySequence>

namespace {

struct CommandText {
    Command command;
    const char *text;  // menu text; the menu shows the first shortcut beside it
    QList<QKeySequence> shortcuts;
};

const QList<CommandText> &commandTexts()
{
    static const QList<CommandText> texts = {
        {Command::FileNew, "&New", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {Command::FileOpen, "&Open...", {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {Command::OpenLanguageFolder, "Open Language Folder...", {}},
        {Command::FileSave, "&Save", {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {Command::FileSaveAs, "Save &As...", {}},
        {Command::SaveNonTranslated, "Save Only Non-translated String As...", {}},
        {Command::SaveAsJs, "Save As *.js...", {}},
        {Command::SaveAsPhp, "Save As *.php(Vantor)...", {}},
        {Command::ApplyTo, "Apply To...", {}},
        {Command::ImportString, "Import String From...", {}},
        {Command::GenerateAll, "Generate All Language File From this...", {}},
        {Command::AppExit, "E&xit", {}},
        {Command::EditUndo, "&Undo",
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {Command::EditCut, "&Cut",
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {Command::EditCopy, "&Copy",
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {Command::EditPaste, "&Paste",
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        // While a file is shown the view takes Ctrl+F before the shortcut does.
        {Command::Search, "&Search", {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {Command::ViewToolbar, "&Toolbar", {}},
        {Command::ViewStatusBar, "&Status Bar", {}},
        {Command::HideTranslated, "Hide Translated Item", {}},
        {Command::ReplaceOriginal, "Replace Original English", {}},
        {Command::AddNewString, "Add new string", {}},
        {Command::GenerateZiv, "Generate ZIV", {}},
        {Command::Settings, "Settings", {}},
        {Command::AppAbout, "&About Rendaro...", {}},
        // The view takes these keys before the in-place editor does (see
        // CRendaroView::handleKey), so they move on while a text is edited.
        {Command::NextUntranslated, "Next &Untranslated", {QKeySequence(Qt::CTRL | Qt::Key_J)}},
        {Command::PreviousUntranslated, "Previous U&ntranslated", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J)}},
        {Command::NextProblem, "Next &Problem", {QKeySequence(Qt::CTRL | Qt::Key_K)}},
        {Command::PreviousProblem, "Previous P&roblem", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)}},
        {Command::ConsistencyReport, "&Consistency Report...", {}},
        // Undo and find and replace.
        {Command::EditRedo, "&Redo",
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
        {Command::FindReplace, "&Replace...", {QKeySequence(Qt::CTRL | Qt::Key_H)}},
        {Command::Filter, "F&ilter", {QKeySequence(Qt::CTRL | Qt::Key_L)}},
        // Exchange with translation tools.
        {Command::ExportForTranslation, "Export for Translation...", {}},
        {Command::ImportTranslations, "Import Translations...", {}},
        {Command::ResolveConflicts, "Resolve Conflicts...", {}},
        // The translation memory.
        {Command::TranslationMemory, "Translation &Memory...", {}},
        {Command::PreTranslate, "&Pre-translate...", {}},
        // Spelling; the view takes F7 before the in-place editor, as Ctrl+K.
        {Command::NextMisspelling, "Next &Misspelling", {QKeySequence(Qt::Key_F7)}},
        {Command::PreviousMisspelling, "Previous M&isspelling", {QKeySequence(Qt::SHIFT | Qt::Key_F7)}},
        // The checks' warnings; F8 as F7.
        {Command::NextWarning, "Next &Warning", {QKeySequence(Qt::Key_F8)}},
        {Command::PreviousWarning, "Previous W&arning", {QKeySequence(Qt::SHIFT | Qt::Key_F8)}},
        {Command::IgnoreWarning, "I&gnore This Warning", {}},
        {Command::Checks, "&Checks...", {}},
        {Command::ProgramResources, "Program &Resources...", {}},
        {Command::Glossary, "&Glossary...", {}},
        {Command::AddTerm, "Add &Term...", {QKeySequence(Qt::CTRL | Qt::Key_T)}},
    };
    return texts;
}

} // namespace

CommandActions::CommandActions(QObject *parent) : QObject(parent)
{
    for (const CommandText &entry : commandTexts()) {
        auto *action = new QAction(QString::fromUtf8(entry.text), this);
        action->setShortcuts(entry.shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        action->setData(int(entry.command));
        m_actions.insert(int(entry.command), action);
    }
    action(Command::ViewToolbar)->setCheckable(true);
    action(Command::ViewStatusBar)->setCheckable(true);
    action(Command::HideTranslated)->setCheckable(true);
}

QAction *CommandActions::handled(Command command)
{
    QAction *target = action(command);
    target->setEnabled(true);
    return target;
}
