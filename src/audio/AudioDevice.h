#pragma once

#include <QHash>
#include <QMetaType>
#include <QString>

// One microphone as the device manager lists it.
struct AudioDevice {
    QString id;   // the sound server's source name, which streams connect to
    QString name; // its description, for display
    bool isDefault = false; // the server's default source when listed

    friend bool operator==(const AudioDevice&, const AudioDevice&) = default;
};

inline size_t qHash(const AudioDevice& device, size_t seed = 0) noexcept
{
    return qHashMulti(seed, device.id, device.name, device.isDefault);
}

Q_DECLARE_METATYPE(AudioDevice)
