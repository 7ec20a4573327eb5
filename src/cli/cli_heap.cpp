#include "cli/cli_heap.h"

#include <algorithm>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#endif

namespace {
// Below this the heap is left alone: the pages such a file touches cost
// little, and a huge page would be mostly empty.
constexpr qint64 kLargeFile = qint64(8) << 20;
// What a file of n bytes takes in memory, as tree, entries and index, with
// room to spare (the part of it never touched costs nothing).
constexpr qint64 kMemoryPerFileByte = 5;
constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
} // namespace

void PrepareHeapForLargeFile(qint64 bytes)
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
        if (to > from)
            madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
    }
    std::free(probe);
#else
    Q_UNUSED(bytes);
#endif
}
