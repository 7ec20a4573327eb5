// The translation memory in the editor: the Suggestions pane following the
// selected row, Ctrl+1 ... Ctrl+5 (or a double-click in the pane) putting a
// suggestion into the row as an edit would, Tool > Translation Memory and
// Tool > Pre-translate. The memory itself lives in CEditorMemory, which
// builds it on a worker thread.

#include "editor/memory/memory_feature.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/core/step_report.h"
#include "editor/memory/editor_memory.h"
#include "editor/memory/pretranslate_dlg.h"
#include "editor/memory/suggestions_dock.h"
#include "editor/memory/tm_settings_dlg.h"
#include "exchange/language_tags.h"
#include "memory/pretranslate.h"
#include "memory/text_diff.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QUndoStack>

namespace {

// Suggestions shown in the pane, one shortcut each.
constexpr int kShownSuggestions = 5;
// Originals named in the Pre-translate summary.
constexpr int kPretranslateNamedLeftOut = 10;
// Unreadable memory files named in the pane.
constexpr int kNamedFailures = 3;

QString failureText(const FileFailure &failure) { return QStringLiteral("%1 (%2)").arg(failure.path, failure.reason); }

} // namespace

MemoryFeature::MemoryFeature(CRendaroView &view, CommandActions *commands, QSettings &settings,
                             CSuggestionsDock *dock)
    : m_view(view), m_commands(commands), m_memory(new CEditorMemory(settings, this)), m_suggestionsDock(dock)
{
    connect(m_memory, &CEditorMemory::buildProgress, this, [this](int done, int total) {
        m_view.showStatus(tr("Building the translation memory: %1 of %2 files...").arg(done).arg(total));
    });
    connect(m_memory, &CEditorMemory::memoryChanged, this, &MemoryFeature::onMemoryChanged);
    if (dock) {
        connect(dock, &CSuggestionsDock::suggestionChosen, this, [this](int index) { applySuggestion(index); });
        connect(dock, &QDockWidget::visibilityChanged, this, [this] { updateSuggestions(); });
    }
    connect(&view, &CRendaroView::selectionChanged, this, &MemoryFeature::updateSuggestions);
    connect(view.grid()->rowModel(), &QAbstractItemModel::modelReset, this, [this] {
        followShownFiles();
        updateSuggestions();
    });
    // A save writes the files the memory may hold: it is built again from them.
    connect(view.undoStack(), &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean)
            memoryFilesSaved();
    });
    view.addKeyHandler(this, [this](QKeyEvent *event, bool isShortcutOverride) {
        return handleSuggestionKey(event, isShortcutOverride);
    });
    if (commands) {
        commands->handle(Command::TranslationMemory, this, &MemoryFeature::OnTranslationMemory);
        commands->handle(Command::PreTranslate, this, &MemoryFeature::OnPreTranslate);
        connect(&view, &CRendaroView::commandStatesChanged, this, &MemoryFeature::updateCommandStates);
        updateCommandStates();
    }
    if (m_memory->hasSources())
        m_memory->rebuild();
    updateSuggestions();
}

MemoryFeature::~MemoryFeature() = default;

void MemoryFeature::updateCommandStates()
{
    m_commands->action(Command::PreTranslate)->setEnabled(m_view.currentCatalogueId() >= 0);
}

int MemoryFeature::shownCodeType() const
{
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    return catalogue ? catalogue->codeType : CodeTypeCpp;
}

// In a language folder the loaded files are part of the memory; TMX files
// give the translations into the shown file's language (a folder's: its
// first file's).
void MemoryFeature::followShownFiles()
{
    QStringList files;
    if (m_view.currentCatalogueId() == 0) {
        const std::vector<CXMLStruct> &catalogues = theDocument()->catalogues();
        for (size_t i = 1; i < catalogues.size(); ++i)
            files.append(catalogues[i].filePath);
    }
    const QString shownFile = m_view.currentCatalogueId() == 0 ? files.value(0) : m_view.currentPath();
    const QString language = LanguageTagForPath(shownFile);
    if (!language.isEmpty())  // a new file without a name keeps the language of the last one
        m_memory->setLanguage(language);
    m_memory->setFolderFiles(files);
}

void MemoryFeature::memoryFilesSaved()
{
    if (m_view.currentCatalogueId() == 0 && !m_memory->folderFiles().isEmpty()) {
        m_memory->rebuild();
        return;
    }
    const std::shared_ptr<const TranslationMemory> memory = m_memory->memory();
    if (!memory || m_view.currentPath().isEmpty())
        return;
    const QString shown = QFileInfo(m_view.currentPath()).canonicalFilePath();
    for (const QString &file : memory->files()) {
        if (QFileInfo(file).canonicalFilePath() == shown) {
            m_memory->rebuild();
            return;
        }
    }
}

void MemoryFeature::onMemoryChanged()
{
    const std::shared_ptr<const TranslationMemory> memory = m_memory->memory();
    const std::vector<FileFailure> &failures = m_memory->failures();
    if (memory) {
        const QLocale locale;
        const std::size_t segments = memory->segmentCount();
        const int files = m_memory->filesRead();
        QString text = tr("Translation memory ready: %1 %2 from %3 %4.")
                           .arg(locale.toString(qulonglong(segments)), segments == 1 ? tr("string") : tr("strings"))
                           .arg(files)
                           .arg(files == 1 ? tr("file") : tr("files"));
        if (!failures.empty())
            text += tr(" %1 could not be read.").arg(failures.size());
        if (!m_memory->notes().empty())
            text += tr(" Some TMX units were left out.");
        m_view.showStatus(text);
    }
    // The files chosen just now that cannot be read, or were read in part,
    // are named with the reason.
    const std::vector<FileFailure> &notes = m_memory->notes();
    if (std::exchange(m_reportMemoryFailures, false) && (!failures.empty() || !notes.empty())) {
        QStringList named;
        for (const FileFailure &failure : failures)
            named.append(failureText(failure));
        QString text;
        if (!named.isEmpty())
            text = messageText(MsgCannotOpen) + QStringLiteral("\n\n") + named.join(u'\n');
        named.clear();
        for (const FileFailure &note : notes)
            named.append(failureText(note));
        if (!named.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + tr("Read in part:") + u'\n'
                + named.join(u'\n');
        m_view.ask(text, PromptIcon::Exclamation, PromptButtons::Ok);
    }
    updateSuggestions();
}

void MemoryFeature::updateSuggestions()
{
    m_suggestions.clear();
    if (!m_suggestionsDock)
        return;
    const std::shared_ptr<const TranslationMemory> memory = m_memory->memory();
    const int row = m_view.grid()->FirstSelectedRow();
    std::vector<SuggestionItem> items;
    QString note;
    if (!m_memory->hasSources()) {
        note = tr("No translation memory: choose its files and folders with Tool > Translation Memory...");
    } else if (!memory) {
        note = m_memory->isBuilding() ? tr("Building the translation memory...")
                                      : tr("The translation memory could not be read.");
    } else if (row < 0 || m_view.currentCatalogueId() < 0) {
        note = tr("Select a string to see its suggestions.");
    } else if (!m_suggestionsDock->isHidden()) {
        const QString original = m_view.DisplayedToOriginal(row);
        m_suggestions = memory->lookup(original, m_memory->minimumScore(), kShownSuggestions);
        for (const TmSuggestion &suggestion : m_suggestions) {
            SuggestionItem item;
            item.score = suggestion.score;
            item.translation = suggestion.translation;
            item.original = suggestion.original;
            item.differences = DifferingRanges(original, suggestion.original);
            item.file = QFileInfo(suggestion.files.value(0)).fileName();
            if (suggestion.files.size() > 1)
                item.file += tr(" (+%1)").arg(suggestion.files.size() - 1);
            item.details = suggestion.files.join(u'\n');
            if (!suggestion.keys.isEmpty())
                item.details += u'\n' + tr("Keys: %1").arg(suggestion.keys.join(QStringLiteral(", ")));
            const CheckResult check = CheckSuggestion(original, suggestion.translation, shownCodeType());
            if (!check.ok)
                item.problem = check.message;
            items.push_back(std::move(item));
        }
        if (m_suggestions.empty())
            note = tr("No suggestions for this string.");
        else if (m_suggestions.size() == 1)
            note = tr("1 suggestion (Ctrl+1 puts it in):");
        else
            note = tr("%1 suggestions (Ctrl+1 ... Ctrl+%1 put one in):").arg(m_suggestions.size());
        if (m_memory->isBuilding())
            note += tr(" The memory is being built again.");
    }
    const std::vector<FileFailure> &failures = m_memory->failures();
    if (!failures.empty()) {
        QStringList named;
        for (size_t i = 0; i < failures.size() && i < size_t(kNamedFailures); ++i)
            named.append(failureText(failures[i]));
        note += u'\n' + tr("Could not read: %1").arg(named.join(QStringLiteral("; ")));
        if (failures.size() > size_t(kNamedFailures))
            note += tr(" and %1 more").arg(failures.size() - size_t(kNamedFailures));
    }
    m_suggestionsDock->showSuggestions(items, note);
}

bool MemoryFeature::handleSuggestionKey(QKeyEvent *event, bool isShortcutOverride)
{
    if (!m_suggestionsDock)
        return false;
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ControlModifier || key < Qt::Key_1 || key >= Qt::Key_1 + kShownSuggestions)
        return false;
    if (isShortcutOverride) {
        event->accept();
        return true;
    }
    applySuggestion(key - Qt::Key_1);
    return true;
}

// The same checks and messages as an edit in the grid: a placeholder or a
// line break that does not fit the row's original is refused, a long text
// is kept with a warning and coloured red.
bool MemoryFeature::applySuggestion(int index)
{
    if (index < 0 || size_t(index) >= m_suggestions.size())
        return false;
    const int row = m_view.grid()->FirstSelectedRow();
    if (row < 0 || m_view.currentCatalogueId() < 0)
        return false;
    const QString text = m_suggestions[size_t(index)].translation;
    if (m_view.grid()->isEditing()) {
        // The open editor takes the text (its own Ctrl+Z takes it back);
        // Enter commits it as typed text is committed.
        QLineEdit *editor = m_view.grid()->editor();
        editor->selectAll();
        editor->insert(text);
        editor->setFocus();
        return true;
    }
    if (m_view.grid()->GetCheck(row)) {
        m_view.showStatus(tr("The string is marked not to be translated."));
        return false;
    }
    const QString original = m_view.DisplayedToOriginal(row);
    const CheckResult check = CheckSuggestion(original, text, shownCodeType());
    if (!check.ok) {
        m_view.ask(check.message, PromptIcon::Stop, PromptButtons::Ok);
        return false;
    }
    // A text too long is kept, with a warning; its row turns red.
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    const CheckResult length = CheckLength(original, text, catalogue ? catalogue->lengthRatio : 2.0f);
    if (!length.ok)
        m_view.ask(length.message, PromptIcon::Exclamation, PromptButtons::Ok);
    if (!ReadEntryState(*theDocument(), m_view.currentCatalogueId(), original).existed)
        return false;
    if (m_view.applyStep(tr("Use Suggestion"), {{original, text, 1}}).withWarnings > 0)
        m_view.showStatus(tr("The suggestion raises a warning (Go > Next Warning)."));
    return true;
}

void MemoryFeature::OnTranslationMemory()
{
    CTmSettingsDlg dialog(m_view.prompts(), m_view.window());
    dialog.paths = m_memory->paths();
    dialog.minimumScore = m_memory->minimumScore();
    dialog.loadFields();
    if (!m_view.prompts().runDialog(dialog))
        return;
    m_reportMemoryFailures = true;  // the files chosen just now that cannot be read are named
    m_memory->setConfiguration(dialog.paths, dialog.minimumScore);
    updateSuggestions();
}

void MemoryFeature::OnPreTranslate()
{
    m_view.grid()->EndEdit(true);
    if (m_view.grid()->isEditing())
        return;  // an open edit was refused and says why
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    if (!catalogue)
        return;
    if (!m_memory->hasSources()) {
        m_view.ask(tr("No translation memory is set. Choose its files and folders with Tool > Translation Memory..."),
            PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    const std::shared_ptr<const TranslationMemory> memory = m_memory->memory();
    if (m_memory->isBuilding() || !memory) {
        m_view.ask(tr("The translation memory is still being built. Please try again when the status bar says it is "
               "ready."),
            PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    CPreTranslateDlg dialog(m_view.window());
    if (!m_view.prompts().runDialog(dialog))
        return;

    PreTranslationPlan plan;
    {
        std::unique_ptr<ProgressReporter> progress = m_view.prompts().progress(&m_view, tr("Pre-translate"));
        plan = PlanPreTranslation(*catalogue, *memory, dialog.minimumScore(), progress.get());
    }
    if (plan.cancelled) {
        m_view.showStatus(tr("Pre-translate cancelled; nothing was changed."));
        return;
    }
    std::vector<EntryTarget> fills;
    fills.reserve(plan.fills.size());
    for (const PreTranslationFill &fill : plan.fills)
        fills.push_back({fill.original, fill.translation, 1});
    const StepResult step = m_view.applyStep(tr("Pre-translate"), fills);
    QString summary = PreTranslationSummary(plan);
    if (!plan.leftOut.empty()) {
        QStringList named;
        for (size_t i = 0; i < plan.leftOut.size() && i < size_t(kPretranslateNamedLeftOut); ++i)
            named.append(QStringLiteral("\"%1\" (%2)").arg(plan.leftOut[i].original, plan.leftOut[i].check.message));
        summary += QStringLiteral(":\n") + named.join(u'\n');
        if (plan.leftOut.size() > size_t(kPretranslateNamedLeftOut))
            summary += tr("\n... and %1 more").arg(plan.leftOut.size() - size_t(kPretranslateNamedLeftOut));
    }
    summary += StepWarningsText(step);
    m_view.ask(summary, plan.leftOut.empty() ? PromptIcon::Information : PromptIcon::Exclamation, PromptButtons::Ok);
    updateSuggestions();
}
