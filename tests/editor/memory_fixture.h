#pragma once
// An editor view with a Suggestions pane and a translation memory built
// from one memory file, for the memory's editor tests.

#include "editor/memory/editor_memory.h"
#include "editor/memory/suggestions_dock.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QListWidget>
#include <QSettings>
#include <QSignalSpy>
#include <QUndoStack>

class MemoryFixture {
public:
    // The shown file: four untranslated strings and a translated one.
    explicit MemoryFixture(bool withMemory = true)
        : settings(f.path("settings.ini"), QSettings::IniFormat)
    {
        QDir(f.path("")).mkpath("TM/sub");
        memoryFile = f.writeLanguageFile("TM/DEU_TM.xml", {
            R"(<L from="Delete %s file?" to="%s Datei löschen?" key="IDS_DELETE"/>)",
            R"(<L from="Delete %s files?" to="%s Dateien löschen?"/>)",
            R"(<L from="Copy %s" to="%d kopieren"/>)",
            R"(<L from="Open the file" to="Datei öffnen"/>)",
        });
        f.writeLanguageFile("TM/sub/DEU2.xml", {R"(<L from="Delete %s file?" to="%s Datei entfernen?"/>)"});
        shown = f.writeLanguageFile("DEU.xml", {
            R"(<L from="Copy %s" to="Copy %s"/>)",
            R"(<L from="Delete %s file?" to="Delete %s file?"/>)",
            R"(<L from="Nothing alike here" to=""/>)",
            R"(<L from="Open the file" to="Open the file"/>)",
            R"(<L from="Save" to="Speichern"/>)",
        });
        if (withMemory)
            settings.setValue("TranslationMemory/Paths", QStringList{f.path("TM")});
        dock.resize(600, 300);
        dock.show();
        f.features->setupMemory(settings, &dock);
        if (withMemory)
            waitForMemory();
    }

    ~MemoryFixture()
    {
        // The editor goes first: it uses the pane and the settings.
        f.features.reset();
        delete f.view;
        f.view = nullptr;
    }

    CEditorMemory &memory() const { return *f.memory().translationMemory(); }
    // Waits for the running build to end.
    bool waitForMemory()
    {
        if (!memory().isBuilding())
            return true;
        QSignalSpy built(&memory(), &CEditorMemory::memoryChanged);
        return built.wait(10000);
    }
    void select(const QString &original) { f.grid->SelectOnly(f.rowOf(original)); }
    QStringList shownTranslations() const
    {
        QStringList texts;
        for (int i = 0; i < dock.list()->count(); ++i)
            texts << dock.list()->item(i)->text();
        return texts;
    }
    QUndoStack &stack() const { return *f.view->undoStack(); }

    EditorFixture f;
    QSettings settings;
    CSuggestionsDock dock;
    QString memoryFile;
    QString shown;
};
