#pragma once
// The editor as the program builds it: the core view with every feature
// plugged in, and the few wires between features (the spelling checker's
// findings feed the quick filter's Misspelled state and the counts; a
// language folder opened offers its recovery journals, as a file opened
// does through the core's own signal; the program linked to a file gives
// the checks their program, the glossary of a file their terms). The
// features hold their own state and commands; none knows another, so each
// can be built with the core alone (as the tests of each feature do).
// Destroy this before the view.

#include <QObject>
#include <memory>

class BatchToolCommands;
class ChecksFeature;
class CommandActions;
class ConflictsFeature;
class ConsistencyCommand;
class CRendaroView;
class CSuggestionsDock;
class DiskWatch;
class GlossaryFeature;
class ExchangeCommands;
class ImportStringsCommand;
class LanguageFolderCommands;
class LiveCounts;
class MemoryFeature;
class Navigation;
class PreviewFeature;
class QSettings;
class QuickFilter;
class RecoveryJournal;
class ReferenceCommand;
class ScriptExportCommands;
class SearchFeature;
class SpellingFeature;

class EditorFeatures {
public:
    // `commands` may be null (no menu). The translation memory and spelling
    // need the program's settings; without them (tests, benchmarks) there
    // is no memory and spelling stays off, until setupMemory and
    // setSpellingSettings are called.
    EditorFeatures(CRendaroView &view, CommandActions *commands);
    ~EditorFeatures();
    EditorFeatures(const EditorFeatures &) = delete;
    EditorFeatures &operator=(const EditorFeatures &) = delete;

    // The memory built from `settings`, its suggestions in `dock` (null: no pane).
    void setupMemory(QSettings &settings, CSuggestionsDock *dock);
    void setSpellingSettings(QSettings *settings);
    // The program's settings for every feature that keeps some (spelling's
    // dictionary choices, the checks' switches, the programs of files, the
    // glossaries chosen).
    void setSettings(QSettings *settings);

    SearchFeature &search() const { return *m_search; }
    QuickFilter &filter() const { return *m_filter; }
    Navigation &navigation() const { return *m_navigation; }
    LiveCounts &counts() const { return *m_counts; }
    RecoveryJournal &recovery() const { return *m_recovery; }
    DiskWatch &diskWatch() const { return *m_diskWatch; }
    ExchangeCommands &exchange() const { return *m_exchange; }
    ScriptExportCommands &scriptExport() const { return *m_scriptExport; }
    SpellingFeature &spelling() const { return *m_spelling; }
    LanguageFolderCommands &folder() const { return *m_folder; }
    ConsistencyCommand &consistency() const { return *m_consistency; }
    ImportStringsCommand &importStrings() const { return *m_import; }
    ReferenceCommand &reference() const { return *m_reference; }
    BatchToolCommands &batchTools() const { return *m_batchTools; }
    ChecksFeature &checks() const { return *m_checks; }
    ConflictsFeature &conflicts() const { return *m_conflicts; }
    PreviewFeature &preview() const { return *m_preview; }
    GlossaryFeature &glossary() const { return *m_glossary; }
    // Null until setupMemory.
    MemoryFeature *memory() const { return m_memory.get(); }

private:
    CRendaroView &m_view;
    CommandActions *m_commands;
    std::unique_ptr<SearchFeature> m_search;
    std::unique_ptr<QuickFilter> m_filter;
    std::unique_ptr<Navigation> m_navigation;
    std::unique_ptr<LiveCounts> m_counts;
    std::unique_ptr<RecoveryJournal> m_recovery;
    std::unique_ptr<DiskWatch> m_diskWatch;
    std::unique_ptr<ExchangeCommands> m_exchange;
    std::unique_ptr<ScriptExportCommands> m_scriptExport;
    std::unique_ptr<SpellingFeature> m_spelling;
    std::unique_ptr<LanguageFolderCommands> m_folder;
    std::unique_ptr<ConsistencyCommand> m_consistency;
    std::unique_ptr<ImportStringsCommand> m_import;
    std::unique_ptr<ReferenceCommand> m_reference;
    std::unique_ptr<BatchToolCommands> m_batchTools;
    std::unique_ptr<ChecksFeature> m_checks;
    std::unique_ptr<ConflictsFeature> m_conflicts;
    std::unique_ptr<PreviewFeature> m_preview;
    std::unique_ptr<GlossaryFeature> m_glossary;
    std::unique_ptr<MemoryFeature> m_memory;
};
