#pragma once

#include "platform/pulse/PulseSinkInfo.h"
#include "platform/pulse/PulseSourceInfo.h"

#include <optional>

// The server's current default input and output, read with blocking queries:
// call from a worker or the main thread, never from a sound-server callback.
// Nothing when there is no such device or the server cannot answer.
namespace PulseDefaultDevices {

std::optional<PulseSourceInfo> defaultSource();
std::optional<PulseSinkInfo> defaultSink();

} // namespace PulseDefaultDevices
