#pragma once

#include <QFuture>
#include <QPromise>

#include <functional>
#include <memory>
#include <type_traits>

// Wraps `work` in a task that hands its result or exception to the returned
// future, and gives that task to `schedule` to run wherever it runs tasks.
template <typename F, typename Schedule>
auto scheduleFutureTask(F&& work, Schedule&& schedule) -> QFuture<std::invoke_result_t<F>>
{
    using R = std::invoke_result_t<F>;
    auto promise = std::make_shared<QPromise<R>>();
    QFuture<R> future = promise->future();
    promise->start();
    std::forward<Schedule>(schedule)([promise, work = std::forward<F>(work)]() mutable {
        try {
            if constexpr (std::is_void_v<R>) {
                work();
            } else {
                promise->addResult(work());
            }
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
    });
    return future;
}
