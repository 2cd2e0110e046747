#pragma once

#include "common/FutureTask.h"

#include <QPromise>
#include <QThreadPool>

#include <memory>

#include <functional>
#include <type_traits>

// Runs `work` on the global thread pool and hands its result or exception to
// the returned future. Unlike QtConcurrent::run, a caller that waits on the
// future never runs the work itself, so callbacks from the work never reach the
// waiting (main) thread, and our own error types arrive unwrapped.
template <typename F>
auto runInBackground(F&& work) -> QFuture<std::invoke_result_t<F>>
{
    return scheduleFutureTask(std::forward<F>(work),
                              [](std::function<void()> task) { QThreadPool::globalInstance()->start(std::move(task)); });
}

// As runInBackground, for work that stops early: `work(isCancelled)` polls
// isCancelled(), which answers true once the returned future was cancelled,
// and then throws. The future still finishes only when the work has ended,
// so a caller waiting for it knows that nothing writes any more.
template <typename F>
auto runCancellableInBackground(F&& work) -> QFuture<std::invoke_result_t<F, const std::function<bool()>&>>
{
    using R = std::invoke_result_t<F, const std::function<bool()>&>;
    auto promise = std::make_shared<QPromise<R>>();
    QFuture<R> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::forward<F>(work)]() mutable {
        const std::function<bool()> isCancelled = [raw = promise.get()] { return raw->isCanceled(); };
        try {
            if constexpr (std::is_void_v<R>) {
                work(isCancelled);
            } else {
                promise->addResult(work(isCancelled));
            }
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
    });
    return future;
}
