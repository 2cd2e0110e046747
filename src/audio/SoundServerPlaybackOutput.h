#pragma once

#include "audio/PlaybackOutput.h"
#include "platform/pulse/PulsePlaybackOutput.h"

// The player's output in the app: a playback stream on the sound server.
class SoundServerPlaybackOutput : public PlaybackOutput {
public:
    void open(int sampleRate, int channels, Handlers handlers) override;
    void close() override { m_stream.close(); }
    bool isOpen() const override { return m_stream.isOpen(); }
    int sampleRate() const override { return m_stream.sampleRate(); }
    void locked(const std::function<void()>& work) override { m_stream.locked(work); }
    void setPaused(bool paused) override { m_stream.setPaused(paused); }
    void flush() override { m_stream.flush(); }
    int64_t latencyFrames() override { return m_stream.latencyFrames(); }

private:
    PulsePlaybackOutput m_stream;
};
