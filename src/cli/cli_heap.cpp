#include "cli/cli_heap.h"

#include <algorithm>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <thread>
#endif

namespace {
// Below this the heap is left alone: the pages such a file touches cost
// little, and a huge page would be mostly empty.
constexpr qint64 kLargeFile = qint64(8) << 20;
// What a file of n bytes takes in memory, as tree, entries and index, with
// room to spare (the part of it never touched costs nothing).
constexpr qint64 kMemoryPerFileByte = 5;
constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
// What the reading thread surely fills of it: the part made ready aside.
constexpr qint64 kPopulatedPerFileByte = 3;
// Read flat, the reading thread fills the heap with the texts (UTF-16 of
// most of the file's bytes) and little else; in halves of a file byte.
constexpr qint64 kPopulatedHalvesPerFlatFileByte = 3;

#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MADV_POPULATE_WRITE)
// Has the kernel provide (and clear) the first `length` bytes of the heap's
// new stretch on another thread, a few huge pages at a time from the start,
// the end the reader fills first; the reader then finds them ready instead
// of waiting for each one. Only what the read fills anyway is asked for, so
// this adds nothing to the memory the command holds.
void populateAside(std::uintptr_t from, std::uintptr_t length)
{
    length &= ~(kHugePage - 1);
    if (length == 0)
        return;
    std::thread([from, length] {
        constexpr std::uintptr_t kStep = 4 * kHugePage;
        for (std::uintptr_t done = 0; done < length; done += kStep) {
            if (madvise(reinterpret_cast<void *>(from + done), std::min(kStep, length - done), MADV_POPULATE_WRITE) != 0)
                return;  // only a head start: the reader's own touch does the same
        }
    }).detach();
}
#else
void populateAside(std::uintptr_t, std::uintptr_t) {}
#endif
} // namespace

void PrepareHeapForLargeFile(qint64 bytes, FileInMemory held)
{
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE)
    static bool prepared = false;
    if (prepared || bytes < kLargeFile)
        return;
    prepared = true;
    const qint64 want = std::min<qint64>(bytes * kMemoryPerFileByte, qint64(1) << 40);
    // Blocks up to 32 MB (the entry index, key lists, output buffers) come
    // from the heap too instead of mappings of their own; the heap grows by
    // `want` at a time and is not given back while the file is in memory.
    if (!mallopt(M_MMAP_THRESHOLD, 32 << 20) || !mallopt(M_TOP_PAD, int(std::min<qint64>(want, 1 << 30)))
        || !mallopt(M_TRIM_THRESHOLD, int(std::min<qint64>(want, 1 << 30))))
        return;
    auto *before = static_cast<char *>(sbrk(0));
    // Larger than what is left at the top of a fresh heap, so the heap grows
    // now, by the pad.
    void *probe = std::malloc(std::size_t(1) << 20);
    auto *after = static_cast<char *>(sbrk(0));
    if (probe && before != reinterpret_cast<char *>(-1) && after > before) {
        const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(before) + kHugePage - 1) & ~(kHugePage - 1);
        const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(after) & ~(kHugePage - 1);
        if (to > from && madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE) == 0)
            populateAside(from, std::min<std::uintptr_t>(
                                    to - from, std::uintptr_t(held == FileInMemory::Flat
                                                                  ? bytes * kPopulatedHalvesPerFlatFileByte / 2
                                                                  : bytes * kPopulatedPerFileByte)));
    }
    std::free(probe);
#else
    Q_UNUSED(bytes);
    Q_UNUSED(held);
#endif
}
