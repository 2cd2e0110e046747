#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>

#include <algorithm>

// Calls `report(percent)` in `context`'s thread each time the whole percentage
// of `future`'s progress (its value within its range) changes, until it has
// finished. Nothing while the future reports no range.
template <typename T, typename F>
void whenProgress(const QFuture<T>& future, QObject* context, F&& report)
{
    auto* watcher = new QFutureWatcher<T>(context);
    const auto percentOf = [watcher] {
        const int minimum = watcher->progressMinimum();
        const int maximum = watcher->progressMaximum();
        if (maximum <= minimum)
            return -1;
        const double done = double(watcher->progressValue() - minimum) / double(maximum - minimum);
        return static_cast<int>(std::clamp(done, 0.0, 1.0) * 100);
    };
    QObject::connect(watcher, &QFutureWatcherBase::progressValueChanged, context,
                     [percentOf, last = -1, report = std::forward<F>(report)]() mutable {
                         const int percent = percentOf();
                         if (percent < 0 || percent == last)
                             return;
                         last = percent;
                         report(percent);
                     });
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, &QObject::deleteLater);
    watcher->setFuture(future);
}
