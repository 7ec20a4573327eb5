#include "memory/lookup_many.h"

#include "memory/run_on_threads.h"

#include <algorithm>
#include <atomic>
#include <numeric>
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
    // Looked up longest first: texts of about one length search the same
    // originals (those of lengths near theirs), so each search finds the
    // index's data for the one before it still in the processor's caches;
    // and the costliest searches go first, not last on one thread while
    // the others have nothing left.
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    if (minScore < 100) {
        std::stable_sort(order.begin(), order.end(),
                         [&originals](int a, int b) { return originals[a].size() > originals[b].size(); });
    }
    std::atomic<int> next{0};
    auto work = [&] {
        for (int start = next.fetch_add(kBatch); start < count; start = next.fetch_add(kBatch)) {
            for (int k = start; k < std::min(count, start + kBatch); ++k) {
                const int i = order[std::size_t(k)];
                results[std::size_t(i)] = memory.lookup(originals[i], minScore, limit);
            }
        }
    };
    if (threads <= 0)
        threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
    if (count < kWorthThreads || minScore >= 100)
        threads = 1;  // exact lookups cost less than starting a thread
    RunOnThreads(threads, work);
    return results;
}
