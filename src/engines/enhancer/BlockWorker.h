#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// A thread that takes one piece of work at a time, so a block's work can be
// split between two threads: `start` hands it work (after waiting for the
// last piece), `wait` waits for it and rethrows what it threw. The thread
// treats denormal floats as zero, as the enhancer's own thread does.
class BlockWorker {
public:
    BlockWorker();
    // Waits for the work under way; an error it throws then is dropped.
    ~BlockWorker();
    BlockWorker(const BlockWorker&) = delete;
    BlockWorker& operator=(const BlockWorker&) = delete;

    void start(std::function<void()> work);
    void wait();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_work;
    bool m_busy = false;
    bool m_stopping = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};
