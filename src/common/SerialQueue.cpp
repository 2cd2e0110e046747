#include "common/SerialQueue.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

SerialQueue::SerialQueue(QString name, Priority priority)
    : m_name(std::move(name))
    , m_priority(priority)
{
    m_thread = std::thread([this] { run(); });
}

SerialQueue::~SerialQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        if (isCurrent())
            m_thread.detach();
        else
            m_thread.join();
    }
}

bool SerialQueue::isCurrent() const
{
    return std::this_thread::get_id() == m_thread.get_id();
}

void SerialQueue::post(std::function<void()> work)
{
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void SerialQueue::run()
{
    // Thread names are limited to 15 bytes; the role is the last dotted part.
    const QByteArray role = m_name.section(QLatin1Char('.'), -1).toUtf8().left(15);
    pthread_setname_np(pthread_self(), role.constData());
    // Background work yields to capture; a failure to renice is harmless.
    if (m_priority == Priority::Utility)
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5);

    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_work.empty(); });
            if (m_work.empty())
                return;
            work = std::move(m_work.front());
            m_work.pop_front();
        }
        work();
    }
}
