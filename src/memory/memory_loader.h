#pragma once
// Building a translation memory from language files, folders and TMX files.

#include "batch/file_failure.h"
#include "memory/translation_memory.h"

#include <atomic>
#include <functional>

// The files behind a list of memory paths: a file as it is (a language
// file, or a TMX file by its name), a folder as Open Language Folder lists
// it (ListLanguageFiles). Each file
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
    // The language of the memory's translations, a tag as LanguageTagForPath
    // gives it ("de", "pt-BR"): of a TMX file's units, the variant in that
    // language is the translation. Empty: a unit's one language other than
    // English. Language files are taken as they are.
    QString language;
    // Called once, from a loading thread, when every file has been parsed
    // and only putting their strings together is left: work of the caller's
    // own can take the processors the parsing leaves from then on. Not
    // called when there are no files or the build is cancelled first.
    std::function<void()> filesParsed;
};

struct MemoryBuildResult {
    std::shared_ptr<const TranslationMemory> memory;  // null when cancelled
    // Paths and files that could not be read; a TMX file that is malformed
    // is named with the line, and the units before it are in the memory.
    std::vector<FileFailure> failures;
    // TMX files some of whose units were left out, with how many and why.
    std::vector<FileFailure> notes;
    int filesRead = 0;                                // files that went into the memory
};

// Reads every file (a few at a time: each language file into a document of
// its own that is closed again, each TMX file as a stream whose units go
// into the memory in batches, so that neither is held whole) and makes the
// memory of their segments.
MemoryBuildResult BuildTranslationMemory(const QStringList &paths, const MemoryBuildOptions &options = {});
