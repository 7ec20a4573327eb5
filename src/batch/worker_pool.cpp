#include "batch/worker_pool.h"

#include <QThread>
#include <algorithm>
#include <utility>

int WorkerPool::boundedThreadCount(int threads)
{
    const int ideal = std::max(1, QThread::idealThreadCount());
    return threads <= 0 ? ideal : std::min(threads, ideal);
}

WorkerPool::WorkerPool(int threads) : m_threadCount(boundedThreadCount(threads))
{
    if (m_threadCount > 1) {
        m_threads.reserve(size_t(m_threadCount));
        for (int i = 0; i < m_threadCount; ++i)
            m_threads.emplace_back([this] { work(); });
    }
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();  // never started: nobody waits for them any more
    }
    m_posted.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

WorkerPool::Ticket WorkerPool::post(std::function<void()> job)
{
    Ticket ticket;
    {
        std::lock_guard lock(m_mutex);
        ticket = m_done.size();
        m_done.push_back(0);
        m_errors.emplace_back();
        m_queue.push_back({ticket, std::move(job)});
    }
    m_posted.notify_one();
    return ticket;
}

void WorkerPool::runNext(std::unique_lock<std::mutex> &lock)
{
    Job job = std::move(m_queue.front());
    m_queue.pop_front();
    lock.unlock();
    std::exception_ptr error;
    try {
        job.run();
    } catch (...) {
        error = std::current_exception();
    }
    job.run = nullptr;  // what the job held goes before it counts as done
    lock.lock();
    m_done[job.ticket] = 1;
    m_errors[job.ticket] = error;
    m_finished.notify_all();
}

void WorkerPool::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_posted.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            return;
        runNext(lock);
    }
}

void WorkerPool::dropPending()
{
    std::lock_guard lock(m_mutex);
    for (const Job &job : m_queue)
        m_done[job.ticket] = 1;
    m_queue.clear();
    m_finished.notify_all();
}

void WorkerPool::wait(Ticket ticket)
{
    std::unique_lock lock(m_mutex);
    if (ticket >= m_done.size())
        return;
    if (m_threads.empty()) {
        // One thread: run the queue up to this job here, in order.
        while (!m_done[ticket] && !m_queue.empty())
            runNext(lock);
    }
    m_finished.wait(lock, [&] { return m_done[ticket] != 0; });
    if (std::exception_ptr error = std::exchange(m_errors[ticket], nullptr))
        std::rethrow_exception(error);
}
