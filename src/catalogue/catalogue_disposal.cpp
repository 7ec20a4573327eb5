#include "catalogue/catalogue_disposal.h"

#include <system_error>

CatalogueDisposal::~CatalogueDisposal()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CatalogueDisposal::dispose(std::vector<CXMLStruct> &&catalogues)
{
    std::vector<CXMLStruct> doomed = std::move(catalogues);
    size_t entries = 0;
    for (const CXMLStruct &catalogue : doomed)
        entries += catalogue.entries.size();
    if (entries < kAsideFrom)
        return;  // freed here, as `doomed` goes
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { run(); });
        } catch (const std::system_error &) {
            return;  // no thread to be had: freed here
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(doomed));
    }
    m_changed.notify_all();
}

void CatalogueDisposal::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void CatalogueDisposal::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty())
            return;  // stopping, and nothing left to free
        std::vector<CXMLStruct> next = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        next.clear();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
