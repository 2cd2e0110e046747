#pragma once

#include <QFuture>

#include <optional>

// The error a finished editing future failed with, or nothing when it
// succeeded or failed with another type.
template <typename E>
std::optional<E> failureOf(QFuture<double> future)
{
    try {
        future.waitForFinished();
        future.result();
    } catch (const E& error) {
        return error;
    } catch (...) {
    }
    return std::nullopt;
}
