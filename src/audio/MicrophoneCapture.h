#pragma once

#include "audio/AudioDevice.h"
#include "audio/CaptureStream.h"
#include "audio/CapturedBuffer.h"
#include "common/Error.h"
#include "common/SerialQueue.h"

#include <QFuture>

#include <atomic>
#include <functional>
#include <optional>

// Captures one microphone (a sound-server source) and hands every delivery on
// as a CapturedBuffer. Start, stop, device changes and deliveries all run in
// order on the capture's own queue, so a stop issued after a start always
// takes effect after it.
class MicrophoneCapture {
public:
    MicrophoneCapture();
    ~MicrophoneCapture();
    MicrophoneCapture(const MicrophoneCapture&) = delete;
    MicrophoneCapture& operator=(const MicrophoneCapture&) = delete;

    // Chooses `device` (see setDevice), then starts capturing. Returns at once;
    // the future tells whether capture runs: it fails with the reason when no
    // device is chosen or its stream cannot be opened. Starting a running
    // capture does nothing.
    QFuture<void> start(const std::optional<AudioDevice>& device);
    // Returns at once; stopping a stopped capture does nothing. No delivery
    // follows once the future is finished.
    QFuture<void> stop();
    // Records from `device` from now on, also while running (the old stream is
    // replaced, the capture keeps running). Without a device, nothing changes;
    // a device the server does not know is refused with a printed line.
    void setDevice(const std::optional<AudioDevice>& device);

    // Runs on the capture's queue for every delivery, or on the queue given to
    // `setDeliveryQueue`. Set it before starting.
    std::function<void(const CapturedBuffer&)> onCapturedBuffer;
    // Runs onCapturedBuffer on `queue` instead, so a delivery wakes one
    // thread less. Before starting; `queue` must outlive the capture.
    void setDeliveryQueue(SerialQueue& queue) { m_stream.setDeliveryQueue(queue); }

    // On the capture's queue, when the stream ends by itself while running
    // (the device went away, the server did): the capture stays running
    // without a stream until the next device change opens one.
    std::function<void(const Error&)> onStreamLost;
    // Whether a stream delivers now; from any thread, without waiting.
    bool isCapturing() const { return m_stream.isOpen(); }

    // For observers that need to see the queue's state: waits for the queue.
    bool isRunning();
    QString currentSourceName();

private:
    // Touched only on the queue; the flags are also read where deliveries run.
    CaptureStream m_stream;
    QString m_sourceName;
    std::atomic<bool> m_isRunning = false;
    std::atomic<bool> m_isShutDown = false;
    // Declared last so that it is drained first, while the rest still exists.
    SerialQueue m_queue;
};
