#pragma once

#include "audio/PlaybackOutput.h"

#include <mutex>
#include <vector>

// An output the test drives by hand: `deliver` asks the player for frames as a
// sound server would, and `hear` plays queued frames out. What was heard is
// kept for the test to look at.
class FakePlaybackOutput : public PlaybackOutput {
public:
    void open(int sampleRate, int channels, Handlers handlers) override
    {
        std::lock_guard lock(m_lock);
        m_handlers = std::move(handlers);
        m_sampleRate = sampleRate;
        m_channels = channels;
        m_open = true;
        m_queue.clear();
        m_ended = false;
        m_drainReported = false;
        ++opens;
    }
    void close() override
    {
        std::lock_guard lock(m_lock);
        m_handlers = {};
        m_open = false;
        m_sampleRate = 0;
    }
    bool isOpen() const override { return m_open; }
    int sampleRate() const override { return m_sampleRate; }
    void locked(const std::function<void()>& work) override
    {
        std::lock_guard lock(m_lock);
        work();
    }
    void setPaused(bool value) override { paused = value; }
    void flush() override
    {
        std::lock_guard lock(m_lock);
        m_queue.clear();
        m_ended = false;
        m_drainReported = false;
    }
    int64_t latencyFrames() override
    {
        std::lock_guard lock(m_lock);
        return m_open ? static_cast<int64_t>(m_queue.size()) / m_channels : -1;
    }

    // Renders up to `frames` more frames into the queue; returns how many came.
    int64_t deliver(int64_t frames)
    {
        std::lock_guard lock(m_lock);
        if (!m_open || m_ended)
            return 0;
        std::vector<float> buffer(static_cast<size_t>(frames * m_channels));
        const int64_t got = m_handlers.render(buffer.data(), frames);
        m_queue.insert(m_queue.end(), buffer.begin(), buffer.begin() + got * m_channels);
        m_ended = got < frames;
        return got;
    }

    // Plays `frames` queued frames out (when not paused); reports the drain
    // once the source has ended and nothing is left.
    void hear(int64_t frames)
    {
        std::lock_guard lock(m_lock);
        if (paused)
            return;
        const auto count = std::min(m_queue.size(), static_cast<size_t>(frames * m_channels));
        heard.insert(heard.end(), m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(count));
        m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(count));
        if (m_ended && m_queue.empty() && !m_drainReported && m_handlers.drained) {
            m_drainReported = true;
            m_handlers.drained();
        }
    }

    bool paused = true;
    int opens = 0;
    std::vector<float> heard; // interleaved

private:
    std::recursive_mutex m_lock;
    Handlers m_handlers;
    std::vector<float> m_queue;
    int m_sampleRate = 0;
    int m_channels = 2;
    bool m_open = false;
    bool m_ended = false;
    bool m_drainReported = false;
};
