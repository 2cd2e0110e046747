#include "audio/AudioDeviceManager.h"

#include "common/Error.h"
#include "platform/pulse/PulseContext.h"

#include <algorithm>

namespace {

constexpr int pollIntervalMs = 1500;

QString firstDefaultID(const QList<AudioDevice>& devices)
{
    const auto found = std::find_if(devices.begin(), devices.end(), [](const AudioDevice& d) { return d.isDefault; });
    return found == devices.end() ? QString() : found->id;
}

QStringList idsOf(const QList<AudioDevice>& devices)
{
    QStringList ids;
    for (const AudioDevice& device : devices)
        ids.append(device.id);
    return ids;
}

} // namespace

AudioDeviceManager::AudioDeviceManager(QObject* parent)
    : QObject(parent)
{
    refreshDevices();

    PulseContext& pulse = PulseContext::shared();
    connect(&pulse, &PulseContext::serverEvent, this,
            [this](PulseContext::Facility facility, PulseContext::Change, quint32) {
                // Sources come and go, and the server's default is a server change.
                if (facility == PulseContext::Facility::Source || facility == PulseContext::Facility::Server)
                    scheduleRefresh();
            });
    connect(&pulse, &PulseContext::connected, this, [this] { scheduleRefresh(); });

    m_pollTimer.setInterval(pollIntervalMs);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { checkDevicesChanged(); });
    m_pollTimer.start();
}

void AudioDeviceManager::setSelectedMicID(const QString& id)
{
    if (id == m_selectedMicID)
        return;
    m_selectedMicID = id;
    Q_EMIT selectedMicIDChanged();
}

std::optional<QList<AudioDevice>> AudioDeviceManager::readSystem() const
{
    PulseContext& pulse = PulseContext::shared();
    try {
        QFuture<PulseServerInfo> server = pulse.serverInfo();
        QFuture<QList<PulseSourceInfo>> sources = pulse.sources();
        const QString defaultSource = PulseContext::wait(server).defaultSourceName;
        QList<AudioDevice> devices;
        for (const PulseSourceInfo& source : PulseContext::wait(sources)) {
            // A monitor carries what an output plays; it is not a microphone.
            if (!source.isMonitor)
                devices.append({source.name, source.description, source.name == defaultSource});
        }
        return devices;
    } catch (const Error&) {
        // A server that cannot answer says nothing about the devices; keep the
        // list (and the user's choice) until it answers again.
        return std::nullopt;
    }
}

void AudioDeviceManager::scheduleRefresh()
{
    // A burst of events becomes one refresh on a later turn of the event loop.
    if (m_refreshScheduled)
        return;
    m_refreshScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshScheduled = false;
        refreshDevices();
    });
}

void AudioDeviceManager::refreshDevices()
{
    if (const std::optional<QList<AudioDevice>> devices = readSystem())
        apply(*devices);
}

void AudioDeviceManager::apply(const QList<AudioDevice>& devices)
{
    if (m_availableMics != devices) {
        m_availableMics = devices;
        Q_EMIT availableMicsChanged();
    }

    const bool selectionListed
        = std::any_of(devices.begin(), devices.end(), [this](const AudioDevice& d) { return d.id == m_selectedMicID; });
    if (selectionListed)
        return;
    if (devices.isEmpty()) {
        setSelectedMicID(QString());
        return;
    }
    const QString fallback = firstDefaultID(devices);
    setSelectedMicID(fallback.isEmpty() ? devices.first().id : fallback);
}

void AudioDeviceManager::checkDevicesChanged()
{
    const std::optional<QList<AudioDevice>> devices = readSystem();
    if (!devices)
        return;
    // Applies what it read rather than asking the server a second time.
    if (idsOf(m_availableMics) != idsOf(*devices) || firstDefaultID(m_availableMics) != firstDefaultID(*devices))
        apply(*devices);
}

std::optional<AudioDevice> AudioDeviceManager::selectedMicDevice() const
{
    for (const AudioDevice& device : m_availableMics)
        if (device.id == m_selectedMicID)
            return device;
    // The published list may be behind the server, or lack its default input:
    // ask the server, as the chosen device is looked up by its id. A monitor
    // carries what an output plays and is never recorded as a microphone.
    try {
        PulseContext& pulse = PulseContext::shared();
        const QString defaultName = PulseContext::wait(pulse.serverInfo()).defaultSourceName;
        for (const QString& name : {m_selectedMicID, defaultName}) {
            if (name.isEmpty())
                continue;
            const std::optional<PulseSourceInfo> source = PulseContext::wait(pulse.source(name));
            if (source && !source->isMonitor)
                return AudioDevice{source->name, source->description, source->name == defaultName};
        }
        return std::nullopt;
    } catch (const Error&) {
        // The server cannot answer now: the default as last published.
        for (const AudioDevice& device : m_availableMics)
            if (device.isDefault)
                return device;
        return std::nullopt;
    }
}
