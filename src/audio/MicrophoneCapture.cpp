#include "audio/MicrophoneCapture.h"

#include "common/Error.h"
#include "platform/pulse/PulseContext.h"
#include "platform/pulse/PulseRecordStream.h"

#include <cstdio>

namespace {

CapturedBuffer bufferOf(const QByteArray& interleavedFloats)
{
    CapturedBuffer buffer;
    buffer.sampleRate = PulseRecordStream::sampleRate;
    buffer.isFloat = true;
    buffer.isNonInterleaved = false;
    buffer.channelsPerFrame = PulseRecordStream::channels;
    buffer.frameCount = int(interleavedFloats.size() / qsizetype(sizeof(float) * PulseRecordStream::channels));
    buffer.buffers = {interleavedFloats};
    return buffer;
}

} // namespace

MicrophoneCapture::MicrophoneCapture()
    : m_queue(QStringLiteral("com.tarvell.nimbrel.micqueue"), SerialQueue::Priority::UserInteractive)
{
}

MicrophoneCapture::~MicrophoneCapture()
{
    m_queue.sync([this] {
        closeStream();
        m_isRunning = false;
        // Deliveries already queued are dropped: their receiver may be going away.
        m_isShutDown = true;
    });
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
        openStream();
    });
}

QFuture<void> MicrophoneCapture::stop()
{
    return m_queue.async([this] {
        if (!m_isRunning)
            return;
        closeStream();
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
            std::printf("Error setting mic device: %s\n", qPrintable(error.message()));
            return;
        }
        m_sourceName = name;
        if (!m_isRunning)
            return;
        // Like a capture session that loses its input first: if the new stream
        // cannot be opened, the capture stays without one until the next change.
        closeStream();
        try {
            openStream();
        } catch (const Error& error) {
            std::printf("Error setting mic device: %s\n", qPrintable(error.message()));
        }
    });
}

bool MicrophoneCapture::isRunning()
{
    return m_queue.sync([this] { return m_isRunning; });
}

QString MicrophoneCapture::currentSourceName()
{
    return m_queue.sync([this] { return m_sourceName; });
}

void MicrophoneCapture::openStream()
{
    const int generation = ++m_streamGeneration;
    PulseRecordStream::Options options;
    options.sourceName = m_sourceName;
    options.streamName = QStringLiteral("Microphone");
    // Stay on the user's pick even when the default microphone changes.
    options.dontMove = true;
    auto stream = std::make_unique<PulseRecordStream>(
        options,
        [this](const QByteArray& bytes) {
            m_queue.post([this, bytes] {
                // Pieces read before a stop are not handed on after it.
                if (m_isRunning && !m_isShutDown && onCapturedBuffer)
                    onCapturedBuffer(bufferOf(bytes));
            });
        },
        [this, generation](const Error& error) {
            m_queue.post([this, generation, error] {
                if (generation != m_streamGeneration || !m_stream)
                    return;
                std::printf("Microphone stream ended: %s\n", qPrintable(error.message()));
                closeStream();
            });
        });
    stream->open();
    m_stream = std::move(stream);
}

void MicrophoneCapture::closeStream()
{
    if (!m_stream)
        return;
    m_stream->close();
    m_stream.reset();
}
