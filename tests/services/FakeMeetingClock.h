#pragma once

#include "services/meetings/MeetingClock.h"

#include <QList>

#include <memory>

// A clock that moves only when told to; its timers fire as it passes their
// times, and the events they queue are processed after each one.
class FakeMeetingClock : public MeetingClock {
public:
    explicit FakeMeetingClock(Date start = Date::fromReferenceSeconds(700000000));

    Date now() const override { return m_now; }
    std::unique_ptr<RepeatingTimer> repeat(std::chrono::milliseconds interval, std::function<void()> tick) override;

    void advance(double seconds);
    int activeTimers() const;

private:
    struct Entry {
        double interval;
        double next;
        std::function<void()> tick;
        std::shared_ptr<bool> alive;
    };

    Date m_now;
    QList<std::shared_ptr<Entry>> m_entries;
};
