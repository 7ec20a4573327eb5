#pragma once
// Runs `work` on `threads` threads at once, the caller's thread being one of
// them, and returns when every run has returned. The work takes its items
// from a shared counter, so each run ends when the items do.

#include <functional>
#include <thread>
#include <vector>

inline void RunOnThreads(int threads, const std::function<void()> &work)
{
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
}
