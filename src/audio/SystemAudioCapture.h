#pragma once

#include "audio/CaptureStream.h"
#include "audio/CapturedBuffer.h"
#include "common/Error.h"
#include "common/SerialQueue.h"

#include <QFuture>
#include <QString>

#include <atomic>
#include <functional>

// Records what the machine plays: the monitor of the server's default output
// (sink), handed on as CapturedBuffers. While running it follows the default
// output: when the default changes, or the output it records goes away, it
// reopens on the new default's monitor, so a headset plugged in during a call
// does not silently drop the far side. Between outputs, or with none at all,
// it keeps running without delivering. The stream is never moved by the server
// onto some other source (which could be a microphone); it only ever records
// the monitor of the output the server itself names as the default.
//
// The sound server offers no way to leave one client's sound out of a monitor,
// so whatever this app itself plays to that output is captured too.
class SystemAudioCapture {
public:
    SystemAudioCapture();
    ~SystemAudioCapture();
    SystemAudioCapture(const SystemAudioCapture&) = delete;
    SystemAudioCapture& operator=(const SystemAudioCapture&) = delete;

    // Opens the stream on the queue. Fails with ("SystemAudioCapture", 1, "No
    // audio output found for system audio capture.") when there is no default
    // output, or with the sound server's error. Does nothing when running.
    QFuture<void> start();
    // Closes the stream when running; never fails.
    QFuture<void> stop();
    // Starts again when not running; prints the outcome.
    QFuture<void> restartIfStopped();

    bool isRunning() const { return m_isRunning; }
    // Whether a stream delivers now; from any thread, without waiting.
    bool isCapturing() const { return m_stream.isOpen(); }
    // On the capture's queue, when the stream ends by itself while running and
    // there is no other output to follow: the capture keeps running and opens
    // again on the next default output.
    std::function<void(const Error&)> onStreamLost;
    // The monitor being recorded; empty while between outputs or stopped.
    // Waits for the queue.
    QString currentSourceName();

    // Capture needs no grant here: it is possible when some output has a monitor.
    static bool hasPermission();
    // Nothing to ask for; kept for the callers that ask before recording.
    static void requestPermission();

    // Runs on the capture's queue for every delivery, or on the queue given to
    // `setDeliveryQueue`. Set it before starting.
    std::function<void(const CapturedBuffer&)> onCapturedBuffer;
    // Runs onCapturedBuffer on `queue` instead, so a delivery wakes one
    // thread less. Before starting; `queue` must outlive the capture.
    void setDeliveryQueue(SerialQueue& queue) { m_stream.setDeliveryQueue(queue); }

private:
    void startOnQueue();
    // Opens on the default output's monitor unless already there. Throws when
    // there is no default output with a monitor, or it cannot be opened.
    void openOnDefaultOutput();
    // After a server change or the end of the stream: on the queue.
    void followDefaultOutput();
    void listenForChanges();

    // Touched only on the queue; the flags are also read where deliveries run
    // and by the server event listener.
    CaptureStream m_stream;
    std::atomic<bool> m_isShutDown = false;
    std::atomic<bool> m_isRunning = false;
    std::atomic<bool> m_isFollowQueued = false;
    int m_listenerId = 0;
    // Declared last so that it is drained first, while the rest still exists.
    SerialQueue m_queue;
};
