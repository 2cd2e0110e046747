#include "platform/x11/X11WindowCover.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdlib>

X11WindowCover& X11WindowCover::shared()
{
    static X11WindowCover* cover = new X11WindowCover;
    return *cover;
}

X11WindowCover::X11WindowCover(QObject* parent)
    : QObject(parent)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11WindowCover::readEvents);
}

X11WindowCover::~X11WindowCover()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

void X11WindowCover::watch(uint32_t window)
{
    if (!m_connection || !window || m_covered.contains(window))
        return;
    m_covered.insert(window, false);
    const uint32_t mask = XCB_EVENT_MASK_VISIBILITY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

void X11WindowCover::readEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        switch (event->response_type & 0x7f) {
        case XCB_VISIBILITY_NOTIFY: {
            const auto* visibility = reinterpret_cast<const xcb_visibility_notify_event_t*>(event);
            const bool covered = visibility->state == XCB_VISIBILITY_FULLY_OBSCURED;
            auto found = m_covered.find(visibility->window);
            if (found != m_covered.end() && *found != covered) {
                *found = covered;
                Q_EMIT changed(visibility->window);
            }
            break;
        }
        case XCB_UNMAP_NOTIFY: {
            // An unmapped window is out of sight for other reasons; mapped
            // again, the server tells its visibility anew.
            const auto* unmap = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
            if (auto found = m_covered.find(unmap->window); found != m_covered.end() && *found) {
                *found = false;
                Q_EMIT changed(unmap->window);
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            m_covered.remove(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
            break;
        default:
            break;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection))
        m_notifier->setEnabled(false);
}
