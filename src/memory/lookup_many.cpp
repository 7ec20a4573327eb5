#include "memory/lookup_many.h"

#include "memory/run_on_threads.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

// Originals a thread takes at a time.
constexpr int kBatch = 64;
// Fewer originals than this are looked up on the calling thread alone.
constexpr int kWorthThreads = 256;

} // namespace

std::vector<std::vector<TmSuggestion>> LookupMany(const TranslationMemory &memory, const QStringList &originals,
                                                  int minScore, int limit, int threads)
{
    const int count = int(originals.size());
    std::vector<std::vector<TmSuggestion>> results(static_cast<std::size_t>(count));
    // Building the index is done once, before the threads need it.
    if (minScore < 100 && count > 0)
        memory.prepareFuzzyIndex();
    std::atomic<int> next{0};
    auto work = [&] {
        for (int start = next.fetch_add(kBatch); start < count; start = next.fetch_add(kBatch)) {
            for (int i = start; i < std::min(count, start + kBatch); ++i)
                results[std::size_t(i)] = memory.lookup(originals[i], minScore, limit);
        }
    };
    if (threads <= 0)
        threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
    if (count < kWorthThreads || minScore >= 100)
        threads = 1;  // exact lookups cost less than starting a thread
    RunOnThreads(threads, work);
    return results;
}
