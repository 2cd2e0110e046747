#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

// A real top-level window on the test display, made over its own xcb
// connection and destroyed with the object.
class X11TestWindow {
public:
    struct Options {
        std::optional<QString> netWmName; // _NET_WM_NAME as UTF8_STRING
        std::optional<QByteArray> wmName; // WM_NAME as STRING, raw bytes
        QByteArray wmInstance;
        QByteArray wmClass;
        std::optional<uint32_t> pid;
        QSize size{800, 600};
        // Over the whole screen, unmanaged (override-redirect): covers every other window.
        bool coversScreen = false;
    };

    explicit X11TestWindow(const Options& options);
    ~X11TestWindow();
    X11TestWindow(const X11TestWindow&) = delete;
    X11TestWindow& operator=(const X11TestWindow&) = delete;

    uint32_t id() const { return m_window; }

    // Writes _NET_WM_NAME typed STRING but filled with UTF-8, as some tools
    // (xdotool's set_window) do.
    void setNetWmNameAsString(const QByteArray& utf8);

private:
    uint32_t atom(const char* name);

    xcb_connection_t* m_connection = nullptr;
    uint32_t m_window = 0;
};
