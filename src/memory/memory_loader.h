#pragma once
// Building a translation memory from language files and folders.

#include "batch/file_failure.h"
#include "memory/translation_memory.h"

#include <atomic>
#include <functional>

// The language files behind a list of memory paths: a file as it is, a
// folder as Open Language Folder lists it (ListLanguageFiles). Each file
// comes once however often it is named (links followed). A path that is
// neither is a failure with the reason.
QStringList ExpandMemoryPaths(const QStringList &paths, std::vector<FileFailure> *failures);

struct MemoryBuildOptions {
    // Loading threads; 0: one per processor, at most four.
    int threads = 0;
    // Called after each file with the files done and the total; from the
    // loading threads, one call at a time.
    std::function<void(int done, int total)> progress;
    // Set from another thread to stop before the next file.
    const std::atomic<bool> *cancel = nullptr;
    // Build the candidate index too (lookups below 100 need it).
    bool fuzzyIndex = true;
};

struct MemoryBuildResult {
    std::shared_ptr<const TranslationMemory> memory;  // null when cancelled
    std::vector<FileFailure> failures;                // paths and files that could not be read
    int filesRead = 0;                                // language files that went into the memory
};

// Reads every file (a few at a time, each into a document of its own that
// is closed again) and makes the memory of their segments.
MemoryBuildResult BuildTranslationMemory(const QStringList &paths, const MemoryBuildOptions &options = {});
