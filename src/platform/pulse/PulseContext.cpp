#include "platform/pulse/PulseContext.h"

#include "platform/pulse/PulseInfoConversion.h"

#include <QCoreApplication>
#include <QThread>

#include <pulse/rtclock.h>
#include <pulse/timeval.h>
#include <pulse/subscribe.h>

#include <chrono>

namespace {

constexpr pa_usec_t queryTimeoutUsec = 5 * PA_USEC_PER_SEC;
constexpr pa_usec_t reconnectDelayUsec = 1 * PA_USEC_PER_SEC;
constexpr auto firstConnectionWait = std::chrono::seconds(3);

PulseContext::Facility facilityOf(pa_subscription_event_type_t type)
{
    switch (type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) {
    case PA_SUBSCRIPTION_EVENT_SINK:
        return PulseContext::Facility::Sink;
    case PA_SUBSCRIPTION_EVENT_SOURCE:
        return PulseContext::Facility::Source;
    case PA_SUBSCRIPTION_EVENT_SINK_INPUT:
        return PulseContext::Facility::SinkInput;
    case PA_SUBSCRIPTION_EVENT_SOURCE_OUTPUT:
        return PulseContext::Facility::SourceOutput;
    case PA_SUBSCRIPTION_EVENT_MODULE:
        return PulseContext::Facility::Module;
    case PA_SUBSCRIPTION_EVENT_CLIENT:
        return PulseContext::Facility::Client;
    case PA_SUBSCRIPTION_EVENT_SERVER:
        return PulseContext::Facility::Server;
    case PA_SUBSCRIPTION_EVENT_CARD:
        return PulseContext::Facility::Card;
    default:
        return PulseContext::Facility::Other;
    }
}

PulseContext::Change changeOf(pa_subscription_event_type_t type)
{
    switch (type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) {
    case PA_SUBSCRIPTION_EVENT_NEW:
        return PulseContext::Change::New;
    case PA_SUBSCRIPTION_EVENT_REMOVE:
        return PulseContext::Change::Removed;
    default:
        return PulseContext::Change::Changed;
    }
}

} // namespace

PulseContext& PulseContext::shared()
{
    // Never released: streams and queries may be in flight until the process ends.
    static PulseContext* const instance = new PulseContext();
    return *instance;
}

PulseContext::PulseContext()
{
    // Signals are emitted on the main thread whichever thread made the first use.
    if (QCoreApplication* app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());

    m_mainloop = pa_threaded_mainloop_new();
    pa_threaded_mainloop_set_name(m_mainloop, "pulse-context");
    pa_threaded_mainloop_start(m_mainloop);
    pa_threaded_mainloop_lock(m_mainloop);
    connectNow();
    pa_threaded_mainloop_unlock(m_mainloop);

    std::unique_lock lock(m_firstAttemptMutex);
    m_firstAttemptDone.wait_for(lock, firstConnectionWait, [this] { return m_firstAttemptFinished; });
    lock.unlock();

    // Stop calling into Qt once the application object is gone.
    qAddPostRoutine([] { shared().shutDown(); });
}

bool PulseContext::isConnected() const
{
    if (isMainloopThread())
        return m_ready;
    pa_threaded_mainloop_lock(m_mainloop);
    const bool ready = m_ready;
    pa_threaded_mainloop_unlock(m_mainloop);
    return ready;
}

Error PulseContext::connectionError()
{
    return withLock([this](pa_context*) { return m_connectionError.value_or(notConnectedError()); });
}

bool PulseContext::isMainloopThread() const
{
    return pa_threaded_mainloop_in_thread(m_mainloop) != 0;
}

uint32_t PulseContext::ownClientIndex()
{
    return withLock([](pa_context* context) { return context ? pa_context_get_index(context) : PA_INVALID_INDEX; });
}

quint64 PulseContext::changeCount(Facility facility) const
{
    return m_changeCounts[size_t(facility)].load();
}

void PulseContext::countAllChanges()
{
    for (std::atomic<quint64>& count : m_changeCounts)
        ++count;
}

Error PulseContext::errorOf(int paError)
{
    return Error(QStringLiteral("PulseAudio"), paError, QString::fromUtf8(pa_strerror(paError)));
}

Error PulseContext::errorOf(pa_context* context)
{
    return errorOf(context ? pa_context_errno(context) : PA_ERR_CONNECTIONREFUSED);
}

Error PulseContext::notConnectedError()
{
    return Error(QStringLiteral("PulseAudio"), PA_ERR_CONNECTIONREFUSED,
                 QStringLiteral("Not connected to the sound server."));
}

int PulseContext::addEventListener(EventListener listener)
{
    return withLock([&](pa_context*) {
        const int id = m_nextListenerId++;
        m_listeners.emplace(id, std::move(listener));
        return id;
    });
}

void PulseContext::removeEventListener(int id)
{
    withLock([&](pa_context*) { m_listeners.erase(id); });
}

void PulseContext::callListeners(Facility facility, Change change, uint32_t index)
{
    for (const auto& [id, listener] : m_listeners)
        listener(facility, change, index);
}

void PulseContext::connectNow()
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Nimbrel");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "com.tarvell.nimbrel");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_mainloop), "Nimbrel", properties);
    pa_proplist_free(properties);
    pa_context_set_state_callback(m_context, &PulseContext::onStateChanged, this);
    // No autospawn: the app never starts a sound server of its own; it waits for one.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        onStateChanged(m_context, this);
}

void PulseContext::scheduleReconnect()
{
    if (m_reconnectTimer || m_shutDown)
        return;
    m_reconnectTimer = pa_context_rttime_new(
        m_context, pa_rtclock_now() + reconnectDelayUsec,
        [](pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* userdata) {
            auto* self = static_cast<PulseContext*>(userdata);
            api->time_free(event);
            self->m_reconnectTimer = nullptr;
            if (self->m_shutDown)
                return;
            pa_context_unref(self->m_context);
            self->m_context = nullptr;
            self->connectNow();
        },
        this);
}

void PulseContext::onStateChanged(pa_context* context, void* userdata)
{
    auto* self = static_cast<PulseContext*>(userdata);
    if (context != self->m_context)
        return;
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        self->m_ready = true;
        self->countAllChanges();
        pa_context_set_subscribe_callback(context, &PulseContext::onSubscriptionEvent, self);
        if (pa_operation* op = pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_ALL, nullptr, nullptr))
            pa_operation_unref(op);
        QMetaObject::invokeMethod(self, [self] { Q_EMIT self->connected(); }, Qt::QueuedConnection);
        self->callListeners(Facility::Server, Change::Changed, PA_INVALID_INDEX);
    } else if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED || state == PA_CONTEXT_UNCONNECTED) {
        const bool wasReady = self->m_ready;
        self->m_ready = false;
        self->m_connectionError = errorOf(context);
        self->countAllChanges();
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_set_subscribe_callback(context, nullptr, nullptr);
        self->failPending(errorOf(context));
        if (wasReady)
            QMetaObject::invokeMethod(self, [self] { Q_EMIT self->disconnected(); }, Qt::QueuedConnection);
        self->scheduleReconnect();
    } else {
        return;
    }
    std::lock_guard lock(self->m_firstAttemptMutex);
    self->m_firstAttemptFinished = true;
    self->m_firstAttemptDone.notify_all();
}

void PulseContext::onSubscriptionEvent(pa_context*, pa_subscription_event_type_t type, uint32_t index,
                                       void* userdata)
{
    auto* self = static_cast<PulseContext*>(userdata);
    const Facility facility = facilityOf(type);
    const Change change = changeOf(type);
    ++self->m_changeCounts[size_t(facility)];
    self->callListeners(facility, change, index);
    QMetaObject::invokeMethod(
        self, [self, facility, change, index] { Q_EMIT self->serverEvent(facility, change, index); },
        Qt::QueuedConnection);
}

void PulseContext::begin(PendingOperation* op, const std::function<pa_operation*(pa_context*)>& start)
{
    withLock([&](pa_context* context) {
        if (!context || !m_ready) {
            op->fail(notConnectedError());
            delete op;
            return;
        }
        op->operation = start(context);
        if (!op->operation) {
            op->fail(errorOf(context));
            delete op;
            return;
        }
        // A server that stops answering must not leave a waiter blocked for good.
        op->timeout = pa_context_rttime_new(
            context, pa_rtclock_now() + queryTimeoutUsec,
            [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) {
                auto* timedOut = static_cast<PendingOperation*>(userdata);
                pa_operation_cancel(timedOut->operation);
                timedOut->fail(errorOf(PA_ERR_TIMEOUT));
                shared().end(timedOut);
            },
            op);
        m_pending.insert(op);
    });
}

void PulseContext::end(PendingOperation* op)
{
    m_pending.erase(op);
    if (op->timeout)
        pa_threaded_mainloop_get_api(m_mainloop)->time_free(op->timeout);
    if (op->operation)
        pa_operation_unref(op->operation);
    delete op;
}

void PulseContext::failPending(const Error& error)
{
    const auto pending = m_pending;
    for (PendingOperation* op : pending) {
        op->fail(error);
        end(op);
    }
}

void PulseContext::shutDown()
{
    pa_threaded_mainloop_lock(m_mainloop);
    m_shutDown = true;
    if (m_reconnectTimer) {
        pa_threaded_mainloop_get_api(m_mainloop)->time_free(m_reconnectTimer);
        m_reconnectTimer = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        failPending(notConnectedError());
        m_ready = false;
        pa_context_disconnect(m_context);
    }
    pa_threaded_mainloop_unlock(m_mainloop);
    pa_threaded_mainloop_stop(m_mainloop);
}

QFuture<PulseServerInfo> PulseContext::serverInfo()
{
    struct Op : PendingOperation {
        PulseContext* owner = nullptr;
        QPromise<PulseServerInfo> promise;
        void fail(const Error& error) override
        {
            promise.setException(std::make_exception_ptr(error));
            promise.finish();
        }
    };
    auto* op = new Op;
    op->owner = this;
    op->promise.start();
    QFuture<PulseServerInfo> future = op->promise.future();
    begin(op, [op](pa_context* context) {
        return pa_context_get_server_info(
            context,
            [](pa_context* c, const pa_server_info* info, void* userdata) {
                auto* self = static_cast<Op*>(userdata);
                if (info) {
                    self->promise.addResult(PulseInfoConversion::server(*info));
                    self->promise.finish();
                } else {
                    self->fail(errorOf(c));
                }
                self->owner->end(self);
            },
            op);
    });
    return future;
}

QFuture<QList<PulseSourceInfo>> PulseContext::sources()
{
    return queryList<pa_source_info, PulseSourceInfo>(pa_context_get_source_info_list, PulseInfoConversion::source);
}

QFuture<std::optional<PulseSourceInfo>> PulseContext::source(const QString& name)
{
    return queryByName<pa_source_info, PulseSourceInfo>(name, pa_context_get_source_info_by_name,
                                                        PulseInfoConversion::source);
}

QFuture<QList<PulseSinkInfo>> PulseContext::sinks()
{
    return queryList<pa_sink_info, PulseSinkInfo>(pa_context_get_sink_info_list, PulseInfoConversion::sink);
}

QFuture<std::optional<PulseSinkInfo>> PulseContext::sink(const QString& name)
{
    return queryByName<pa_sink_info, PulseSinkInfo>(name, pa_context_get_sink_info_by_name,
                                                    PulseInfoConversion::sink);
}

QFuture<QList<PulseSourceOutputInfo>> PulseContext::sourceOutputs()
{
    return queryList<pa_source_output_info, PulseSourceOutputInfo>(pa_context_get_source_output_info_list,
                                                                   PulseInfoConversion::sourceOutput);
}
