#pragma once

#include <QFuture>
#include <QSemaphore>

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

// Holds an edit at its first progress report until the test has cancelled it,
// so the cancel arrives while the edit writes. `atReport` goes in the edit's
// progress callback; `waitForFirstReport`, then cancel, then `release`.
class FirstReportGate {
public:
    void atReport()
    {
        if (m_reported.available() == 0 && m_released.available() == 0) {
            m_reported.release();
            m_released.acquire();
        }
    }
    bool waitForFirstReport() { return m_reported.tryAcquire(1, 10000); }
    void release() { m_released.release(2); }

private:
    QSemaphore m_reported;
    QSemaphore m_released;
};
