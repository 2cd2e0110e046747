#pragma once

#include <QProcess>

// A tray host (trayer) on the test display while the object lives, so the
// app's tray item has somewhere to go.
class TrayHost {
public:
    TrayHost();
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // True once the host owns the tray selection.
    bool isReady() const { return m_ready; }

    // Ends the host and waits until the app sees no tray.
    static bool waitUntilNoTray();

private:
    QProcess m_process;
    bool m_ready = false;
};
