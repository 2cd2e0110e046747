#pragma once

#include "viewmodels/collaborators/DeviceService.h"

// Microphones as the test lists them.
class FakeDeviceManager : public DeviceService {
public:
    FakeDeviceManager()
        : mics{{QStringLiteral("builtin"), QStringLiteral("Built-in"), true},
               {QStringLiteral("usb"), QStringLiteral("USB Mic"), false}}
        , selected(QStringLiteral("builtin"))
    {
    }

    QList<AudioDevice> availableMics() const override { return mics; }
    QString selectedMicID() const override { return selected; }
    void setSelectedMicID(const QString& id) override
    {
        ++writes;
        if (id == selected)
            return;
        selected = id;
        Q_EMIT selectedMicIDChanged();
    }
    std::optional<AudioDevice> selectedMicDevice() const override
    {
        for (const AudioDevice& device : mics)
            if (device.id == selected)
                return device;
        for (const AudioDevice& device : mics)
            if (device.isDefault)
                return device;
        return std::nullopt;
    }

    bool isSoundServerReachable() const override { return reachable; }
    void setReachable(bool isReachable)
    {
        reachable = isReachable;
        Q_EMIT soundServerReachableChanged();
    }

    // The manager's own change, e.g. after a device was unplugged.
    void choose(const QString& id)
    {
        selected = id;
        Q_EMIT selectedMicIDChanged();
    }

    QList<AudioDevice> mics;
    QString selected;
    int writes = 0;
    bool reachable = true;
};
