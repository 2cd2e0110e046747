#pragma once

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include <memory>
#include <type_traits>

// Runs `work` on the global thread pool and hands its result or exception to
// the returned future. Unlike QtConcurrent::run, a caller that waits on the
// future never runs the work itself, so callbacks from the work never reach the
// waiting (main) thread, and our own error types arrive unwrapped.
template <typename F>
auto runInBackground(F&& work) -> QFuture<std::invoke_result_t<F>>
{
    using R = std::invoke_result_t<F>;
    auto promise = std::make_shared<QPromise<R>>();
    QFuture<R> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::forward<F>(work)]() mutable {
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
