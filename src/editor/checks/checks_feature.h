#pragma once
// The checks in the editor: which checks judge the shown file (the core asks
// for them as its CheckSource), the warnings they raise shown and reached
// (an orange mark in the translation cell listing every failing check, the
// in-place editor naming the warnings of the text as it is typed, Go > Next
// and Previous Warning, F8 and Shift+F8), dismissed for the whole team
// (Edit > Ignore This Warning writes a mark into the ignore file beside the
// language file or folder) and switched on or off per language (Tool >
// Checks..., kept in the settings). View > Checks is a dock listing every
// warning of the file (checks_dock.h).
//
// Checks that need data of their own (a program's dialogs, a glossary) get
// it through the options other features give (addOptions).

#include "catalogue/entry_navigation.h"
#include "checks/check_switches.h"
#include "checks/ignore_marks.h"
#include "editor/core/rendaro_view.h"

#include <QObject>
#include <QPointer>

#include "editor/checks/checks_dock.h"
#include <functional>
#include <vector>

class CommandActions;
class CUnderlinedLineEdit;
class QKeyEvent;
class QSettings;

class ChecksFeature : public QObject, public CheckSource {
    Q_OBJECT
public:
    ChecksFeature(CRendaroView &view, CommandActions *commands);
    ~ChecksFeature() override;

    // The switches of Tool > Checks are kept in `settings` (the main
    // window's); without settings every warning is on.
    void setSettings(QSettings *settings);
    const CheckSwitches &switches() const { return m_switches; }
    // Options for the checks with data of their own, for a shown file or
    // folder (CheckTarget::options); checksChanged when they change.
    using OptionsProvider = std::function<void(const CheckTarget &target, QVariantMap &options)>;
    void addOptions(OptionsProvider provider) { m_options.push_back(std::move(provider)); }
    void checksChanged() { m_view.checksChanged(); }

    // The Checks dock (View > Checks); the main window places it.
    CChecksDock *dock() const { return m_dock; }

    void OnNextWarning();
    void OnPreviousWarning();
    // Dismisses a warning of the selected row (asking which when it has
    // several) by a mark in the ignore file.
    void OnIgnoreWarning();
    void OnChecks();
    // Writes the marks that dismiss these warnings (IgnoreMarkFor); false
    // (and said) when the ignore file could not be written.
    bool ignore(const std::vector<IgnoreMark> &marks);
    // "Warnings: ..." of an entry's findings no mark dismisses, one a line.
    QString warningText(const StringEntry &entry) const;
    // The ignore file a mark of the shown file or folder goes to.
    QString ignoreFilePath() const;

    // CheckSource
    CheckChoice checksFor(const CheckTarget &target) override;

private:
    void navigate(SearchDirection direction);
    bool handleKey(QKeyEvent *event, bool isShortcutOverride);
    void noteTypedWarnings();
    void updateCommandStates();
    void saveSwitches();

    CRendaroView &m_view;
    CommandActions *m_commands;
    QSettings *m_settings = nullptr;
    CheckSwitches m_switches;
    std::vector<OptionsProvider> m_options;
    CUnderlinedLineEdit *m_editor;
    int m_markId = 0;
    QPointer<CChecksDock> m_dock;
    QString m_problemsSaid;  // the factories' problems last said
};
