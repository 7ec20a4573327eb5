#pragma once
// A bounded pool of worker threads for the pipeline's files: as many threads
// as asked for, never more than QThread::idealThreadCount(). Jobs start in
// the order they were posted; the caller waits for each job whose result it
// needs, in the order it needs them.
//
// With one thread nothing runs beside the caller: a job runs on the
// caller's thread when it (or a job posted after it) is waited for, so the
// files are then read and written one after another, in the order of a
// pipeline without a pool.
//
// A job writes its result to a place the caller owns and reads only after
// waiting for that job; the pool's lock orders the two. Everything a job
// uses must outlive the pool (declare the pool after it), since destroying
// the pool drops the jobs not yet started and waits for the running ones.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool {
public:
    using Ticket = size_t;

    // threads <= 0: QThread::idealThreadCount().
    explicit WorkerPool(int threads = 0);
    ~WorkerPool();
    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;

    // The threads that run jobs (1: the caller's own).
    int threadCount() const { return m_threadCount; }
    // The number of threads a pool asked for `threads` gets.
    static int boundedThreadCount(int threads);

    Ticket post(std::function<void()> job);
    // Returns once the job has run (or was dropped); rethrows what it threw.
    void wait(Ticket ticket);
    // Drops the jobs not started yet: they count as done without running.
    void dropPending();

private:
    struct Job {
        Ticket ticket;
        std::function<void()> run;
    };
    void work();
    // Runs the next queued job with the lock released; the lock is held
    // again on return.
    void runNext(std::unique_lock<std::mutex> &lock);

    const int m_threadCount;
    std::mutex m_mutex;
    std::condition_variable m_posted;    // a job was queued, or the pool stops
    std::condition_variable m_finished;  // a job finished
    std::deque<Job> m_queue;
    std::vector<char> m_done;                  // by ticket
    std::vector<std::exception_ptr> m_errors;  // by ticket
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
