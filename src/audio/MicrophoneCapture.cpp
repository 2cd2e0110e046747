#include "audio/MicrophoneCapture.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "platform/pulse/PulseContext.h"

// The stream stays on the user's pick even when the default microphone changes.
MicrophoneCapture::MicrophoneCapture()
    : m_stream(
          m_queue, QStringLiteral("Microphone"),
          [this](const CapturedBuffer& buffer) {
              // On the capture's queue, pieces read before a stop are not
              // handed on after it.
              if (m_isRunning && !m_isShutDown && onCapturedBuffer)
                  onCapturedBuffer(buffer);
          },
          [this](const Error& error) {
              if (!m_stream.isOpen())
                  return;
              ConsoleLine::print(QStringLiteral("Microphone stream ended: ") + error.message());
              m_stream.close();
              if (m_isRunning && !m_isShutDown && onStreamLost)
                  onStreamLost(error);
          })
    , m_queue(QStringLiteral("com.tarvell.nimbrel.micqueue"), SerialQueue::Priority::UserInteractive)
{
}

MicrophoneCapture::~MicrophoneCapture()
{
    m_queue.sync([this] {
        m_stream.close();
        m_isRunning = false;
        // Deliveries already queued are dropped: their receiver may be going away.
        m_isShutDown = true;
    });
    m_stream.drainDeliveries();
}

QFuture<void> MicrophoneCapture::start(const std::optional<AudioDevice>& device)
{
    setDevice(device);
    return m_queue.async([this] {
        if (m_isRunning)
            return;
        m_isRunning = true;
        if (m_sourceName.isEmpty())
            throw Error(QStringLiteral("MicrophoneCapture"), 1, QStringLiteral("No microphone found."));
        m_stream.open(m_sourceName);
    });
}

QFuture<void> MicrophoneCapture::stop()
{
    return m_queue.async([this] {
        if (!m_isRunning)
            return;
        m_stream.close();
        m_isRunning = false;
    });
}

void MicrophoneCapture::setDevice(const std::optional<AudioDevice>& device)
{
    if (!device)
        return;
    m_queue.post([this, name = device->id] {
        try {
            if (!PulseContext::wait(PulseContext::shared().source(name)))
                throw Error(QStringLiteral("MicrophoneCapture"), 2,
                            QStringLiteral("The microphone \"%1\" is not available.").arg(name));
        } catch (const Error& error) {
            ConsoleLine::print(QStringLiteral("Error setting mic device: ") + error.message());
            return;
        }
        m_sourceName = name;
        if (!m_isRunning)
            return;
        // Like a capture session that loses its input first: if the new stream
        // cannot be opened, the capture stays without one until the next change.
        m_stream.close();
        try {
            m_stream.open(m_sourceName);
        } catch (const Error& error) {
            ConsoleLine::print(QStringLiteral("Error setting mic device: ") + error.message());
        }
    });
}

bool MicrophoneCapture::isRunning()
{
    return m_queue.sync([this] { return m_isRunning.load(); });
}

QString MicrophoneCapture::currentSourceName()
{
    return m_queue.sync([this] { return m_sourceName; });
}
