#pragma once
// Holds a worker thread at a point of its work (a log listener, say) until
// the test lets it go on.

#include <condition_variable>
#include <mutex>

struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool reached = false, open = false;

    // Called by the worker: says it is here and waits for release().
    void arriveAndWait()
    {
        std::unique_lock lock(mutex);
        reached = true;
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
    }
    void waitUntilReached()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return reached; });
    }
    void release()
    {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
};
