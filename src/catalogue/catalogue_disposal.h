#pragma once
// Frees closed catalogues. A catalogue of hundreds of thousands of strings
// takes tens of milliseconds to free (a million strings and tree nodes), and
// the editor closes catalogues on New, Open and in folder mode, so large ones
// are freed by a thread of their own while the caller goes on. Nothing else
// refers to a catalogue handed over here; the strings it shares with the
// rest of the program are reference-counted atomically.

#include "catalogue/catalogue_types.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class CatalogueDisposal {
public:
    CatalogueDisposal() = default;
    CatalogueDisposal(const CatalogueDisposal &) = delete;
    CatalogueDisposal &operator=(const CatalogueDisposal &) = delete;
    // Waits until everything handed over is freed.
    ~CatalogueDisposal();

    // Frees the catalogues: small ones at once, large ones on the thread.
    void dispose(std::vector<CXMLStruct> &&catalogues);
    // Waits until everything handed over so far is freed.
    void wait();

    // Catalogues with at least this many entries in all are freed aside.
    static constexpr size_t kAsideFrom = 50000;

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<CXMLStruct>> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
