// The settings window under the test X server's window manager: it offers
// the window no maximize and no resize, and a maximize request changes
// nothing.
#include "app/SettingsWindow.h"
#include "app/SettingsWindowController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* connection()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}

// The actions the window manager allows on `window`; empty until it has managed it.
QList<xcb_atom_t> allowedActions(xcb_window_t window)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection(),
        xcb_get_property(connection(), 0, window, atom("_NET_WM_ALLOWED_ACTIONS"), XCB_ATOM_ATOM, 0, 64), nullptr);
    QList<xcb_atom_t> actions;
    if (reply && reply->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            actions.append(values[i]);
    }
    free(reply);
    return actions;
}

} // namespace

TEST(SettingsWindowFrame, TheWindowManagerOffersNoMaximizeAndNoResize)
{
    ASSERT_NE(connection(), nullptr) << "needs the X server";
    SettingsWindow window(new QLabel(QStringLiteral("content")));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto id = static_cast<xcb_window_t>(window.winId());
    QList<xcb_atom_t> actions;
    QElapsedTimer waited;
    waited.start();
    while ((actions = allowedActions(id)).isEmpty() && waited.elapsed() < 5000)
        QTest::qWait(50);
    ASSERT_TRUE(actions.contains(atom("_NET_WM_ACTION_CLOSE"))) << "the window manager never managed the window";
    EXPECT_TRUE(actions.contains(atom("_NET_WM_ACTION_MOVE")));
    for (const char* refused : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_RESIZE"})
        EXPECT_FALSE(actions.contains(atom(refused))) << refused;

    // Asked to maximize as a pager or a keyboard shortcut would, it stays as it is.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atom("_NET_WM_STATE");
    message.data.data32[0] = 1; // add
    message.data.data32[1] = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    message.data.data32[2] = atom("_NET_WM_STATE_MAXIMIZED_VERT");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
    xcb_send_event(connection(), 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection());
    QTest::qWait(500);
    EXPECT_EQ(window.size(), SettingsWindowController::contentSize);
    EXPECT_FALSE(window.windowState() & Qt::WindowMaximized);
}
