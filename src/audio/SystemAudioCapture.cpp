#include "audio/SystemAudioCapture.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "platform/pulse/PulseContext.h"

#include <algorithm>

namespace {

Error noOutput()
{
    return Error(QStringLiteral("SystemAudioCapture"), 1,
                 QStringLiteral("No audio output found for system audio capture."));
}

} // namespace

SystemAudioCapture::SystemAudioCapture()
    : m_stream(
          m_queue, QStringLiteral("System audio"),
          [this](const CapturedBuffer& buffer) {
              // Pieces read before a stop are not handed on after it.
              if (m_isRunning && !m_isShutDown && onCapturedBuffer)
                  onCapturedBuffer(buffer);
          },
          [this](const Error& error) {
              if (!m_isRunning)
                  return;
              // Its output went away, or the server did: record whatever is
              // the default now, or wait for one.
              ConsoleLine::print(QStringLiteral("[SystemAudioCapture] System audio stream ended: ") + error.message());
              m_stream.close();
              followDefaultOutput();
              if (!m_stream.isOpen() && !m_isShutDown && onStreamLost)
                  onStreamLost(error);
          })
    , m_queue(QStringLiteral("com.tarvell.nimbrel.systemaudioqueue"), SerialQueue::Priority::UserInteractive)
{
}

SystemAudioCapture::~SystemAudioCapture()
{
    m_queue.sync([this] {
        if (m_listenerId != 0)
            PulseContext::shared().removeEventListener(m_listenerId);
        m_stream.close();
        m_isRunning = false;
        m_isShutDown = true;
    });
    m_stream.drainDeliveries();
}

QFuture<void> SystemAudioCapture::start()
{
    return m_queue.async([this] { startOnQueue(); });
}

void SystemAudioCapture::startOnQueue()
{
    if (m_isRunning)
        return;
    listenForChanges();
    openOnDefaultOutput();
    m_isRunning = true;
}

void SystemAudioCapture::listenForChanges()
{
    if (m_listenerId != 0)
        return;
    // On the sound server's thread: only note that the default may have
    // moved; the queue looks. A burst of events makes one look.
    m_listenerId = PulseContext::shared().addEventListener(
        [this](PulseContext::Facility facility, PulseContext::Change change, uint32_t) {
            const bool defaultMayHaveMoved = facility == PulseContext::Facility::Server
                || (facility == PulseContext::Facility::Sink && change != PulseContext::Change::Changed);
            if (!defaultMayHaveMoved || !m_isRunning || m_isShutDown || m_isFollowQueued.exchange(true))
                return;
            m_queue.post([this] { followDefaultOutput(); });
        });
}

void SystemAudioCapture::openOnDefaultOutput()
{
    PulseContext& pulse = PulseContext::shared();
    const QString sinkName = PulseContext::wait(pulse.serverInfo()).defaultSinkName;
    if (sinkName.isEmpty())
        throw noOutput();
    const std::optional<PulseSinkInfo> sink = PulseContext::wait(pulse.sink(sinkName));
    if (!sink || sink->monitorSourceName.isEmpty())
        throw noOutput();
    if (m_stream.isOpen() && m_stream.sourceName() == sink->monitorSourceName)
        return;
    m_stream.open(sink->monitorSourceName);
}

void SystemAudioCapture::followDefaultOutput()
{
    m_isFollowQueued = false;
    if (!m_isRunning || m_isShutDown)
        return;
    const QString before = m_stream.sourceName();
    try {
        openOnDefaultOutput();
    } catch (const Error& error) {
        // The next change of outputs tries again; the stream on the old
        // output, if it still runs, goes on meanwhile.
        ConsoleLine::print(QStringLiteral("[SystemAudioCapture] Waiting for an audio output: ") + error.message());
        return;
    }
    if (m_stream.sourceName() != before)
        ConsoleLine::print(QStringLiteral("[SystemAudioCapture] Recording the default output: ") + m_stream.sourceName());
}

QFuture<void> SystemAudioCapture::stop()
{
    return m_queue.async([this] {
        if (!m_isRunning)
            return;
        m_stream.close();
        m_isRunning = false;
    });
}

QFuture<void> SystemAudioCapture::restartIfStopped()
{
    return m_queue.async([this] {
        if (m_isRunning)
            return;
        ConsoleLine::print(QStringLiteral("[SystemAudioCapture] Attempting to restart system audio stream after sleep/wake..."));
        try {
            startOnQueue();
            ConsoleLine::print(QStringLiteral("[SystemAudioCapture] System audio stream restarted successfully."));
        } catch (const Error& error) {
            ConsoleLine::print(QStringLiteral("[SystemAudioCapture] Restart failed: ") + error.message());
        }
    });
}

QString SystemAudioCapture::currentSourceName()
{
    return m_queue.sync([this] { return m_stream.sourceName(); });
}

bool SystemAudioCapture::hasPermission()
{
    try {
        const QList<PulseSourceInfo> sources = PulseContext::wait(PulseContext::shared().sources());
        return std::any_of(sources.begin(), sources.end(), [](const PulseSourceInfo& s) { return s.isMonitor; });
    } catch (const Error&) {
        return false;
    }
}

void SystemAudioCapture::requestPermission()
{
}
