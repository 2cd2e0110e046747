#pragma once

#include "audio/CapturedBuffer.h"
#include "common/Error.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class PulseRecordStream;
class SerialQueue;

// The record stream of a capture, driven from the capture's queue. The
// stream's end reaches `onEnded` on that queue (the end of a stream that was
// replaced meanwhile is dropped); every delivery reaches `onBuffer` on the
// delivery queue, the capture's own unless another is set. The stream stays
// on its source: losing the source ends it instead of moving it onto another
// one, and a new default does not take it away.
class CaptureStream {
public:
    using BufferHandler = std::function<void(const CapturedBuffer&)>;
    using EndHandler = std::function<void(const Error&)>;

    // `queue` must outlive the stream's deliveries: own it after this.
    CaptureStream(SerialQueue& queue, QString streamName, BufferHandler onBuffer, EndHandler onEnded);
    ~CaptureStream();
    CaptureStream(const CaptureStream&) = delete;
    CaptureStream& operator=(const CaptureStream&) = delete;

    // Hands deliveries to `queue` instead, saving the hop through the
    // capture's queue. Before the first open; `queue` must outlive the
    // capture, whose destructor calls `drainDeliveries`.
    void setDeliveryQueue(SerialQueue& queue) { m_deliveryQueue = &queue; }
    // Waits until the deliveries already handed to another delivery queue
    // have run. Call it once the stream is closed.
    void drainDeliveries();

    // On the queue. Opens a stream on `sourceName`, then closes the current
    // one and puts the new one in its place; deliveries switch from the old
    // stream to the new one at that moment. Throws the sound server's error,
    // leaving the current stream as it was.
    void open(const QString& sourceName);
    // On the queue; nothing when closed.
    void close();
    // Also from other threads, which may see the change a moment late.
    bool isOpen() const { return m_isOpen; }
    // The source of the open stream; empty when closed. On the queue.
    QString sourceName() const;

private:
    SerialQueue& m_queue;
    SerialQueue* m_deliveryQueue = nullptr;
    QString m_streamName;
    BufferHandler m_onBuffer;
    EndHandler m_onEnded;
    std::unique_ptr<PulseRecordStream> m_stream;
    std::atomic<bool> m_isOpen{false};
    int m_lastGeneration = 0; // of the last stream made
    int m_openGeneration = 0; // of the stream in m_stream
    // The generation whose deliveries are handed on; read on the sound
    // server's thread.
    std::atomic<int> m_deliveringGeneration{0};
};
