#pragma once

#include <QByteArray>

#include <cstdint>

struct xcb_connection_t;

// Watches the X display for the first window of one process to be mapped:
// its own top-level window, or the frame a window manager put it in. Listens
// to the root window's map events, so it costs nothing while it waits.
class AppStartupWindowWatch {
public:
    AppStartupWindowWatch();
    ~AppStartupWindowWatch();
    AppStartupWindowWatch(const AppStartupWindowWatch&) = delete;
    AppStartupWindowWatch& operator=(const AppStartupWindowWatch&) = delete;

    bool isConnected() const;
    // Waits until a window of `pid` is mapped; false after `timeoutMs`.
    // Start watching before the process starts.
    bool waitForMappedWindow(int64_t pid, int timeoutMs);

private:
    bool belongsTo(uint32_t window, int64_t pid, int depth);

    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    uint32_t m_pidAtom = 0;
};
