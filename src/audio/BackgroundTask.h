#pragma once

#include "common/FutureTask.h"

#include <QThreadPool>

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
