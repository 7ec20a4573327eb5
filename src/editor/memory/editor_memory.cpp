#include "editor/memory/editor_memory.h"

#include "exchange/tmx_reader.h"

#include <QSettings>
#include <algorithm>

namespace {

const QString kPathsKey = QStringLiteral("TranslationMemory/Paths");
const QString kMinimumScoreKey = QStringLiteral("TranslationMemory/MinimumScore");

} // namespace

CEditorMemory::CEditorMemory(QSettings &settings, QObject *parent) : QObject(parent), m_settings(settings) {}

CEditorMemory::~CEditorMemory()
{
    for (Build &build : m_builds)
        build.cancel->store(true);
    // What the workers still post to this object is dropped with it.
    for (Build &build : m_builds)
        build.thread.join();
}

QStringList CEditorMemory::paths() const { return m_settings.value(kPathsKey).toStringList(); }

int CEditorMemory::minimumScore() const
{
    bool ok = false;
    const int score = m_settings.value(kMinimumScoreKey, kDefaultMinimumScore).toInt(&ok);
    return ok ? std::clamp(score, 0, 100) : kDefaultMinimumScore;
}

void CEditorMemory::setConfiguration(const QStringList &paths, int minimumScore)
{
    m_settings.setValue(kPathsKey, paths);
    m_settings.setValue(kMinimumScoreKey, minimumScore);
    rebuild();
}

void CEditorMemory::setFolderFiles(const QStringList &files)
{
    if (files == m_folderFiles)
        return;
    m_folderFiles = files;
    rebuild();
}

void CEditorMemory::setLanguage(const QString &language)
{
    if (language == m_language)
        return;
    m_language = language;
    const QStringList chosen = paths();
    if (std::any_of(chosen.begin(), chosen.end(), [](const QString &path) { return IsTmxPath(path); }))
        rebuild();
}

void CEditorMemory::rebuild()
{
    for (Build &build : m_builds)
        build.cancel->store(true);
    const quint64 generation = ++m_generation;
    const QStringList sources = paths() + m_folderFiles;
    if (sources.isEmpty()) {
        m_building = false;
        m_memory.reset();
        m_failures.clear();
        m_notes.clear();
        m_filesRead = 0;
        emit memoryChanged();
        return;
    }
    m_building = true;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, sources, cancel, generation, language = m_language] {
        MemoryBuildOptions options;
        options.cancel = cancel.get();
        options.language = language;
        options.progress = [this, generation](int done, int total) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, done, total] {
                    if (generation == m_generation)
                        emit buildProgress(done, total);
                },
                Qt::QueuedConnection);
        };
        const MemoryBuildResult result = BuildTranslationMemory(sources, options);
        QMetaObject::invokeMethod(
            this, [this, generation, result] { finishBuild(generation, MemoryBuildResult(result)); },
            Qt::QueuedConnection);
    });
    m_builds.push_back({std::move(thread), std::move(cancel), generation});
}

void CEditorMemory::retire(quint64 generation)
{
    const auto build = std::find_if(m_builds.begin(), m_builds.end(),
                                     [generation](const Build &b) { return b.generation == generation; });
    if (build == m_builds.end())
        return;
    build->thread.join();  // it has posted its result: its last step
    m_builds.erase(build);
}

void CEditorMemory::finishBuild(quint64 generation, MemoryBuildResult &&result)
{
    retire(generation);
    if (generation != m_generation)
        return;  // replaced by a newer build
    m_building = false;
    m_memory = std::move(result.memory);
    m_failures = std::move(result.failures);
    m_notes = std::move(result.notes);
    m_filesRead = result.filesRead;
    emit memoryChanged();
}
