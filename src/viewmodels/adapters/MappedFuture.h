#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>

#include <exception>
#include <memory>

// `source`'s result converted by `convert`, its error and its progress passed
// on as they are. Unlike QFuture::then, cancelling the mapped future cancels
// `source` too, so the engine behind it stops its work. Call on a thread with
// an event loop.
template <typename Out, typename In, typename F>
QFuture<Out> mappedFuture(QFuture<In> source, F convert)
{
    auto promise = std::make_shared<QPromise<Out>>();
    QFuture<Out> mapped = promise->future();
    promise->start();

    auto* sourceWatcher = new QFutureWatcher<In>();
    auto* mappedWatcher = new QFutureWatcher<Out>();
    QObject::connect(mappedWatcher, &QFutureWatcherBase::canceled, sourceWatcher,
                     [source]() mutable { source.cancel(); });
    QObject::connect(sourceWatcher, &QFutureWatcherBase::progressRangeChanged, sourceWatcher,
                     [promise](int minimum, int maximum) { promise->setProgressRange(minimum, maximum); });
    QObject::connect(sourceWatcher, &QFutureWatcherBase::progressValueChanged, sourceWatcher,
                     [promise](int value) { promise->setProgressValue(value); });
    QObject::connect(sourceWatcher, &QFutureWatcherBase::finished, sourceWatcher,
                     [promise, sourceWatcher, mappedWatcher, convert]() {
                         QFuture<In> done = sourceWatcher->future();
                         try {
                             done.waitForFinished(); // rethrows the source's error
                             if (done.resultCount() > 0)
                                 promise->addResult(convert(done.result()));
                             else
                                 promise->future().cancel(); // ended without a result
                         } catch (...) {
                             promise->setException(std::current_exception());
                         }
                         promise->finish();
                         mappedWatcher->deleteLater();
                         sourceWatcher->deleteLater();
                     });
    mappedWatcher->setFuture(mapped);
    sourceWatcher->setFuture(source);
    return mapped;
}
