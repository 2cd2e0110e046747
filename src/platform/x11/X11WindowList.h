#pragma once

#include "platform/x11/X11Window.h"

#include <QByteArray>
#include <QList>

#include <memory>
#include <optional>

// The top-level windows of the X display named by DISPLAY, over xcb. With a
// window manager that keeps _NET_CLIENT_LIST, its managed windows (minimised
// and on other desktops included); otherwise the children of the root window,
// each frame replaced by the client window inside it. Windows of Wayland
// clients are not X windows and are never listed. Not thread-safe.
class X11WindowList {
public:
    enum class Walk { Automatic, ClientList, WindowTree };

    explicit X11WindowList(QByteArray displayName = {}, Walk walk = Walk::Automatic);
    ~X11WindowList();
    X11WindowList(const X11WindowList&) = delete;
    X11WindowList& operator=(const X11WindowList&) = delete;

    // Nothing when no X display answers. Reconnects after a lost connection.
    std::optional<QList<X11Window>> windows();

private:
    struct Connection;

    bool connect();
    std::optional<QList<uint32_t>> clientList();
    QList<uint32_t> treeWindows();
    std::optional<uint32_t> clientInside(uint32_t frame, int depth);
    QList<X11Window> describe(const QList<uint32_t>& ids);

    QByteArray m_displayName;
    Walk m_walk;
    std::unique_ptr<Connection> m_connection;
};
