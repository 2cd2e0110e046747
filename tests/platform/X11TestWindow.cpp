#include "X11TestWindow.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

X11TestWindow::X11TestWindow(const Options& options)
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection))
        throw std::runtime_error("no X display");
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_window = xcb_generate_id(m_connection);
    const uint32_t overrideRedirect = 1;
    if (options.coversScreen) {
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, screen->width_in_pixels,
                          screen->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
    } else {
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 10, 10, options.size.width(),
                          options.size.height(), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    }
    if (options.netWmName) {
        const QByteArray utf8 = options.netWmName->toUtf8();
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                            utf8.size(), utf8.constData());
    }
    if (options.wmName) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            options.wmName->size(), options.wmName->constData());
    }
    if (!options.wmClass.isEmpty() || !options.wmInstance.isEmpty()) {
        const QByteArray value = options.wmInstance + '\0' + options.wmClass + '\0';
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            value.size(), value.constData());
    }
    if (options.pid) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                            &*options.pid);
    }
    xcb_map_window(m_connection, m_window);
    xcb_flush(m_connection);
}

X11TestWindow::~X11TestWindow()
{
    xcb_destroy_window(m_connection, m_window);
    xcb_flush(m_connection);
    xcb_disconnect(m_connection);
}

void X11TestWindow::setNetWmNameAsString(const QByteArray& utf8)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_NAME"), XCB_ATOM_STRING, 8,
                        utf8.size(), utf8.constData());
    xcb_flush(m_connection);
}

uint32_t X11TestWindow::atom(const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr);
    const uint32_t value = reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}
