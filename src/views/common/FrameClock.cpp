#include "views/common/FrameClock.h"

#include "platform/x11/X11WindowCover.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {

// On X11 a covered window counts as exposed; the server tells it apart.
bool onX11()
{
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return x11;
}

} // namespace

FrameClock& FrameClock::shared()
{
    static FrameClock* clock = new FrameClock;
    return *clock;
}

FrameClock::FrameClock()
{
    m_clock.start();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FrameClock::frame);
    if (onX11()) {
        connect(&X11WindowCover::shared(), &X11WindowCover::changed, this, &FrameClock::schedule);
        connect(&X11WindowCover::shared(), &X11WindowCover::changed, this, &FrameClock::checkFollowersSoon);
    }
}

bool FrameClock::isOnScreen(const QWidget* widget)
{
    if (!widget || !widget->isVisible())
        return false;
    const QWidget* top = widget->window();
    if (top->isMinimized())
        return false;
    const QWindow* handle = top->windowHandle();
    return handle && handle->isExposed() && !(onX11() && X11WindowCover::shared().isFullyCovered(handle->winId()));
}

FrameClock::Entry& FrameClock::entryFor(QWidget* widget)
{
    auto found = m_entries.find(widget);
    if (found != m_entries.end())
        return *found;
    watch(widget);
    Entry& entry = m_entries[widget];
    entry.widget = widget;
    return entry;
}

void FrameClock::watch(QWidget* widget)
{
    // Show and hide reach every widget of a window that is minimised,
    // restored, hidden or shown; exposure is told to the window alone.
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this, widget] { m_entries.remove(widget); });
    if (QWindow* handle = widget->window()->windowHandle())
        watchWindow(handle);
}

void FrameClock::watchWindow(QWindow* window)
{
    window->installEventFilter(this);
    if (onX11())
        X11WindowCover::shared().watch(uint32_t(window->winId()));
}

void FrameClock::requestUpdate(QWidget* widget, const QRect& rect)
{
    if (!widget)
        return;
    Entry& entry = entryFor(widget);
    if (rect.isEmpty())
        entry.wholeWidget = true;
    else
        entry.dirty += rect;
    if (!m_inFrame)
        schedule();
}

void FrameClock::animate(QWidget* widget, std::function<void(qint64)> step)
{
    if (!widget)
        return;
    Entry& entry = entryFor(widget);
    entry.step = std::move(step);
    entry.lastStepMs = -1;
    if (!m_inFrame)
        schedule();
}

void FrameClock::stopAnimating(QWidget* widget)
{
    const auto found = m_entries.find(widget);
    if (found == m_entries.end())
        return;
    found->step = nullptr;
    found->lastStepMs = -1;
}

bool FrameClock::isAnimating(const QWidget* widget) const
{
    const auto found = m_entries.constFind(widget);
    return found != m_entries.constEnd() && found->step;
}

void FrameClock::followOnScreen(QWidget* widget, std::function<void(bool)> changed)
{
    if (!widget)
        return;
    Entry& entry = entryFor(widget);
    entry.follower = std::move(changed);
    entry.followedOnScreen = isOnScreen(widget);
    entry.follower(entry.followedOnScreen);
}

bool FrameClock::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::ParentChange:
        // A window made after the widget was first watched, or a new one.
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window()->windowHandle())
            watchWindow(widget->window()->windowHandle());
        schedule();
        checkFollowersSoon();
        break;
    case QEvent::Hide:
    case QEvent::Expose:
    case QEvent::WindowStateChange:
        // Whatever waited for the widget to come back is drawn now.
        schedule();
        checkFollowersSoon();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FrameClock::checkFollowersSoon()
{
    if (std::exchange(m_followersCheckPending, true))
        return;
    QMetaObject::invokeMethod(this, &FrameClock::checkFollowers, Qt::QueuedConnection);
}

void FrameClock::checkFollowers()
{
    m_followersCheckPending = false;
    const QList<const QWidget*> widgets = m_entries.keys();
    for (const QWidget* key : widgets) {
        auto found = m_entries.find(key);
        if (found == m_entries.end() || !found->follower)
            continue;
        const bool onScreen = isOnScreen(found->widget);
        if (onScreen == found->followedOnScreen)
            continue;
        found->followedOnScreen = onScreen;
        const std::function<void(bool)> follower = found->follower;
        follower(onScreen);
    }
}

void FrameClock::schedule()
{
    if (m_timer.isActive() || m_inFrame)
        return;
    const bool due = std::any_of(m_entries.cbegin(), m_entries.cend(), [](const Entry& entry) {
        return (entry.step || entry.wholeWidget || !entry.dirty.isEmpty()) && isOnScreen(entry.widget);
    });
    if (!due)
        return;
    const qint64 wait = m_lastFrameMs + frameMs - m_clock.elapsed();
    m_timer.start(int(std::clamp<qint64>(wait, 0, frameMs)));
}

void FrameClock::frame()
{
    m_inFrame = true;
    const qint64 now = m_clock.elapsed();
    m_lastFrameMs = now;
    // Steps first: what they change is drawn in this same frame.
    const QList<const QWidget*> widgets = m_entries.keys();
    for (const QWidget* key : widgets) {
        auto found = m_entries.find(key);
        if (found == m_entries.end() || !found->step)
            continue;
        if (!isOnScreen(found->widget)) {
            found->lastStepMs = -1;
            continue;
        }
        const qint64 stepMs = found->lastStepMs < 0 ? 0 : now - found->lastStepMs;
        found->lastStepMs = now;
        const std::function<void(qint64)> step = found->step;
        step(stepMs);
    }
    for (Entry& entry : m_entries) {
        if (!(entry.wholeWidget || !entry.dirty.isEmpty()) || !isOnScreen(entry.widget))
            continue;
        if (entry.wholeWidget)
            entry.widget->update();
        else
            entry.widget->update(entry.dirty);
        entry.wholeWidget = false;
        entry.dirty = QRegion();
    }
    m_inFrame = false;
    schedule();
}
