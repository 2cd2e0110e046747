#pragma once

#include "common/Error.h"

#include <pulse/stream.h>

#include <condition_variable>
#include <mutex>
#include <optional>

// What every stream on the shared connection goes through: the opener makes
// and connects the stream inside PulseContext::withLock, then waits here while
// the server sets it up; the stream's state callback reports to
// `stateChanged`. `release` takes a stream down again.
class PulseStreamLifecycle {
public:
    // Before the stream is made: forgets the previous attempt.
    void begin();
    // The stream could not be made or connected.
    void fail(const Error& error);
    // Waits until the server has set the stream up, or for five seconds; the
    // set-up's error, if any. Never on the sound server's thread.
    std::optional<Error> wait();
    // From the stream's state callback. Ends a pending set-up on the first
    // final state; once set up, gives the error of a stream that failed or
    // ended, for its owner to report.
    std::optional<Error> stateChanged(pa_stream* stream);

    // With the main loop locked: drops the stream's callbacks, disconnects it
    // and lets it go. Nothing for a null stream.
    static void release(pa_stream*& stream);

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::optional<Error> m_error;
};
