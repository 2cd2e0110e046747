#pragma once

#include "common/Error.h"
#include "platform/pulse/PulseStreamLifecycle.h"

#include <cstdint>
#include <functional>

struct pa_operation;

// A playback stream on the process's one sound-server connection, to the
// default output, in 32-bit float. Its lock is the connection's main-loop lock:
// the handlers run with it held, and `locked` takes it.
class PulsePlaybackOutput {
public:
    struct Handlers {
        // Fills up to `frames` interleaved frames, returns how many; fewer ends the source.
        std::function<int64_t(float* interleaved, int64_t frames)> render;
        std::function<void()> drained;
        std::function<void(const Error& error)> failed;
    };

    PulsePlaybackOutput() = default;
    ~PulsePlaybackOutput();
    PulsePlaybackOutput(const PulsePlaybackOutput&) = delete;
    PulsePlaybackOutput& operator=(const PulsePlaybackOutput&) = delete;

    // Opens a paused stream, replacing any open one. Throws `Error`.
    void open(int sampleRate, int channels, Handlers handlers);
    void close();
    bool isOpen() const;
    int sampleRate() const { return m_sampleRate; }
    void locked(const std::function<void()>& work);
    void setPaused(bool paused);
    void flush();
    // Frames rendered but not heard yet; -1 while unknown.
    int64_t latencyFrames();

private:
    static void onStateChanged(pa_stream* stream, void* userdata);
    static void onWritable(pa_stream* stream, size_t bytes, void* userdata);
    static void onDrained(pa_stream* stream, int success, void* userdata);
    void closeLocked();
    void cancelDrain();

    Handlers m_handlers;
    pa_stream* m_stream = nullptr;
    pa_operation* m_drain = nullptr;
    int m_sampleRate = 0;
    int m_channels = 2;
    bool m_sourceEnded = false;
    bool m_failed = false;
    PulseStreamLifecycle m_lifecycle;
};
