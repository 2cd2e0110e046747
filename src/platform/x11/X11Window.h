#pragma once

#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>

// One top-level window of the X display.
struct X11Window {
    uint32_t id = 0;
    std::optional<QString> title; // _NET_WM_NAME, else WM_NAME; absent when neither is set
    QRect frame; // position on the root window and size, in pixels
    qint64 pid = 0; // _NET_WM_PID; 0 when the window does not say
    QString windowInstance; // WM_CLASS instance
    QString windowClass; // WM_CLASS class
};
