#include "memory/large_allocator.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <cstdint>

namespace {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kHugePage = std::size_t(2) << 20;
// From this size a block is mapped on its own: a huge page or more of it is
// filled, and the heap would map it on its own too.
constexpr std::size_t kLargeBlock = 2 * kHugePage;

std::size_t mappedSize(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }
#endif

} // namespace

void *TmAllocateLarge(std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kLargeBlock) {
        // Mapped with a huge page to spare, then cut to the aligned part.
        const std::size_t size = mappedSize(bytes);
        void *mapped = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t aligned = (start + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
        if (aligned > start)
            munmap(mapped, aligned - start);
        if (const std::size_t tail = start + size + kHugePage - (aligned + size))
            munmap(reinterpret_cast<void *>(aligned + size), tail);
        // Advice only: without huge pages the block works as well.
        madvise(reinterpret_cast<void *>(aligned), size, MADV_HUGEPAGE);
        return reinterpret_cast<void *>(aligned);
    }
#endif
    return ::operator new(bytes);
}

void TmFreeLarge(void *block, std::size_t bytes) noexcept
{
    if (!block)
        return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kLargeBlock) {
        munmap(block, mappedSize(bytes));
        return;
    }
#endif
    ::operator delete(block);
}
