#include "audio/SystemAudioCapture.h"

#include "common/Error.h"
#include "platform/pulse/PulseContext.h"

#include <algorithm>
#include <cstdio>

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
              std::printf("System audio stream stopped with error: %s\n", qPrintable(error.message()));
              m_isRunning = false;
          })
    , m_queue(QStringLiteral("com.tarvell.nimbrel.systemaudioqueue"), SerialQueue::Priority::UserInteractive)
{
}

SystemAudioCapture::~SystemAudioCapture()
{
    m_queue.sync([this] {
        m_stream.close();
        m_isRunning = false;
        m_isShutDown = true;
    });
}

QFuture<void> SystemAudioCapture::start()
{
    return m_queue.async([this] { startOnQueue(); });
}

void SystemAudioCapture::startOnQueue()
{
    if (m_isRunning)
        return;
    PulseContext& pulse = PulseContext::shared();
    const QString sinkName = PulseContext::wait(pulse.serverInfo()).defaultSinkName;
    if (sinkName.isEmpty())
        throw noOutput();
    const std::optional<PulseSinkInfo> sink = PulseContext::wait(pulse.sink(sinkName));
    if (!sink || sink->monitorSourceName.isEmpty())
        throw noOutput();

    m_stream.open(sink->monitorSourceName);
    m_isRunning = true;
}

QFuture<void> SystemAudioCapture::stop()
{
    return m_queue.async([this] {
        if (!m_isRunning || !m_stream.isOpen())
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
        std::printf("[SystemAudioCapture] Attempting to restart system audio stream after sleep/wake...\n");
        try {
            startOnQueue();
            std::printf("[SystemAudioCapture] System audio stream restarted successfully.\n");
        } catch (const Error& error) {
            std::printf("[SystemAudioCapture] Restart failed: %s\n", qPrintable(error.message()));
        }
    });
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
