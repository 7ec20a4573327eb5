#include "editor/editor_features.h"

#include "batch_dialogs/batch_tool_commands.h"
#include "editor/checks/checks_feature.h"
#include "editor/conflicts/conflicts_feature.h"
#include "editor/consistency/consistency_command.h"
#include "editor/core/rendaro_view.h"
#include "editor/counts/live_counts.h"
#include "editor/exchange/exchange_commands.h"
#include "editor/filter/quick_filter.h"
#include "editor/folder/language_folder_commands.h"
#include "editor/glossary/glossary_feature.h"
#include "editor/import/import_strings_command.h"
#include "editor/memory/memory_feature.h"
#include "editor/navigation/navigation.h"
#include "editor/preview/preview_feature.h"
#include "editor/recovery/disk_watch.h"
#include "editor/recovery/recovery_journal.h"
#include "editor/reference/reference_command.h"
#include "editor/script_export/script_export_commands.h"
#include "editor/search/search_feature.h"
#include "editor/spelling/spelling_feature.h"
#include "editor/spelling/spelling_session.h"

EditorFeatures::EditorFeatures(CRendaroView &view, CommandActions *commands) : m_view(view), m_commands(commands)
{
    // Keys are offered to the features in the order they are made.
    m_navigation = std::make_unique<Navigation>(view, commands);
    // Spelling before the counts: a catalogue counted again restarts the
    // check first, so the counts' text never names the old findings.
    m_spelling = std::make_unique<SpellingFeature>(view, commands);
    m_counts = std::make_unique<LiveCounts>(view);
    m_search = std::make_unique<SearchFeature>(view, commands);
    m_filter = std::make_unique<QuickFilter>(view, commands);
    m_recovery = std::make_unique<RecoveryJournal>(view);
    m_diskWatch = std::make_unique<DiskWatch>(view);
    m_exchange = std::make_unique<ExchangeCommands>(view, commands);
    m_scriptExport = std::make_unique<ScriptExportCommands>(view, commands);
    m_folder = std::make_unique<LanguageFolderCommands>(view, commands);
    m_consistency = std::make_unique<ConsistencyCommand>(view, commands);
    m_import = std::make_unique<ImportStringsCommand>(view, commands);
    m_reference = std::make_unique<ReferenceCommand>(view, commands);
    m_batchTools = std::make_unique<BatchToolCommands>(view, commands);
    m_checks = std::make_unique<ChecksFeature>(view, commands);
    m_conflicts = std::make_unique<ConflictsFeature>(view, commands);
    m_preview = std::make_unique<PreviewFeature>(view, commands);
    m_glossary = std::make_unique<GlossaryFeature>(view, commands);

    // The program a file or folder is linked to gives the checks fit and
    // accelerator-clash; a new link makes the checks again.
    PreviewFeature *preview = m_preview.get();
    ChecksFeature *checks = m_checks.get();
    checks->addOptions([preview](const CheckTarget &target, QVariantMap &options) {
        preview->addCheckOptions(target, options);
    });
    QObject::connect(preview, &PreviewFeature::linkChanged, checks, &ChecksFeature::checksChanged);
    // The glossary the editor holds gives the term checks their terms; a
    // glossary chosen, changed on disk or added to makes the checks again.
    GlossaryFeature *glossary = m_glossary.get();
    checks->addOptions([glossary](const CheckTarget &target, QVariantMap &options) {
        glossary->addCheckOptions(target, options);
    });
    QObject::connect(glossary, &GlossaryFeature::glossaryChanged, checks, &ChecksFeature::checksChanged);

    // A folder the user opened offers its journals, as a file does.
    QObject::connect(m_folder.get(), &LanguageFolderCommands::folderOpened, m_recovery.get(),
                     &RecoveryJournal::OfferRecovery);

    // The spelling checker's findings: ", S misspelled" in the counts, the
    // Misspelled state of the quick filter. Findings of the background
    // check fill the Misspelled rows as they come; a row an edit changed
    // stays until the filter is applied again, as with the other states.
    SpellingFeature *spelling = m_spelling.get();
    SpellingSession *session = spelling->spelling();
    LiveCounts *counts = m_counts.get();
    QuickFilter *filter = m_filter.get();
    counts->addPart([spelling] { return spelling->countsPart(); });
    filter->setMisspelledSource([session] { return session->misspelledEntries(); });
    QObject::connect(spelling, &SpellingFeature::misspellingsChanged, counts, [session, counts, filter] {
        counts->refresh();
        filter->misspellingsChanged(session->isChecking());
    });
    QObject::connect(session, &SpellingSession::checkFinished, filter, [filter] { filter->misspellingsChanged(true); });
    QObject::connect(session, &SpellingSession::statusChanged, filter, [session, counts, filter] {
        filter->SetSpellingAvailable(session->isOn());
        filter->misspellingsChanged(true);
        counts->refresh();  // "S misspelled" comes and goes with spelling
    });
}

// The features go before the view they plug into.
EditorFeatures::~EditorFeatures() = default;

void EditorFeatures::setupMemory(QSettings &settings, CSuggestionsDock *dock)
{
    m_memory = std::make_unique<MemoryFeature>(m_view, m_commands, settings, dock);
}

void EditorFeatures::setSpellingSettings(QSettings *settings) { m_spelling->setSpellingSettings(settings); }

void EditorFeatures::setSettings(QSettings *settings)
{
    setSpellingSettings(settings);
    m_preview->setSettings(settings);
    m_glossary->setSettings(settings);
    m_checks->setSettings(settings);
}
