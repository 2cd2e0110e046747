#include "viewmodels/StatusLine.h"

#include "viewmodels/PublishedValue.h"

#include <utility>

StatusLine::StatusLine(std::chrono::milliseconds clearDelay, QObject* parent)
    : QObject(parent)
{
    m_clearTimer.setSingleShot(true);
    m_clearTimer.setInterval(clearDelay);
    connect(&m_clearTimer, &QTimer::timeout, this, [this] {
        if (std::exchange(m_held, false) && m_deferred) {
            show(*std::exchange(m_deferred, std::nullopt));
            return;
        }
        setExportMessage(std::nullopt);
    });
}

void StatusLine::show(const QString& text)
{
    if (m_held) {
        m_deferred = text;
        return;
    }
    setExportMessage(text);
    // Restarted by every message, so the latest one stays its full time.
    m_clearTimer.start();
}

void StatusLine::showHeld(const QString& text)
{
    m_held = true;
    setExportMessage(text);
    m_clearTimer.start();
}

void StatusLine::setExportMessage(const std::optional<QString>& message)
{
    publish(this, m_exportMessage, message, &StatusLine::exportMessageChanged);
}
