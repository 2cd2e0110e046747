#include "audio/CaptureStream.h"

#include "common/SerialQueue.h"
#include "platform/pulse/PulseRecordStream.h"

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

CaptureStream::CaptureStream(SerialQueue& queue, QString streamName, BufferHandler onBuffer, EndHandler onEnded)
    : m_queue(queue)
    , m_streamName(std::move(streamName))
    , m_onBuffer(std::move(onBuffer))
    , m_onEnded(std::move(onEnded))
{
}

CaptureStream::~CaptureStream() = default;

void CaptureStream::open(const QString& sourceName)
{
    const int generation = ++m_generation;
    PulseRecordStream::Options options;
    options.sourceName = sourceName;
    options.streamName = m_streamName;
    options.dontMove = true;
    auto stream = std::make_unique<PulseRecordStream>(
        options,
        [this](const QByteArray& bytes) { m_queue.post([this, bytes] { m_onBuffer(bufferOf(bytes)); }); },
        [this, generation](const Error& error) {
            m_queue.post([this, generation, error] {
                if (generation == m_generation)
                    m_onEnded(error);
            });
        });
    stream->open();
    close();
    m_stream = std::move(stream);
}

void CaptureStream::close()
{
    if (!m_stream)
        return;
    m_stream->close();
    m_stream.reset();
}
