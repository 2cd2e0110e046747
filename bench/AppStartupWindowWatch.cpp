#include "AppStartupWindowWatch.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <xcb/xcb.h>

AppStartupWindowWatch::AppStartupWindowWatch()
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection))
        return;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    const char name[] = "_NET_WM_PID";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
    if (atom) {
        m_pidAtom = atom->atom;
        std::free(atom);
    }
    xcb_flush(m_connection);
}

AppStartupWindowWatch::~AppStartupWindowWatch()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool AppStartupWindowWatch::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection) && m_pidAtom != 0;
}

bool AppStartupWindowWatch::belongsTo(uint32_t window, int64_t pid, int depth)
{
    xcb_get_property_reply_t* property = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    bool found = false;
    if (property) {
        found = xcb_get_property_value_length(property) == 4
            && *static_cast<const uint32_t*>(xcb_get_property_value(property)) == uint32_t(pid);
        std::free(property);
    }
    if (found || depth == 0)
        return found;
    // A window manager's frame holds the client window (sometimes a level deeper).
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr);
    if (!tree)
        return false;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
        found = belongsTo(children[i], pid, depth - 1);
    std::free(tree);
    return found;
}

bool AppStartupWindowWatch::waitForMappedWindow(int64_t pid, int timeoutMs)
{
    if (!isConnected())
        return false;
    QElapsedTimer clock;
    clock.start();
    pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    while (clock.elapsed() < timeoutMs) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            bool mapped = false;
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                mapped = map->event == m_root && belongsTo(map->window, pid, 2);
            }
            std::free(event);
            if (mapped)
                return true;
        }
        if (xcb_connection_has_error(m_connection))
            return false;
        ::poll(&descriptor, 1, int(std::max<qint64>(1, timeoutMs - clock.elapsed())));
    }
    return false;
}
