#pragma once

#include "audio/CapturedBuffer.h"
#include "common/Error.h"

#include <QString>

#include <functional>
#include <memory>

class PulseRecordStream;
class SerialQueue;

// The record stream of a capture, driven from the capture's queue. Every
// delivery reaches `onBuffer` and the stream's end reaches `onEnded`, both on
// that queue; the end of a stream that was replaced meanwhile is dropped. The
// stream stays on its source: losing the source ends it instead of moving it
// onto another one, and a new default does not take it away.
class CaptureStream {
public:
    using BufferHandler = std::function<void(const CapturedBuffer&)>;
    using EndHandler = std::function<void(const Error&)>;

    // `queue` must outlive the stream's deliveries: own it after this.
    CaptureStream(SerialQueue& queue, QString streamName, BufferHandler onBuffer, EndHandler onEnded);
    ~CaptureStream();
    CaptureStream(const CaptureStream&) = delete;
    CaptureStream& operator=(const CaptureStream&) = delete;

    // On the queue. Opens a stream on `sourceName`, then closes the current
    // one and puts the new one in its place. Throws the sound server's error,
    // leaving the current stream as it was.
    void open(const QString& sourceName);
    // On the queue; nothing when closed.
    void close();
    bool isOpen() const { return m_stream != nullptr; }

private:
    SerialQueue& m_queue;
    QString m_streamName;
    BufferHandler m_onBuffer;
    EndHandler m_onEnded;
    std::unique_ptr<PulseRecordStream> m_stream;
    int m_generation = 0;
};
