#include "services/meetings/SystemMeetingClock.h"

#include <QTimer>

namespace {

class QtRepeatingTimer : public MeetingClock::RepeatingTimer {
public:
    QtRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> tick)
        : m_timer(new QTimer)
    {
        m_timer->setInterval(interval);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, std::move(tick));
        m_timer->start();
    }

    ~QtRepeatingTimer() override
    {
        // Deleted later: the timer may be dropped from inside its own tick.
        m_timer->stop();
        m_timer->disconnect();
        m_timer->deleteLater();
    }

private:
    QTimer* m_timer;
};

} // namespace

Date SystemMeetingClock::now() const
{
    return Date::now();
}

std::unique_ptr<MeetingClock::RepeatingTimer> SystemMeetingClock::repeat(std::chrono::milliseconds interval,
                                                                        std::function<void()> tick)
{
    return std::make_unique<QtRepeatingTimer>(interval, std::move(tick));
}
