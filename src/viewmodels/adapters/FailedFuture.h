#pragma once

#include "common/Error.h"

#include <QFuture>
#include <QPromise>

// A future that has already failed with `error`.
template <typename T>
QFuture<T> failedFuture(const Error& error)
{
    QPromise<T> promise;
    QFuture<T> future = promise.future();
    promise.start();
    promise.setException(std::make_exception_ptr(error));
    promise.finish();
    return future;
}
