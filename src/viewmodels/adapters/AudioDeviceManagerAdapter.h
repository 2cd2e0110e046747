#pragma once

#include "audio/AudioDeviceManager.h"
#include "viewmodels/collaborators/DeviceService.h"

// The device service over the real device manager, which it owns.
class AudioDeviceManagerAdapter : public DeviceService {
    Q_OBJECT
public:
    explicit AudioDeviceManagerAdapter(QObject* parent = nullptr);

    QList<AudioDevice> availableMics() const override;
    QString selectedMicID() const override;
    void setSelectedMicID(const QString& id) override;
    std::optional<AudioDevice> selectedMicDevice() const override;
    bool isSoundServerReachable() const override;

private:
    AudioDeviceManager m_manager;
};
