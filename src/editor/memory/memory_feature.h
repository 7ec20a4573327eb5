#pragma once
// The translation memory in the editor: the Suggestions pane following the
// selected row, Ctrl+1 ... Ctrl+5 (or a double-click in the pane) putting a
// suggestion into the row as an edit would, Tool > Translation Memory and
// Tool > Pre-translate. The memory itself lives in CEditorMemory, which
// builds it on a worker thread.

#include "memory/translation_memory.h"

#include <QObject>
#include <QPointer>
#include <vector>

class CEditorMemory;
class CommandActions;
class CRendaroView;
class CSuggestionsDock;
class QKeyEvent;
class QSettings;

class MemoryFeature : public QObject {
    Q_OBJECT
public:
    // Builds the memory chosen in `settings` and shows the suggestions for
    // the selected row in `dock` (null: no pane).
    MemoryFeature(CRendaroView &view, CommandActions *commands, QSettings &settings, CSuggestionsDock *dock);
    ~MemoryFeature() override;

    CEditorMemory *translationMemory() const { return m_memory; }
    void OnTranslationMemory();
    void OnPreTranslate();
    // Puts the suggestion shown at `index` (0 the best) into the selected
    // row as an edit would (into the in-place editor while one is open);
    // false when there is none or the checks refuse it.
    bool applySuggestion(int index);
    const std::vector<TmSuggestion> &shownSuggestions() const { return m_suggestions; }

private:
    bool handleSuggestionKey(QKeyEvent *event, bool isShortcutOverride);
    void updateSuggestions();
    void updateCommandStates();
    void followShownFiles();
    void memoryFilesSaved();
    void onMemoryChanged();
    int shownCodeType() const;

    CRendaroView &m_view;
    CommandActions *m_commands;
    CEditorMemory *m_memory;
    QPointer<CSuggestionsDock> m_suggestionsDock;
    std::vector<TmSuggestion> m_suggestions;  // those the pane shows
    bool m_reportMemoryFailures = false;
};
