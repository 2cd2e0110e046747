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

void CaptureStream::drainDeliveries()
{
    if (m_deliveryQueue && m_deliveryQueue != &m_queue)
        m_deliveryQueue->sync([] {});
}

void CaptureStream::open(const QString& sourceName)
{
    const int generation = ++m_lastGeneration;
    SerialQueue* deliveryQueue = m_deliveryQueue ? m_deliveryQueue : &m_queue;
    PulseRecordStream::Options options;
    options.sourceName = sourceName;
    options.streamName = m_streamName;
    options.dontMove = true;
    auto stream = std::make_unique<PulseRecordStream>(
        options,
        [this, generation, deliveryQueue](const QByteArray& bytes) {
            // Until the new stream takes over, the old one goes on delivering,
            // and the new one's first pieces are dropped: never both at once.
            if (generation == m_deliveringGeneration.load(std::memory_order_relaxed))
                deliveryQueue->post([this, bytes] { m_onBuffer(bufferOf(bytes)); });
        },
        [this, generation](const Error& error) {
            m_queue.post([this, generation, error] {
                if (generation == m_openGeneration)
                    m_onEnded(error);
            });
        });
    stream->open();
    m_deliveringGeneration = generation;
    close();
    m_stream = std::move(stream);
    m_openGeneration = generation;
    m_isOpen = true;
}

void CaptureStream::close()
{
    if (!m_stream)
        return;
    m_stream->close();
    m_stream.reset();
    m_isOpen = false;
    m_openGeneration = 0; // an end already on its way is no longer news
}

QString CaptureStream::sourceName() const
{
    return m_stream ? m_stream->sourceName() : QString();
}
