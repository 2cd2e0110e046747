#include "viewmodels/adapters/AudioDeviceManagerAdapter.h"

AudioDeviceManagerAdapter::AudioDeviceManagerAdapter(QObject* parent)
    : DeviceService(parent)
{
    connect(&m_manager, &AudioDeviceManager::availableMicsChanged, this, &DeviceService::availableMicsChanged);
    connect(&m_manager, &AudioDeviceManager::selectedMicIDChanged, this, &DeviceService::selectedMicIDChanged);
    connect(&m_manager, &AudioDeviceManager::soundServerReachableChanged, this,
            &DeviceService::soundServerReachableChanged);
}

QList<AudioDevice> AudioDeviceManagerAdapter::availableMics() const
{
    return m_manager.availableMics();
}

QString AudioDeviceManagerAdapter::selectedMicID() const
{
    return m_manager.selectedMicID();
}

void AudioDeviceManagerAdapter::setSelectedMicID(const QString& id)
{
    m_manager.setSelectedMicID(id);
}

std::optional<AudioDevice> AudioDeviceManagerAdapter::selectedMicDevice() const
{
    return m_manager.selectedMicDevice();
}

bool AudioDeviceManagerAdapter::isSoundServerReachable() const
{
    return m_manager.isSoundServerReachable();
}
