#pragma once

#include <QString>

#include <mutex>
#include <optional>

// Answers the mixer's hardware questions from the sound server: the default
// source's volume and the default sink's name. An answer is kept until the
// server reports a change of that kind, so a steady recording asks nothing;
// otherwise it blocks briefly on a query. Never call it from a sound-server
// callback.
class PulseHardwareProbe {
public:
    // The volume slider's position (its share of the nominal 100 %), averaged
    // over the channels; not the cubic gain the server applies.
    std::optional<float> defaultInputVolume();
    // The sink's description and its active port's name, for instance
    // "Built-in Audio Analog Stereo analog-output-headphones".
    std::optional<QString> defaultOutputDeviceName();

private:
    std::mutex m_mutex;
    std::optional<float> m_volume;
    quint64 m_volumeChanges = 0;
    std::optional<QString> m_outputName;
    quint64 m_outputChanges = 0;
};
