#include "catalogue/runs_on_two_threads.h"

#include <condition_variable>
#include <mutex>
#include <thread>

bool WriteRunsOnTwoThreads(QIODevice &device, std::size_t runs,
                           const std::function<void(std::size_t run, std::string &out)> &serialise)
{
    auto write = [&device](const std::string &bytes) {
        return device.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
    };
    // The helper takes the odd runs: run 2k+1 goes to buffer k % 2, which
    // is the helper's until it is marked full.
    std::mutex mutex;
    std::condition_variable changed;
    std::string buffers[2];
    bool full[2] = {false, false};
    bool stop = false;
    std::thread helper([&] {
        for (std::size_t run = 1, k = 0; run < runs; run += 2, ++k) {
            const std::size_t slot = k % 2;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || !full[slot]; });
                if (stop)
                    return;
            }
            buffers[slot].clear();
            serialise(run, buffers[slot]);
            {
                std::lock_guard lock(mutex);
                full[slot] = true;
            }
            changed.notify_all();
        }
    });
    bool ok = true;
    std::string own;
    for (std::size_t run = 0, k = 0; run < runs && ok; run += 2, ++k) {
        own.clear();
        serialise(run, own);
        ok = write(own);
        if (!ok || run + 1 >= runs)
            break;
        const std::size_t slot = k % 2;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return full[slot]; });
        }
        ok = write(buffers[slot]);
        {
            std::lock_guard lock(mutex);
            full[slot] = false;
        }
        changed.notify_all();
    }
    {
        std::lock_guard lock(mutex);
        stop = true;  // after a failed write the helper may be waiting for room
    }
    changed.notify_all();
    helper.join();
    return ok;
}
