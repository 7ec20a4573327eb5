#pragma once
// The editor's translation memory: the files and folders chosen in
// Tool > Translation Memory (kept in the settings), the files of a shown
// language folder (always part of it), and the memory built from them. A
// TMX file gives the units of the shown file's language.
//
// Builds run on a worker thread while the editor goes on; the memory in use
// stays until the new one is ready, so lookups always see a complete memory.
// A new build replaces a running one, which stops before its next file and
// whose result is dropped.

#include "memory/memory_loader.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class QSettings;

class CEditorMemory : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultMinimumScore = 60;

    explicit CEditorMemory(QSettings &settings, QObject *parent = nullptr);
    ~CEditorMemory() override;  // stops and waits for the worker

    // The chosen files and folders, and the lowest score the Suggestions
    // pane shows.
    QStringList paths() const;
    int minimumScore() const;
    // Keeps them in the settings and builds the memory again.
    void setConfiguration(const QStringList &paths, int minimumScore);
    // The loaded files of the shown language folder (empty: none shown);
    // builds again when they changed.
    void setFolderFiles(const QStringList &files);
    const QStringList &folderFiles() const { return m_folderFiles; }
    // The language of the shown file ("de", "pt-BR"; empty: none known):
    // TMX files give their translations into it. Builds again when it
    // changed and a TMX file is chosen.
    void setLanguage(const QString &language);
    const QString &language() const { return m_language; }
    // Builds from the chosen paths and the folder's files, as they are on disk.
    void rebuild();

    // The memory last built; null before the first build ends or when
    // there is nothing to build from.
    std::shared_ptr<const TranslationMemory> memory() const { return m_memory; }
    bool hasSources() const { return !paths().isEmpty() || !m_folderFiles.isEmpty(); }
    bool isBuilding() const { return m_building; }
    // The paths and files the last build could not read.
    const std::vector<FileFailure> &failures() const { return m_failures; }
    // TMX files of the last build some of whose units were left out, and why.
    const std::vector<FileFailure> &notes() const { return m_notes; }
    int filesRead() const { return m_filesRead; }

signals:
    void buildProgress(int done, int total);
    // A build ended: memory() and failures() are the new ones.
    void memoryChanged();

private:
    struct Build {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancel;
        quint64 generation;
    };
    void finishBuild(quint64 generation, MemoryBuildResult &&result);
    void retire(quint64 generation);

    QSettings &m_settings;
    QStringList m_folderFiles;
    std::shared_ptr<const TranslationMemory> m_memory;
    std::vector<FileFailure> m_failures;
    std::vector<FileFailure> m_notes;
    QString m_language;
    int m_filesRead = 0;
    std::vector<Build> m_builds;  // the running one last; older ones were cancelled
    quint64 m_generation = 0;
    bool m_building = false;
};
