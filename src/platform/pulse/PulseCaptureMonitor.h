#pragma once

#include "platform/pulse/PulseContext.h"
#include "platform/pulse/PulseDeviceState.h"
#include "platform/pulse/PulseSourceOutputInfo.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// Follows, over the shared connection, who records from the sound server and
// whether the default source is in use. Kept up to date from the server's
// events, so reading it never waits for the server. Main thread only.
class PulseCaptureMonitor : public QObject {
    Q_OBJECT
public:
    explicit PulseCaptureMonitor(PulseContext& context, QObject* parent = nullptr);

    // Running record streams of other processes. Streams a module holds
    // itself (client PA_INVALID_INDEX), corked streams and this process's own
    // are left out.
    QList<PulseSourceOutputInfo> otherCaptureStreams() const;
    // The default source's state is RUNNING; with `excludingOwnStreams`,
    // because of some record stream that is not this process's.
    bool isDefaultSourceRunning(bool excludingOwnStreams) const;
    const QString& defaultSourceName() const { return m_defaultSourceName; }

Q_SIGNALS:
    // The default source started or stopped running, also by another source
    // becoming the default.
    void defaultSourceRunningChanged();

private:
    void refreshAll();
    void refreshServer();
    void refreshDefaultSource();
    void refreshOutputs();
    void onServerEvent(PulseContext::Facility facility, PulseContext::Change change, quint32 index);
    void onDisconnected();
    bool isOwn(const PulseSourceOutputInfo& output) const;

    // Hands a query's result to `apply` on this object's thread, unless a
    // newer query of the same kind was started meanwhile or it failed (the
    // next event or reconnection asks again).
    template <typename T>
    void whenAnswered(QFuture<T> future, int& generation, std::function<void(const T&)> apply);

    PulseContext& m_context;
    uint32_t m_ownClientIndex = PA_INVALID_INDEX;
    QString m_ownProcessId;
    QString m_defaultSourceName;
    uint32_t m_defaultSourceIndex = PA_INVALID_INDEX;
    PulseDeviceState m_defaultSourceState = PulseDeviceState::Unknown;
    QList<PulseSourceOutputInfo> m_outputs;
    int m_serverGeneration = 0;
    int m_sourceGeneration = 0;
    int m_outputsGeneration = 0;
};
