#include "platform/x11/X11WindowList.h"

#include <QStringDecoder>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <cstdlib>

namespace {

// Titles longer than this many 32-bit units (16 KiB) are cut.
constexpr uint32_t kMaxTextUnits = 4096;
// Window managers nest clients at most a few levels deep inside their frames.
constexpr int kMaxFrameDepth = 3;

template <typename Reply, typename Cookie, typename Fetch>
Reply* replyOf(xcb_connection_t* c, Cookie cookie, Fetch fetch)
{
    xcb_generic_error_t* error = nullptr;
    Reply* reply = fetch(c, cookie, &error);
    std::free(error); // an error for a window that is gone: nothing to report
    return reply;
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using ReplyPtr = std::unique_ptr<T, FreeReply>;

ReplyPtr<xcb_get_property_reply_t> propertyReply(xcb_connection_t* c, xcb_get_property_cookie_t cookie)
{
    return ReplyPtr<xcb_get_property_reply_t>(
        replyOf<xcb_get_property_reply_t>(c, cookie, xcb_get_property_reply));
}

bool hasValue(const xcb_get_property_reply_t* reply)
{
    return reply && reply->type != XCB_ATOM_NONE;
}

QByteArray bytesOf(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->format != 8)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                      xcb_get_property_value_length(reply));
}

// Text properties come as UTF8_STRING, or as STRING or COMPOUND_TEXT, which
// programs in practice also fill with UTF-8; what is not valid UTF-8 is read
// as Latin-1, STRING's own encoding.
QString textOf(QByteArray bytes, xcb_atom_t type, xcb_atom_t utf8Type)
{
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    if (type == utf8Type)
        return QString::fromUtf8(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

std::optional<QString> titleOf(const xcb_get_property_reply_t* netName, const xcb_get_property_reply_t* name,
                               xcb_atom_t utf8Type)
{
    if (hasValue(netName)) {
        const QString title = textOf(bytesOf(netName), netName->type, utf8Type);
        if (!title.isEmpty())
            return title;
    }
    if (hasValue(name))
        return textOf(bytesOf(name), name->type, utf8Type);
    if (hasValue(netName))
        return QString();
    return std::nullopt;
}

} // namespace

struct X11WindowList::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    xcb_window_t root = XCB_NONE;
    int screen = 0;
    xcb_atom_t wmState = XCB_NONE;

    ~Connection()
    {
        if (ewmhReady)
            xcb_ewmh_connection_wipe(&ewmh);
        if (xcb)
            xcb_disconnect(xcb);
    }
};

X11WindowList::X11WindowList(QByteArray displayName, Walk walk)
    : m_displayName(std::move(displayName))
    , m_walk(walk)
{
}

X11WindowList::~X11WindowList() = default;

bool X11WindowList::connect()
{
    if (m_connection && !xcb_connection_has_error(m_connection->xcb))
        return true;
    m_connection.reset();

    auto connection = std::make_unique<Connection>();
    connection->xcb = xcb_connect(m_displayName.isEmpty() ? nullptr : m_displayName.constData(), &connection->screen);
    if (xcb_connection_has_error(connection->xcb))
        return false;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection->xcb, &connection->ewmh);
    if (!cookies || !xcb_ewmh_init_atoms_replies(&connection->ewmh, cookies, nullptr))
        return false;
    connection->ewmhReady = true;
    if (connection->screen < 0 || connection->screen >= connection->ewmh.nb_screens)
        return false;
    connection->root = connection->ewmh.screens[connection->screen]->root;

    static const char wmState[] = "WM_STATE";
    auto* atom = replyOf<xcb_intern_atom_reply_t>(
        connection->xcb, xcb_intern_atom(connection->xcb, 0, sizeof wmState - 1, wmState), xcb_intern_atom_reply);
    if (atom) {
        connection->wmState = atom->atom;
        std::free(atom);
    }
    m_connection = std::move(connection);
    return true;
}

std::optional<QList<X11Window>> X11WindowList::windows()
{
    if (!connect())
        return std::nullopt;

    std::optional<QList<uint32_t>> ids;
    if (m_walk != Walk::WindowTree)
        ids = clientList();
    if (!ids && m_walk != Walk::ClientList)
        ids = treeWindows();
    QList<X11Window> result = describe(ids.value_or(QList<uint32_t>()));

    if (xcb_connection_has_error(m_connection->xcb)) {
        m_connection.reset(); // the server went away; the next call reconnects
        return std::nullopt;
    }
    return result;
}

std::optional<QList<uint32_t>> X11WindowList::clientList()
{
    Connection& c = *m_connection;
    // A client list is kept only while a window manager runs; one left behind
    // by a manager that has exited is stale.
    xcb_window_t check = XCB_NONE;
    if (m_walk == Walk::Automatic
        && !xcb_ewmh_get_supporting_wm_check_reply(&c.ewmh, xcb_ewmh_get_supporting_wm_check(&c.ewmh, c.root),
                                                   &check, nullptr))
        return std::nullopt;

    xcb_ewmh_get_windows_reply_t clients;
    if (!xcb_ewmh_get_client_list_reply(&c.ewmh, xcb_ewmh_get_client_list(&c.ewmh, c.screen), &clients, nullptr))
        return std::nullopt;
    QList<uint32_t> ids(clients.windows, clients.windows + clients.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&clients);
    return ids;
}

QList<uint32_t> X11WindowList::treeWindows()
{
    Connection& c = *m_connection;
    ReplyPtr<xcb_query_tree_reply_t> tree(
        replyOf<xcb_query_tree_reply_t>(c.xcb, xcb_query_tree(c.xcb, c.root), xcb_query_tree_reply));
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    QList<uint32_t> ids;
    ids.reserve(count);
    for (int i = 0; i < count; ++i) {
        // Without a window manager the children are the clients themselves;
        // with one that is not EWMH-aware, they are its frames.
        ids.append(clientInside(children[i], kMaxFrameDepth).value_or(children[i]));
    }
    return ids;
}

std::optional<uint32_t> X11WindowList::clientInside(uint32_t window, int depth)
{
    Connection& c = *m_connection;
    if (c.wmState == XCB_NONE)
        return std::nullopt;
    auto state = propertyReply(c.xcb, xcb_get_property(c.xcb, 0, window, c.wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0));
    if (hasValue(state.get()))
        return window;
    if (depth <= 0)
        return std::nullopt;
    ReplyPtr<xcb_query_tree_reply_t> tree(
        replyOf<xcb_query_tree_reply_t>(c.xcb, xcb_query_tree(c.xcb, window), xcb_query_tree_reply));
    if (!tree)
        return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        if (auto client = clientInside(children[i], depth - 1))
            return client;
    }
    return std::nullopt;
}

QList<X11Window> X11WindowList::describe(const QList<uint32_t>& ids)
{
    Connection& c = *m_connection;
    struct Cookies {
        xcb_get_property_cookie_t netName, name, wmClass, pid;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t position;
    };
    // Every request goes out before the first reply is read: one round trip in all.
    QList<Cookies> cookies;
    cookies.reserve(ids.size());
    for (const uint32_t id : ids) {
        cookies.append(Cookies{
            xcb_get_property(c.xcb, 0, id, c.ewmh._NET_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxTextUnits),
            xcb_get_property(c.xcb, 0, id, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxTextUnits),
            xcb_get_property(c.xcb, 0, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, kMaxTextUnits),
            xcb_get_property(c.xcb, 0, id, c.ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 0, 1),
            xcb_get_geometry(c.xcb, id),
            xcb_translate_coordinates(c.xcb, id, c.root, 0, 0),
        });
    }

    QList<X11Window> windows;
    windows.reserve(ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const Cookies& cookie = cookies[i];
        auto netName = propertyReply(c.xcb, cookie.netName);
        auto name = propertyReply(c.xcb, cookie.name);
        auto wmClass = propertyReply(c.xcb, cookie.wmClass);
        auto pid = propertyReply(c.xcb, cookie.pid);
        ReplyPtr<xcb_get_geometry_reply_t> geometry(
            replyOf<xcb_get_geometry_reply_t>(c.xcb, cookie.geometry, xcb_get_geometry_reply));
        ReplyPtr<xcb_translate_coordinates_reply_t> position(
            replyOf<xcb_translate_coordinates_reply_t>(c.xcb, cookie.position, xcb_translate_coordinates_reply));
        if (!geometry)
            continue; // closed since it was listed

        X11Window window;
        window.id = ids[i];
        window.title = titleOf(netName.get(), name.get(), c.ewmh.UTF8_STRING);
        const QPoint origin = position ? QPoint(position->dst_x, position->dst_y) : QPoint(geometry->x, geometry->y);
        window.frame = QRect(origin, QSize(geometry->width, geometry->height));
        if (hasValue(pid.get()) && pid->format == 32 && xcb_get_property_value_length(pid.get()) >= 4)
            window.pid = *static_cast<const uint32_t*>(xcb_get_property_value(pid.get()));
        const QList<QByteArray> classParts = bytesOf(wmClass.get()).split('\0');
        if (!classParts.isEmpty())
            window.windowInstance = QString::fromLocal8Bit(classParts.value(0));
        window.windowClass = QString::fromLocal8Bit(classParts.value(1));
        windows.append(std::move(window));
    }
    return windows;
}
