#pragma once

#include "platform/pulse/PulseDeviceState.h"

#include <QString>

#include <cstdint>

// One source (an input, or the monitor of a sink) as the server lists it.
struct PulseSourceInfo {
    uint32_t index = 0;
    QString name;        // the stable identifier streams connect to
    QString description; // for display
    QString monitorOfSinkName; // empty unless this is a sink's monitor
    bool isMonitor = false;
    PulseDeviceState state = PulseDeviceState::Unknown;
    // Mean channel volume as a share of the nominal volume (1.0 = 100 %):
    // the position of the volume slider, not the linear gain.
    double volumeShare = 1.0;
    bool isMuted = false;
    QString activePortName;
};
