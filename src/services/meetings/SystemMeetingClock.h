#pragma once

#include "services/meetings/MeetingClock.h"

// The wall clock and QTimer on the calling thread's event loop.
class SystemMeetingClock : public MeetingClock {
public:
    Date now() const override;
    std::unique_ptr<RepeatingTimer> repeat(std::chrono::milliseconds interval, std::function<void()> tick) override;
};
