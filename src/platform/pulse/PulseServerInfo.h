#pragma once

#include <QString>

// The sound server's identity and its current default devices.
struct PulseServerInfo {
    QString serverName;
    QString serverVersion;
    QString defaultSinkName;   // empty when the server has no output at all
    QString defaultSourceName; // may name a sink's monitor when no microphone exists
};
