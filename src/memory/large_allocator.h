#pragma once
// An allocator for the memory's large arrays (the fuzzy index's units and
// bags, the builder's tables of texts). A block of a few megabytes or more
// is mapped on its own, aligned to 2 MiB and offered to the kernel for
// transparent huge pages where the system has them, so that filling it
// costs one page fault per 2 MiB instead of one per 4 KiB; a page fault is
// dear, and a memory of 400,000 entries fills some hundred megabytes of such
// arrays while it loads. Smaller blocks, and every block on other systems,
// come from operator new. What is stored is the same either way.

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

// `bytes` of memory aligned for any type, or std::bad_alloc.
void *TmAllocateLarge(std::size_t bytes);
// Gives back a block of TmAllocateLarge, with the size it was asked for.
void TmFreeLarge(void *block, std::size_t bytes) noexcept;

template <typename T>
struct TmLargeAllocator {
    using value_type = T;

    TmLargeAllocator() = default;
    template <typename U>
    TmLargeAllocator(const TmLargeAllocator<U> &) noexcept {}

    T *allocate(std::size_t count)
    {
        if (count > std::size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T *>(TmAllocateLarge(count * sizeof(T)));
    }
    void deallocate(T *block, std::size_t count) noexcept { TmFreeLarge(block, count * sizeof(T)); }
    // resize() leaves new elements default-initialised (numbers: unset), so
    // that the threads filling an array are the first to touch its pages.
    template <typename U, typename... Args>
    void construct(U *at, Args &&...args)
    {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void *>(at)) U;
        else
            ::new (static_cast<void *>(at)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const TmLargeAllocator<U> &) const noexcept { return true; }
};

// A vector of the memory's large arrays.
template <typename T>
using TmLargeVector = std::vector<T, TmLargeAllocator<T>>;
