#include "editor/checks/checks_feature.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "checks/check_registry.h"
#include "controls/underlined_line_edit.h"
#include "editor/checks/checks_dlg.h"
#include "editor/checks/checks_dock.h"
#include "editor/core/command_actions.h"
#include "editor/core/found_row.h"

#include <QKeyEvent>
#include <QSettings>

namespace {

// The settings group of the switches: a language code to the warnings
// switched off there ("DEU=case,urls"); files whose name names no language
// go under "-".
const QString kSwitchesGroup = QStringLiteral("ChecksOff");
const QString kNoLanguage = QStringLiteral("-");

// The warnings of findings, those no mark dismisses.
std::vector<const Finding *> warningsOf(const std::vector<Finding> &findings)
{
    std::vector<const Finding *> warnings;
    for (const Finding &finding : findings) {
        if (finding.severity == Severity::Warning && !finding.ignored)
            warnings.push_back(&finding);
    }
    return warnings;
}

} // namespace

ChecksFeature::ChecksFeature(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands), m_editor(qobject_cast<CUnderlinedLineEdit *>(view.grid()->editor())),
      m_dock(new CChecksDock(view))
{
    CReportCtrl *grid = view.grid();
    // An orange mark in the bottom right corner of the translation, apart
    // from the red, yellow and pink of the cell and spelling's dark red mark.
    m_markId = grid->AddCellMark(1, CellMarkStyle{qRgb(230, 120, 0), CellMarkCorner::BottomRight}, [this](int row) {
        const StringEntry *entry = m_view.RowEntry(row);
        return entry ? warningText(*entry) : QString();
    });
    auto marksChanged = [this] { m_view.grid()->MarksChanged(); };
    connect(&view, &CRendaroView::countsUpdated, this, marksChanged);
    connect(&view, &CRendaroView::recounted, this, marksChanged);
    connect(m_editor, &QLineEdit::textChanged, this, &ChecksFeature::noteTypedWarnings);
    connect(grid, &CReportCtrl::editingChanged, this, &ChecksFeature::noteTypedWarnings);
    connect(m_dock, &CChecksDock::ignoreRequested, this, [this](const IgnoreMark &mark) { ignore({mark}); });
    view.addKeyHandler(this, [this](QKeyEvent *event, bool isShortcutOverride) {
        return handleKey(event, isShortcutOverride);
    });
    if (commands) {
        commands->handle(Command::NextWarning, this, &ChecksFeature::OnNextWarning);
        commands->handle(Command::PreviousWarning, this, &ChecksFeature::OnPreviousWarning);
        commands->handle(Command::IgnoreWarning, this, &ChecksFeature::OnIgnoreWarning);
        commands->handle(Command::Checks, this, &ChecksFeature::OnChecks);
        connect(&view, &CRendaroView::commandStatesChanged, this, &ChecksFeature::updateCommandStates);
        updateCommandStates();
    }
    view.setCheckSource(this);
}

ChecksFeature::~ChecksFeature()
{
    m_view.setCheckSource(nullptr);
    m_view.grid()->RemoveCellMark(m_markId);
    m_editor->setNote(QStringLiteral("checks"), QString());
    delete m_dock;
}

void ChecksFeature::setSettings(QSettings *settings)
{
    m_settings = settings;
    QMap<QString, QString> off;
    if (settings) {
        settings->beginGroup(kSwitchesGroup);
        for (const QString &code : settings->childKeys())
            off.insert(code == kNoLanguage ? QString() : code, settings->value(code).toString());
        settings->endGroup();
    }
    m_switches = CheckSwitches::fromMap(off);
    m_view.checksChanged();
}

void ChecksFeature::saveSwitches()
{
    if (!m_settings)
        return;
    m_settings->remove(kSwitchesGroup);
    m_settings->beginGroup(kSwitchesGroup);
    const QMap<QString, QString> off = m_switches.toMap();
    for (auto it = off.cbegin(); it != off.cend(); ++it)
        m_settings->setValue(it.key().isEmpty() ? kNoLanguage : it.key(), it.value());
    m_settings->endGroup();
}

void ChecksFeature::updateCommandStates()
{
    const bool shown = m_view.currentCatalogueId() >= 0;
    const bool hasRows = m_view.grid()->GetItemCount() > 0;
    m_commands->action(Command::NextWarning)->setEnabled(hasRows);
    m_commands->action(Command::PreviousWarning)->setEnabled(hasRows);
    m_commands->action(Command::IgnoreWarning)->setEnabled(hasRows);
    m_commands->action(Command::Checks)->setEnabled(shown);
}

CheckChoice ChecksFeature::checksFor(const CheckTarget &target)
{
    CheckTarget withOptions = target;
    for (const OptionsProvider &provider : m_options)
        provider(target, withOptions.options);
    QStringList problems;
    CheckChoice choice;
    choice.set = CheckRegistry::standard().makeSet(withOptions, &problems);
    choice.set.applySwitches(m_switches);
    const QString said = problems.join(QStringLiteral("; "));
    if (!said.isEmpty() && said != m_problemsSaid)
        m_view.showStatus(tr("Some checks could not be made: %1").arg(said));
    m_problemsSaid = said;

    // The marks of a file: its own and its folder's; of a folder: the
    // folder's and each file's own.
    QStringList paths;
    if (target.files.isEmpty()) {
        paths = IgnoreMarks::filePathsForFile(target.path);
    } else {
        paths.append(IgnoreMarks::filePathFor(target.path));
        for (const QString &file : target.files)
            paths.append(IgnoreMarks::filePathFor(file));
    }
    auto marks = std::make_shared<IgnoreMarks>();
    for (const QString &path : std::as_const(paths)) {
        QString error;
        if (!marks->read(path, &error))
            m_view.showStatus(tr("The dismissed warnings of %1 are not used: %2").arg(path, error));
    }
    choice.marks = std::move(marks);
    return choice;
}

QString ChecksFeature::warningText(const StringEntry &entry) const
{
    const std::vector<const Finding *> warnings = warningsOf(m_view.findings().findingsOf(entry));
    if (warnings.empty())
        return QString();
    QStringList lines{warnings.size() == 1 ? tr("Warning:") : tr("Warnings:")};
    for (const Finding *finding : warnings)
        lines.append(QStringLiteral("%1: %2").arg(finding->check->info().name, finding->message));
    return lines.join(u'\n');
}

// The warnings of the text as it is typed, against the row's original, by
// the checks of each entry (those over several entries judge it once it is
// kept): named in the editor's accessible description and tooltip, and in
// the status bar.
void ChecksFeature::noteTypedWarnings()
{
    CReportCtrl *grid = m_view.grid();
    QString note;
    if (grid->isEditing() && grid->editColumn() == 1) {
        StringEntry typed;
        if (const StringEntry *entry = m_view.RowEntry(grid->editRow()))
            typed = *entry;
        else
            typed.original = m_view.DisplayedToOriginal(grid->editRow());
        typed.translation = m_editor->text();
        std::vector<Finding> found;
        m_view.findings().checks().judgeEntry(typed, found);
        QStringList lines;
        for (const Finding *finding : warningsOf(found))
            lines.append(QStringLiteral("%1: %2").arg(finding->check->info().name, finding->message));
        if (!lines.isEmpty())
            note = (lines.size() == 1 ? tr("Warning: ") : tr("Warnings: ")) + lines.join(QStringLiteral("; "));
    }
    const QString before = m_editor->note(QStringLiteral("checks"));
    if (note == before)
        return;
    m_editor->setNote(QStringLiteral("checks"), note);
    if (!note.isEmpty() || !before.isEmpty())
        m_view.showStatus(note);
}

void ChecksFeature::OnNextWarning() { navigate(SearchDirection::Forward); }
void ChecksFeature::OnPreviousWarning() { navigate(SearchDirection::Backward); }

// As Next Misspelling: an open edit is kept first (a refused one keeps its
// row), rows the filter hides are no candidates, and the search wraps.
// Warnings stand on translated strings, which Hide Translated Item hides:
// when it hides every warned row it is switched off and the search goes on
// from the same entry.
void ChecksFeature::navigate(SearchDirection direction)
{
    CReportCtrl *grid = m_view.grid();
    if (grid->GetItemCount() == 0)
        return;
    grid->EndEdit(true);
    if (grid->isEditing())
        return;
    const CatalogueFindings &findings = m_view.findings();
    EntrySearchResult found = FindWarning(m_view.rowEntries(), grid->FirstSelectedRow(), direction, findings);
    bool filterOff = false;
    if (found.position < 0 && m_view.hideTranslated() && findings.entriesWithWarnings() > 0) {
        const int selected = grid->FirstSelectedRow();
        const QString from = selected >= 0 ? m_view.DisplayedToOriginal(selected) : QString();
        m_view.setHideTranslated(false);
        filterOff = true;
        found = FindWarning(m_view.rowEntries(), from.isNull() ? -1 : m_view.rowOfOriginal(from), direction, findings);
    }
    if (found.position < 0) {
        m_view.showStatus(findings.isRecounting() ? tr("No warning found so far; the checks are still running.")
                                                  : tr("No warning found."));
        return;
    }
    SelectFoundRow(m_view, found, direction,
                   filterOff ? tr("Hide Translated Item was switched off to show the strings with warnings.")
                             : QString());
}

// F8 and Shift+F8 reach the view before the in-place editor, as F7 does.
bool ChecksFeature::handleKey(QKeyEvent *event, bool isShortcutOverride)
{
    if (event->key() != Qt::Key_F8 || m_view.grid()->GetItemCount() == 0)
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)
        return false;
    if (isShortcutOverride) {
        event->accept();
        return true;
    }
    navigate(modifiers == Qt::ShiftModifier ? SearchDirection::Backward : SearchDirection::Forward);
    return true;
}

QString ChecksFeature::ignoreFilePath() const
{
    const QString &path = m_view.currentPath();
    if (m_view.currentCatalogueId() == 0 && path.endsWith(QStringLiteral("/*")))
        return IgnoreMarks::filePathFor(path.chopped(2));
    return path.isEmpty() ? QString() : IgnoreMarks::filePathFor(path);
}

bool ChecksFeature::ignore(const std::vector<IgnoreMark> &marks)
{
    const QString path = ignoreFilePath();
    if (path.isEmpty()) {
        m_view.ask(tr("Save the strings to a file first: a dismissed warning is kept beside the file."),
                   PromptIcon::Information, PromptButtons::Ok);
        return false;
    }
    IgnoreMarks file;
    QString error;
    bool written = file.read(path, &error);
    if (written) {
        for (const IgnoreMark &mark : marks)
            file.add(mark);
        written = file.write(path, &error);
    }
    if (!written) {
        m_view.ask(messageText(MsgCannotSave) + QStringLiteral("\n\n%1: %2").arg(path, error), PromptIcon::Stop,
                   PromptButtons::Ok);
        return false;
    }
    m_view.checksChanged();  // the marks are read again
    m_view.showStatus(marks.size() == 1 ? tr("The warning is dismissed in %1.").arg(path)
                                        : tr("The warnings are dismissed in %1.").arg(path));
    return true;
}

void ChecksFeature::OnIgnoreWarning()
{
    const int row = m_view.grid()->FirstSelectedRow();
    const StringEntry *entry = row < 0 ? nullptr : m_view.RowEntry(row);
    static const std::vector<Finding> none;
    const std::vector<Finding> &findings = entry ? m_view.findings().findingsOf(*entry) : none;
    const std::vector<const Finding *> warnings = warningsOf(findings);
    if (warnings.empty()) {
        m_view.showStatus(tr("The selected string has no warning."));
        return;
    }
    std::vector<IgnoreMark> chosen;
    for (const Finding *finding : warnings)
        chosen.push_back(IgnoreMarkFor(*finding));
    if (warnings.size() > 1) {
        QStringList buttons;
        for (const Finding *finding : warnings)
            buttons.append(finding->check->info().name);
        buttons << tr("All of Them") << tr("Cancel");
        const int choice = m_view.prompts().choose(&m_view, tr("Which warning of \"%1\" is a false alarm?").arg(entry->original),
                                                   messageText(MsgAppName), PromptIcon::Question, buttons,
                                                   int(buttons.size()) - 1);
        if (choice < 0 || choice >= int(buttons.size()) - 1)
            return;
        if (choice < int(warnings.size()))
            chosen = {chosen[size_t(choice)]};
    }
    ignore(chosen);
}

void ChecksFeature::OnChecks()
{
    if (m_view.currentCatalogueId() < 0)
        return;
    const CheckLanguage language = m_view.findings().checks().context().language;
    CChecksDlg dialog(m_view.window());
    std::vector<CheckInfo> warnings;
    for (const CheckInfo &info : CheckRegistry::standard().checks()) {
        if (info.severity == Severity::Warning)
            warnings.push_back(info);
    }
    dialog.setChecks(language.code, warnings, m_switches);
    if (!m_view.prompts().runDialog(dialog))
        return;
    for (const CheckInfo &info : warnings)
        m_switches.setOn(language.code, info.id, dialog.isOn(info.id));
    saveSwitches();
    m_view.checksChanged();
}
