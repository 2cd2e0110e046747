#include "engines/enhancer/BlockWorker.h"

#include "engines/enhancer/FlushDenormals.h"

#include <utility>

BlockWorker::BlockWorker()
    : m_thread([this] { run(); })
{
}

BlockWorker::~BlockWorker()
{
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void BlockWorker::start(std::function<void()> work)
{
    wait();
    {
        std::lock_guard lock(m_mutex);
        m_work = std::move(work);
        m_busy = true;
    }
    m_changed.notify_all();
}

void BlockWorker::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    if (m_error)
        std::rethrow_exception(std::exchange(m_error, nullptr));
}

void BlockWorker::run()
{
    FlushDenormals flushDenormals;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_stopping; });
        if (m_busy) {
            std::function<void()> work = std::move(m_work);
            lock.unlock();
            std::exception_ptr error;
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            m_error = error;
            m_busy = false;
            m_changed.notify_all();
        } else {
            return;
        }
    }
}
