#include "memory/memory_loader.h"

#include "memory/run_on_threads.h"
#include "memory/tmx_memory.h"

#include "catalogue/catalogue_reading.h"
#include "catalogue/folder_listing.h"
#include "exchange/tmx_reader.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <mutex>
#include <thread>

QStringList ExpandMemoryPaths(const QStringList &paths, std::vector<FileFailure> *failures)
{
    QStringList files;
    QSet<QString> seen;
    auto take = [&](const QString &file) {
        const QString canonical = QFileInfo(file).canonicalFilePath();
        if (!seen.contains(canonical)) {
            seen.insert(canonical);
            files.append(file);
        }
    };
    for (const QString &path : paths) {
        const QFileInfo info(path);
        QString reason;
        if (!info.exists())
            reason = QStringLiteral("No such file or directory");
        else if (info.isDir() && !QDir(path).isReadable())
            reason = QStringLiteral("Permission denied");
        else if (!info.isDir() && !info.isFile())
            reason = QStringLiteral("it is not a regular file or folder");
        if (!reason.isEmpty()) {
            if (failures)
                failures->push_back({path, reason});
            continue;
        }
        if (info.isDir()) {
            for (const QString &file : ListLanguageFiles(path))
                take(file);
        } else {
            take(path);
        }
    }
    return files;
}

MemoryBuildResult BuildTranslationMemory(const QStringList &paths, const MemoryBuildOptions &options)
{
    MemoryBuildResult result;
    const QStringList files = ExpandMemoryPaths(paths, &result.failures);
    const int total = int(files.size());
    TranslationMemoryBuilder builder;
    for (const QString &file : files)
        builder.addFile(file);

    std::mutex mutex;  // the builder, the failures, the notes and the progress count
    std::vector<std::pair<int, FileFailure>> unreadable, notes;
    std::atomic<int> next{0};
    std::atomic<int> parsed{0};
    auto fileParsed = [&] {
        if (++parsed == total && options.filesParsed)
            options.filesParsed();
    };
    int done = 0;
    int piecesPerFile = 1;  // set below, before the threads start
    auto cancelled = [&options] { return options.cancel && options.cancel->load(); };
    // A TMX file's segments go into the builder a batch at a time.
    auto readTmx = [&](int i) {
        const TmxMemoryRead read = ReadTmxSegments(
            files[i], options.language,
            [&](std::vector<TmxSegment> &batch) {
                const std::lock_guard<std::mutex> lock(mutex);
                for (const TmxSegment &segment : batch)
                    builder.addSegment(std::uint32_t(i), segment.original, segment.translation, segment.keys);
            },
            cancelled);
        const std::lock_guard<std::mutex> lock(mutex);
        if (!read.ok())
            unreadable.push_back({i, read.failure});
        const QString skipped = TmxSkippedText(read, options.language);
        if (!skipped.isEmpty())
            notes.push_back({i, {files[i], skipped}});
        return read.units > 0 || read.ok();
    };
    auto work = [&] {
        for (int i = next++; i < total && !cancelled(); i = next++) {
            bool read = false;
            if (IsTmxPath(files[i])) {
                read = readTmx(i);
                fileParsed();
            } else {
                // The entries without the tree, the file parsed in pieces on
                // the threads the other files leave, its texts in blocks
                // that the memory keeps where it keeps most of them.
                ReadCatalogueItems file = ReadCatalogueItemsOnThreads(files[i], piecesPerFile, true);
                fileParsed();
                const std::lock_guard<std::mutex> lock(mutex);
                if (!file.ok)
                    unreadable.push_back({i, {files[i], file.errorText}});
                else
                    builder.addLanguageFile(std::uint32_t(i), std::move(file.pieces), std::move(file.blocks));
                read = file.ok;
            }
            const std::lock_guard<std::mutex> lock(mutex);
            result.filesRead += read ? 1 : 0;
            ++done;
            if (options.progress)
                options.progress(done, total);
        }
    };
    int threads = options.threads > 0 ? options.threads : int(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, 4);
    const int available = threads;
    threads = std::min(threads, std::max(total, 1));
    piecesPerFile = std::max(1, available / threads);
    RunOnThreads(threads, work);
    if (cancelled())
        return result;

    auto inFileOrder = [](std::vector<std::pair<int, FileFailure>> &list, std::vector<FileFailure> &out) {
        std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &item : list)
            out.push_back(std::move(item.second));
    };
    inFileOrder(unreadable, result.failures);
    inFileOrder(notes, result.notes);
    std::shared_ptr<TranslationMemory> memory = builder.build();
    if (options.fuzzyIndex)
        memory->prepareFuzzyIndex();
    result.memory = std::move(memory);
    return result;
}
