#pragma once
// A document, scripted prompts and a shown editor (the core view with every
// feature, its commands bound) for one test, with a temporary folder for the
// language files it opens.

#include "batch_dialogs/batch_tool_commands.h"
#include "catalogue/document.h"
#include "editor/conflicts/conflicts_feature.h"
#include "editor/consistency/consistency_command.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/counts/live_counts.h"
#include "editor/editor_features.h"
#include "editor/exchange/exchange_commands.h"
#include "editor/filter/quick_filter.h"
#include "editor/folder/language_folder_commands.h"
#include "editor/import/import_strings_command.h"
#include "editor/memory/memory_feature.h"
#include "editor/navigation/navigation.h"
#include "editor/recovery/disk_watch.h"
#include "editor/recovery/recovery_journal.h"
#include "editor/reference/reference_command.h"
#include "editor/script_export/script_export_commands.h"
#include "editor/search/search_feature.h"
#include "editor/spelling/spelling_feature.h"
#include "scripted_prompts.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

class EditorFixture {
public:
    EditorFixture();
    ~EditorFixture();

    // Writes a language file (standard header, CR LF) with these lines
    // inside <Language rootAttributes>; returns its path.
    QString writeLanguageFile(const QString &name, const QList<QByteArray> &lines,
                              const QByteArray &rootAttributes = "AllowLength=\"2.000000\" CodeType=\"CPlus2\"");
    QString path(const QString &name) const { return m_folder.filePath(name); }
    // Opens the file in the view (as Open does after its dialog).
    bool open(const QString &path);
    // Open Language Folder on `folder` with every listed file chosen (no
    // save question expected).
    void openFolder(const QString &folder);
    // Shows `translation` in column 0 in place of `original` (as Replace
    // Original English does with a reference file holding that pair).
    void showReference(const QString &original, const QString &translation);

    // Clicks the middle of a cell of the grid.
    void clickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton);
    // Opens the editor on the translation of `row`, types `text` and presses Enter.
    void editTranslation(int row, const QString &text);
    // The row whose column 0 shows `original`, -1 when none does.
    int rowOf(const QString &original) const;
    QString storedTranslation(const QString &original) const;
    int storedTranslatable(const QString &original) const;

    // Runs a command as its menu item does (also when it is disabled, as a
    // call of its handler would).
    void run(Command command);
    // Drops files on the view.
    void drop(const QStringList &paths);

    SearchFeature &search() const { return features->search(); }
    QuickFilter &filter() const { return features->filter(); }
    Navigation &navigation() const { return features->navigation(); }
    LiveCounts &counts() const { return features->counts(); }
    RecoveryJournal &recovery() const { return features->recovery(); }
    DiskWatch &diskWatch() const { return features->diskWatch(); }
    ExchangeCommands &exchange() const { return features->exchange(); }
    ScriptExportCommands &scriptExport() const { return features->scriptExport(); }
    SpellingFeature &spelling() const { return features->spelling(); }
    LanguageFolderCommands &folder() const { return features->folder(); }
    ConsistencyCommand &consistency() const { return features->consistency(); }
    ImportStringsCommand &importStrings() const { return features->importStrings(); }
    ReferenceCommand &reference() const { return features->reference(); }
    BatchToolCommands &batchTools() const { return features->batchTools(); }
    ConflictsFeature &conflicts() const { return features->conflicts(); }
    // After features->setupMemory.
    MemoryFeature &memory() const { return *features->memory(); }

    CRendaroDoc document;
    ScriptedPrompts prompts;
    CommandActions commands;
    CRendaroView *view = nullptr;
    std::unique_ptr<EditorFeatures> features;
    CReportCtrl *grid = nullptr;

private:
    QTemporaryDir m_folder;
};

QByteArray fileBytes(const QString &path);
