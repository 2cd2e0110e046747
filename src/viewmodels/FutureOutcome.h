#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>

#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

// How a finished future ended: a value, an error, or cancelled without either.
template <typename T>
struct FutureOutcome {
    std::optional<T> value;
    std::exception_ptr error;

    bool succeeded() const { return value.has_value(); }
    bool cancelled() const { return !value && !error; }
};

template <>
struct FutureOutcome<void> {
    bool done = false;
    std::exception_ptr error;

    bool succeeded() const { return done; }
    bool cancelled() const { return !done && !error; }
};

template <typename T>
FutureOutcome<T> outcomeOf(QFuture<T> future)
{
    FutureOutcome<T> outcome;
    try {
        future.waitForFinished(); // rethrows the future's error
        if constexpr (std::is_void_v<T>) {
            outcome.done = !future.isCanceled();
        } else if (future.resultCount() > 0) {
            outcome.value = future.result();
        }
    } catch (...) {
        outcome.error = std::current_exception();
    }
    return outcome;
}

// Calls `done(outcome)` in `context`'s thread once `future` has finished. Unlike
// QFuture::then, it also runs for a cancelled future when its work ends, so the
// caller can undo what that work left behind.
template <typename T, typename F>
void whenFinished(const QFuture<T>& future, QObject* context, F&& done)
{
    auto* watcher = new QFutureWatcher<T>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, done = std::forward<F>(done)]() mutable {
                         watcher->deleteLater();
                         done(outcomeOf(watcher->future()));
                     });
    watcher->setFuture(future);
}
