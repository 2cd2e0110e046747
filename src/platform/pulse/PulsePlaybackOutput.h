#pragma once

#include "audio/PlaybackOutput.h"
#include "platform/pulse/PulseStreamLifecycle.h"

struct pa_operation;

// A playback stream on the process's one sound-server connection, to the
// default output, in 32-bit float. Its lock is the connection's main-loop lock.
class PulsePlaybackOutput : public PlaybackOutput {
public:
    PulsePlaybackOutput() = default;
    ~PulsePlaybackOutput() override;
    PulsePlaybackOutput(const PulsePlaybackOutput&) = delete;
    PulsePlaybackOutput& operator=(const PulsePlaybackOutput&) = delete;

    void open(int sampleRate, int channels, Handlers handlers) override;
    void close() override;
    bool isOpen() const override;
    int sampleRate() const override { return m_sampleRate; }
    void locked(const std::function<void()>& work) override;
    void setPaused(bool paused) override;
    void flush() override;
    int64_t latencyFrames() override;

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
