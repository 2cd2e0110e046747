#pragma once

#include "common/Error.h"
#include "platform/pulse/PulseServerInfo.h"
#include "platform/pulse/PulseSinkInfo.h"
#include "platform/pulse/PulseSourceInfo.h"
#include "platform/pulse/PulseSourceOutputInfo.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QPromise>

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/thread-mainloop.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <type_traits>
#include <unordered_set>

// The process's one connection to the sound server: a libpulse threaded main
// loop with its context, made on first use and made again whenever the server
// goes away and comes back.
//
// Everything libpulse calls back runs on the main loop's thread with its lock
// held; such a callback must never wait for the server (it would wait for
// itself). Queries return futures that the main loop fulfils; `wait` blocks for
// one from any other thread. Streams are made and driven inside `withLock`.
// The signals are emitted on the application's main thread.
class PulseContext : public QObject {
    Q_OBJECT
public:
    enum class Facility { Sink, Source, SinkInput, SourceOutput, Module, Client, Server, Card, Other };
    Q_ENUM(Facility)
    enum class Change { New, Changed, Removed };
    Q_ENUM(Change)

    static PulseContext& shared();

    bool isConnected() const;
    // Why the last connection attempt failed or the connection ended;
    // "Not connected" before any attempt failed.
    Error connectionError();
    bool isMainloopThread() const;
    // This process's client index, to tell its own streams from others';
    // PA_INVALID_INDEX while not connected.
    uint32_t ownClientIndex();

    // How many server events of `facility` have arrived so far (every count
    // also moves on each connection and disconnection). A reader that keeps
    // the count from before its last query knows, from any thread and without
    // waiting for the main thread, whether its answer may be stale.
    quint64 changeCount(Facility facility) const;

    // Calls `listener` on the sound server's thread, with its lock held, for
    // every subscription event, and after every connection (the first
    // included) as a server change with index PA_INVALID_INDEX, since anything
    // may have changed meanwhile. Unlike the signals it needs no running event
    // loop and comes without delay. The listener must not wait there, nor add
    // or remove listeners. Returns the id for `removeEventListener`.
    using EventListener = std::function<void(Facility facility, Change change, uint32_t index)>;
    int addEventListener(EventListener listener);
    // Once it returns, the listener is not called again.
    void removeEventListener(int id);

    // Queries. A failure (not connected, refused, no answer within a few
    // seconds, the connection lost meanwhile) is an Error of domain "PulseAudio".
    QFuture<PulseServerInfo> serverInfo();
    QFuture<QList<PulseSourceInfo>> sources();
    QFuture<std::optional<PulseSourceInfo>> source(const QString& name);
    QFuture<QList<PulseSinkInfo>> sinks();
    QFuture<std::optional<PulseSinkInfo>> sink(const QString& name);
    QFuture<QList<PulseSourceOutputInfo>> sourceOutputs();

    // Any libpulse info query: `start` begins it with the callback and user data
    // it is given; `convert` turns each entry into a value. A query by name or
    // index for something that does not exist gives an empty list.
    template <typename Info>
    using InfoCallback = void (*)(pa_context*, const Info*, int eol, void* userdata);
    template <typename Info>
    using ListStart = std::function<pa_operation*(pa_context*, InfoCallback<Info>, void* userdata)>;
    template <typename Info, typename T>
    QFuture<QList<T>> queryList(ListStart<Info> start, std::function<T(const Info&)> convert);
    // The same for a query by name: the one entry, or nothing when there is none.
    template <typename Info>
    using ByNameStart = pa_operation* (*)(pa_context*, const char* name, InfoCallback<Info>, void* userdata);
    template <typename Info, typename T>
    QFuture<std::optional<T>> queryByName(const QString& name, ByNameStart<Info> start,
                                          std::function<T(const Info&)> convert);

    // Waits for a query from a thread other than the main loop's; throws its
    // error, or an Error at once when called on the main loop's thread.
    template <typename T>
    static T wait(QFuture<T> future);

    // Runs `work` with the main loop locked and gives back its result. `work`
    // receives the context, or nullptr while not connected. On the main loop's
    // thread (inside a callback, where the lock is already held) it runs at once.
    template <typename F>
    auto withLock(F&& work) -> std::invoke_result_t<F, pa_context*>;

    pa_threaded_mainloop* mainloop() const { return m_mainloop; }

    // The error that the context last reported, as an Error.
    static Error errorOf(pa_context* context);
    static Error errorOf(int paError);
    // What a query or stream meets while there is no connection.
    static Error notConnectedError();

Q_SIGNALS:
    // After every successful connection, the first included; listeners re-read
    // whatever they follow, as anything may have changed while disconnected.
    void connected();
    void disconnected();
    // A subscription event: something of `facility` with `index` appeared,
    // changed or went away.
    void serverEvent(PulseContext::Facility facility, PulseContext::Change change, quint32 index);

private:
    PulseContext();

    struct PendingOperation {
        virtual ~PendingOperation() = default;
        virtual void fail(const Error& error) = 0;
        pa_operation* operation = nullptr;
        pa_time_event* timeout = nullptr;
    };

    void begin(PendingOperation* op, const std::function<pa_operation*(pa_context*)>& start);
    void end(PendingOperation* op);
    void failPending(const Error& error);

    void countAllChanges();
    void callListeners(Facility facility, Change change, uint32_t index);
    void connectNow();
    void scheduleReconnect();
    void shutDown();
    static void onStateChanged(pa_context* context, void* userdata);
    static void onSubscriptionEvent(pa_context* context, pa_subscription_event_type_t type, uint32_t index,
                                    void* userdata);

    pa_threaded_mainloop* m_mainloop = nullptr;
    pa_context* m_context = nullptr;
    bool m_ready = false;
    bool m_shutDown = false;
    pa_time_event* m_reconnectTimer = nullptr;
    std::optional<Error> m_connectionError; // touched with the main loop locked
    std::array<std::atomic<quint64>, 9> m_changeCounts{};
    std::unordered_set<PendingOperation*> m_pending;
    // Touched with the main loop locked.
    std::map<int, EventListener> m_listeners;
    int m_nextListenerId = 1;

    // The first connection attempt's outcome, which `shared()` waits for.
    std::mutex m_firstAttemptMutex;
    std::condition_variable m_firstAttemptDone;
    bool m_firstAttemptFinished = false;
};

template <typename F>
auto PulseContext::withLock(F&& work) -> std::invoke_result_t<F, pa_context*>
{
    if (isMainloopThread())
        return work(m_context);
    struct Locker {
        pa_threaded_mainloop* mainloop;
        explicit Locker(pa_threaded_mainloop* m)
            : mainloop(m)
        {
            pa_threaded_mainloop_lock(mainloop);
        }
        ~Locker() { pa_threaded_mainloop_unlock(mainloop); }
    } locker(m_mainloop);
    return work(m_ready ? m_context : nullptr);
}

template <typename Info, typename T>
QFuture<QList<T>> PulseContext::queryList(ListStart<Info> start, std::function<T(const Info&)> convert)
{
    struct Op : PendingOperation {
        PulseContext* owner = nullptr;
        QPromise<QList<T>> promise;
        QList<T> items;
        std::function<T(const Info&)> convert;

        void fail(const Error& error) override
        {
            promise.setException(std::make_exception_ptr(error));
            promise.finish();
        }
        static void callback(pa_context* context, const Info* info, int eol, void* userdata)
        {
            auto* op = static_cast<Op*>(userdata);
            if (eol == 0) {
                if (info)
                    op->items.append(op->convert(*info));
                return;
            }
            if (eol < 0 && pa_context_errno(context) != PA_ERR_NOENTITY) {
                op->fail(errorOf(context));
            } else {
                op->promise.addResult(std::move(op->items));
                op->promise.finish();
            }
            op->owner->end(op);
        }
    };
    auto* op = new Op;
    op->owner = this;
    op->convert = std::move(convert);
    op->promise.start();
    QFuture<QList<T>> future = op->promise.future();
    begin(op, [start = std::move(start), op](pa_context* context) { return start(context, &Op::callback, op); });
    return future;
}

template <typename Info, typename T>
QFuture<std::optional<T>> PulseContext::queryByName(const QString& name, ByNameStart<Info> start,
                                                    std::function<T(const Info&)> convert)
{
    const QByteArray utf8 = name.toUtf8();
    return queryList<Info, T>(
               [utf8, start](pa_context* c, InfoCallback<Info> callback, void* userdata) {
                   return start(c, utf8.constData(), callback, userdata);
               },
               std::move(convert))
        .then([](const QList<T>& found) { return found.isEmpty() ? std::nullopt : std::optional<T>(found.first()); });
}

template <typename T>
T PulseContext::wait(QFuture<T> future)
{
    if (shared().isMainloopThread())
        throw Error(QStringLiteral("PulseAudio"), PA_ERR_BADSTATE,
                    QStringLiteral("A sound server query cannot wait on the sound server's own thread."));
    future.waitForFinished();
    if constexpr (!std::is_void_v<T>)
        return future.result();
}
