#include "FakeMeetingClock.h"

#include <QCoreApplication>

namespace {

class FakeTimer : public MeetingClock::RepeatingTimer {
public:
    explicit FakeTimer(std::shared_ptr<bool> alive)
        : m_alive(std::move(alive))
    {
    }
    ~FakeTimer() override { *m_alive = false; }

private:
    std::shared_ptr<bool> m_alive;
};

} // namespace

FakeMeetingClock::FakeMeetingClock(Date start)
    : m_now(start)
{
}

std::unique_ptr<MeetingClock::RepeatingTimer> FakeMeetingClock::repeat(std::chrono::milliseconds interval,
                                                                      std::function<void()> tick)
{
    auto alive = std::make_shared<bool>(true);
    const double seconds = interval.count() / 1000.0;
    m_entries.append(std::make_shared<Entry>(Entry{seconds, m_now.referenceSeconds() + seconds, std::move(tick), alive}));
    return std::make_unique<FakeTimer>(alive);
}

void FakeMeetingClock::advance(double seconds)
{
    const double target = m_now.referenceSeconds() + seconds;
    QCoreApplication::processEvents();
    for (;;) {
        m_entries.removeIf([](const auto& entry) { return !*entry->alive; });
        std::shared_ptr<Entry> due;
        for (const auto& entry : m_entries) {
            if (entry->next <= target && (!due || entry->next < due->next))
                due = entry;
        }
        if (!due)
            break;
        m_now = Date::fromReferenceSeconds(due->next);
        due->next += due->interval;
        due->tick();
        QCoreApplication::processEvents();
    }
    m_now = Date::fromReferenceSeconds(target);
}

int FakeMeetingClock::activeTimers() const
{
    int count = 0;
    for (const auto& entry : m_entries)
        count += *entry->alive ? 1 : 0;
    return count;
}
