#pragma once

#include <QString>

#include <optional>

// What the mixing asks of the sound hardware: the default input's volume (to
// undo a lowered input slider) and the default output's name (to leave the
// echo guard off on headphones). Implementations answer from any thread and
// may block briefly; the mixer caches their answers.
class AudioHardwareProbe {
public:
    virtual ~AudioHardwareProbe() = default;

    // Linear volume of the default input device, 1.0 at full scale; none when
    // there is no default input or it has no volume control.
    virtual std::optional<float> defaultInputVolume() = 0;

    // Human-readable name of the default output device (for a sound server
    // sink, its description and active port), none when unknown.
    virtual std::optional<QString> defaultOutputDeviceName() = 0;

    // Whether an output with this name is worn on the head (no speaker that
    // the microphone could pick up).
    static bool isHeadphonesName(const QString& name);
};
