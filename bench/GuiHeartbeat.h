#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// The longest time the GUI thread went without running a 1 ms timer.
class GuiHeartbeat {
public:
    GuiHeartbeat()
    {
        m_timer.setInterval(1);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0)
                m_longest = std::max(m_longest, now - m_last);

            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = -1;
        m_longest = 0;
        m_timer.start();
    }
    double stopMs()
    {
        m_timer.stop();
        return double(m_longest) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_longest = 0;
};
