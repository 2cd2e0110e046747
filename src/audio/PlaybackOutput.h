#pragma once

#include "common/Error.h"

#include <cstdint>
#include <functional>

// Where the player's sound goes: a stream that asks a render function for
// interleaved float frames on a thread of its own. The render function and the
// handlers run with the output's lock held; `locked` takes the same lock, so
// whatever the render function reads can be changed safely inside it.
class PlaybackOutput {
public:
    struct Handlers {
        // Fills up to `frames` frames and returns how many it filled; fewer
        // means the source has ended. Never waits.
        std::function<int64_t(float* interleaved, int64_t frames)> render;
        // Everything rendered before the source ended has been heard.
        std::function<void()> drained;
        // The stream was lost (the sound server went away).
        std::function<void(const Error& error)> failed;
    };

    virtual ~PlaybackOutput() = default;

    // Opens a paused stream of the given format, replacing any open one.
    // Throws `Error`. Call from the main thread, outside `locked`.
    virtual void open(int sampleRate, int channels, Handlers handlers) = 0;
    // After it returns, no handler runs any more.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int sampleRate() const = 0;

    // Runs `work` while no handler runs.
    virtual void locked(const std::function<void()>& work) = 0;

    // The calls below do nothing while no stream is open.
    virtual void setPaused(bool paused) = 0;
    // Drops everything rendered and not yet heard, and forgets a pending drain.
    virtual void flush() = 0;
    // Frames rendered but not heard yet (what is queued plus the device's
    // latency); -1 while unknown, as right after a flush.
    virtual int64_t latencyFrames() = 0;
};
