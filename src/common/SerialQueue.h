#pragma once

#include "common/FutureTask.h"

#include <QFuture>
#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

// One worker thread running submitted work in submission order. Work that is
// still queued when the queue is destroyed runs before the thread ends.
class SerialQueue {
public:
    enum class Priority { UserInteractive, UserInitiated, Utility };

    explicit SerialQueue(QString name, Priority priority = Priority::UserInitiated);
    ~SerialQueue();

    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    const QString& name() const { return m_name; }

    // True on the queue's own thread.
    bool isCurrent() const;

    // Fire and forget.
    void post(std::function<void()> work);

    // Runs `work` on the queue; its result or exception reaches the future.
    template <typename F>
    auto async(F&& work) -> QFuture<std::invoke_result_t<F>>
    {
        return scheduleFutureTask(std::forward<F>(work), [this](std::function<void()> task) { post(std::move(task)); });
    }

    // Runs `work` on the queue and waits for it. From the queue's own thread it
    // runs at once instead of waiting for itself.
    template <typename F>
    auto sync(F&& work) -> std::invoke_result_t<F>
    {
        if (isCurrent())
            return work();
        using R = std::invoke_result_t<F>;
        std::mutex doneMutex;
        std::condition_variable doneCondition;
        bool done = false;
        std::exception_ptr error;
        std::optional<std::conditional_t<std::is_void_v<R>, int, R>> result;
        post([&] {
            try {
                if constexpr (std::is_void_v<R>)
                    work();
                else
                    result.emplace(work());
            } catch (...) {
                error = std::current_exception();
            }
            std::lock_guard lock(doneMutex);
            done = true;
            doneCondition.notify_one();
        });
        std::unique_lock lock(doneMutex);
        doneCondition.wait(lock, [&] { return done; });
        if (error)
            std::rethrow_exception(error);
        if constexpr (!std::is_void_v<R>)
            return std::move(*result);
    }

private:
    void run();

    QString m_name;
    Priority m_priority;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    bool m_stopping = false;
    std::thread m_thread;
};
