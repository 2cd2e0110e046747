#pragma once

#include "common/Error.h"

#include <QFuture>
#include <QList>
#include <QPromise>

#include <memory>
#include <type_traits>

// The futures a fake collaborator handed out, resolved or failed by the test
// when it chooses.
template <typename T>
class PendingCalls {
public:
    QFuture<T> add()
    {
        auto promise = std::make_shared<QPromise<T>>();
        promise->start();
        m_promises.append(promise);
        return promise->future();
    }

    int count() const { return static_cast<int>(m_promises.size()); }
    bool isCancelled(int index) const { return m_promises.at(index)->isCanceled(); }

    template <typename U = T>
    void resolve(int index, U value)
    {
        auto& promise = m_promises.at(index);
        promise->addResult(std::move(value));
        promise->finish();
    }

    void resolve(int index)
    {
        m_promises.at(index)->finish();
    }

    void resolveLast() { resolve(count() - 1); }

    // Reports `value` done of `maximum`, as an engine's progress.
    void progress(int index, int value, int maximum)
    {
        auto& promise = m_promises.at(index);
        promise->setProgressRange(0, maximum);
        promise->setProgressValue(value);
    }

    void fail(int index, const Error& error)
    {
        auto& promise = m_promises.at(index);
        promise->setException(std::make_exception_ptr(error));
        promise->finish();
    }

    template <typename U = T>
    void resolveLast(U value)
    {
        resolve(count() - 1, std::move(value));
    }
    void failLast(const Error& error) { fail(count() - 1, error); }

private:
    QList<std::shared_ptr<QPromise<T>>> m_promises;
};
