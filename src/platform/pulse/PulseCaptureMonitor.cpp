#include "platform/pulse/PulseCaptureMonitor.h"

#include <QCoreApplication>
#include <QFutureWatcher>

#include <optional>

PulseCaptureMonitor::PulseCaptureMonitor(PulseContext& context, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_ownProcessId(QString::number(QCoreApplication::applicationPid()))
{
    connect(&m_context, &PulseContext::connected, this, &PulseCaptureMonitor::refreshAll);
    connect(&m_context, &PulseContext::disconnected, this, &PulseCaptureMonitor::onDisconnected);
    connect(&m_context, &PulseContext::serverEvent, this, &PulseCaptureMonitor::onServerEvent);
    if (m_context.isConnected())
        refreshAll();
}

QList<PulseSourceOutputInfo> PulseCaptureMonitor::otherCaptureStreams() const
{
    QList<PulseSourceOutputInfo> streams;
    for (const PulseSourceOutputInfo& output : m_outputs) {
        if (output.clientIndex != PA_INVALID_INDEX && !output.isCorked && !isOwn(output))
            streams.append(output);
    }
    return streams;
}

bool PulseCaptureMonitor::isDefaultSourceRunning(bool excludingOwnStreams) const
{
    if (m_defaultSourceState != PulseDeviceState::Running)
        return false;
    if (!excludingOwnStreams)
        return true;
    // Streams a module holds count: they keep the source running too.
    for (const PulseSourceOutputInfo& output : m_outputs) {
        if (output.sourceIndex == m_defaultSourceIndex && !output.isCorked && !isOwn(output))
            return true;
    }
    return false;
}

bool PulseCaptureMonitor::isOwn(const PulseSourceOutputInfo& output) const
{
    return (output.clientIndex != PA_INVALID_INDEX && output.clientIndex == m_ownClientIndex)
        || output.processId == m_ownProcessId;
}

void PulseCaptureMonitor::refreshAll()
{
    m_ownClientIndex = m_context.ownClientIndex();
    refreshServer();
    refreshOutputs();
}

void PulseCaptureMonitor::refreshServer()
{
    whenAnswered<PulseServerInfo>(m_context.serverInfo(), m_serverGeneration, [this](const PulseServerInfo& server) {
        if (server.defaultSourceName != m_defaultSourceName) {
            m_defaultSourceName = server.defaultSourceName;
            m_defaultSourceIndex = PA_INVALID_INDEX;
        }
        refreshDefaultSource();
    });
}

void PulseCaptureMonitor::refreshDefaultSource()
{
    if (m_defaultSourceName.isEmpty())
        return; // the server's answer has not come yet, or it has no source
    whenAnswered<std::optional<PulseSourceInfo>>(
        m_context.source(m_defaultSourceName), m_sourceGeneration, [this](const std::optional<PulseSourceInfo>& source) {
            const bool wasRunning = isDefaultSourceRunning(false);
            m_defaultSourceIndex = source ? source->index : PA_INVALID_INDEX;
            m_defaultSourceState = source ? source->state : PulseDeviceState::Unknown;
            if (isDefaultSourceRunning(false) != wasRunning)
                Q_EMIT defaultSourceRunningChanged();
        });
}

void PulseCaptureMonitor::refreshOutputs()
{
    whenAnswered<QList<PulseSourceOutputInfo>>(m_context.sourceOutputs(), m_outputsGeneration,
                                              [this](const QList<PulseSourceOutputInfo>& outputs) { m_outputs = outputs; });
}

void PulseCaptureMonitor::onServerEvent(PulseContext::Facility facility, PulseContext::Change, quint32 index)
{
    switch (facility) {
    case PulseContext::Facility::Server: // the default source may have changed
        refreshServer();
        break;
    case PulseContext::Facility::Source:
        if (index == m_defaultSourceIndex || m_defaultSourceIndex == PA_INVALID_INDEX)
            refreshDefaultSource();
        break;
    case PulseContext::Facility::SourceOutput:
        refreshOutputs();
        break;
    default:
        break;
    }
}

void PulseCaptureMonitor::onDisconnected()
{
    const bool wasRunning = isDefaultSourceRunning(false);
    ++m_serverGeneration;
    ++m_sourceGeneration;
    ++m_outputsGeneration;
    m_ownClientIndex = PA_INVALID_INDEX;
    m_defaultSourceIndex = PA_INVALID_INDEX;
    m_defaultSourceState = PulseDeviceState::Unknown;
    m_outputs.clear();
    if (wasRunning)
        Q_EMIT defaultSourceRunningChanged();
}

template <typename T>
void PulseCaptureMonitor::whenAnswered(QFuture<T> future, int& generation, std::function<void(const T&)> apply)
{
    const int asked = ++generation;
    auto* watcher = new QFutureWatcher<T>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [watcher, asked, &generation, apply = std::move(apply)] {
        watcher->deleteLater();
        if (asked != generation)
            return;
        try {
            apply(watcher->result());
        } catch (...) {
            // Not connected or no answer: the reconnection or the next event asks again.
        }
    });
    watcher->setFuture(future);
}
