#pragma once

#include "audio/AudioDevice.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// The microphones the user can pick and the chosen one, as the device manager
// keeps them. The views list `availableMics` from here.
class DeviceService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DeviceService() override = default;

    virtual QList<AudioDevice> availableMics() const = 0;
    virtual QString selectedMicID() const = 0;
    virtual void setSelectedMicID(const QString& id) = 0;
    // The chosen microphone, else the default one, else none.
    virtual std::optional<AudioDevice> selectedMicDevice() const = 0;
    // Whether a sound server answers; the list is then the last one it gave.
    virtual bool isSoundServerReachable() const { return true; }

Q_SIGNALS:
    void availableMicsChanged();
    void selectedMicIDChanged();
    void soundServerReachableChanged();
};
