#pragma once

#include "audio/CaptureStream.h"
#include "audio/CapturedBuffer.h"
#include "common/SerialQueue.h"

#include <QFuture>

#include <atomic>
#include <functional>

// Records what the machine plays: the monitor of the default output (sink),
// handed on as CapturedBuffers on the capture's own queue. The stream stays on
// that sink; if the sink goes away the capture stops instead of moving onto
// some other source (which could be a microphone).
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
    // Starts again after the stream stopped by itself; prints the outcome.
    QFuture<void> restartIfStopped();

    bool isRunning() const { return m_isRunning; }

    // Capture needs no grant here: it is possible when some output has a monitor.
    static bool hasPermission();
    // Nothing to ask for; kept for the callers that ask before recording.
    static void requestPermission();

    // Runs on the capture's queue for every delivery. Set it before starting.
    std::function<void(const CapturedBuffer&)> onCapturedBuffer;

private:
    void startOnQueue();

    // Touched only on the queue.
    CaptureStream m_stream;
    bool m_isShutDown = false;
    std::atomic<bool> m_isRunning = false;
    // Declared last so that it is drained first, while the rest still exists.
    SerialQueue m_queue;
};
