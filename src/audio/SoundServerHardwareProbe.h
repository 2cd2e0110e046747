#pragma once

#include "audio/AudioHardwareProbe.h"
#include "platform/pulse/PulseHardwareProbe.h"

// The mixer's hardware questions in the app, answered by the sound server.
class SoundServerHardwareProbe : public AudioHardwareProbe {
public:
    std::optional<float> defaultInputVolume() override { return m_server.defaultInputVolume(); }
    std::optional<QString> defaultOutputDeviceName() override { return m_server.defaultOutputDeviceName(); }

private:
    PulseHardwareProbe m_server;
};
