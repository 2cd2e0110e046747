#pragma once

#include "platform/pulse/PulseDeviceState.h"

#include <QString>

#include <cstdint>

// One sink (an output) as the server lists it.
struct PulseSinkInfo {
    uint32_t index = 0;
    QString name;
    QString description;
    QString monitorSourceName; // the source that carries what the sink plays
    PulseDeviceState state = PulseDeviceState::Unknown;
    QString activePortName;        // e.g. "analog-output-headphones"
    QString activePortDescription; // e.g. "Headphones"
};
