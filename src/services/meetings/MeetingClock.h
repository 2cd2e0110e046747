#pragma once

#include "common/Date.h"

#include <chrono>
#include <functional>
#include <memory>

// Time and repeating timers for the meeting detector, so that cooldowns,
// checks and countdowns can be driven by a test.
class MeetingClock {
public:
    // Stops its timer when destroyed, also from inside its own tick.
    class RepeatingTimer {
    public:
        virtual ~RepeatingTimer() = default;
    };

    virtual ~MeetingClock() = default;

    virtual Date now() const = 0;
    // Calls `tick` on the calling thread every `interval` until the timer is dropped.
    virtual std::unique_ptr<RepeatingTimer> repeat(std::chrono::milliseconds interval, std::function<void()> tick) = 0;
};
