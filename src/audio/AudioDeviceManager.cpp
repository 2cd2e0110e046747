#include "audio/AudioDeviceManager.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "platform/pulse/PulseContext.h"

#include <QFutureWatcher>

#include <algorithm>
#include <utility>

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

// The microphones in the server's two answers; nothing when either failed.
std::optional<QList<AudioDevice>> microphonesFrom(QFuture<PulseServerInfo> server,
                                                  QFuture<QList<PulseSourceInfo>> sources)
{
    // The server answers in order, so its default came before the sources;
    // when not, the connection failed meanwhile.
    if (!server.isFinished() || !sources.isFinished())
        return std::nullopt;
    try {
        const QString defaultSource = server.result().defaultSourceName;
        QList<AudioDevice> devices;
        for (const PulseSourceInfo& source : sources.result()) {
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

} // namespace

AudioDeviceManager::AudioDeviceManager(QObject* parent)
    : QObject(parent)
{
    PulseContext& pulse = PulseContext::shared();
    m_isSoundServerReachable = pulse.isConnected();
    if (!m_isSoundServerReachable)
        ConsoleLine::print(QStringLiteral("[AudioDeviceManager] No sound server is reachable."));
    refreshDevices();

    connect(&pulse, &PulseContext::serverEvent, this,
            [this](PulseContext::Facility facility, PulseContext::Change, quint32) {
                // Sources come and go, and the server's default is a server change.
                if (facility == PulseContext::Facility::Source || facility == PulseContext::Facility::Server)
                    scheduleRefresh();
            });
    connect(&pulse, &PulseContext::connected, this, [this] {
        setSoundServerReachable(true);
        scheduleRefresh();
    });
    connect(&pulse, &PulseContext::disconnected, this, [this] { setSoundServerReachable(false); });

    m_pollTimer.setInterval(pollIntervalMs);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] {
        // A server slow to answer is not asked again and again.
        if (m_questionsInFlight == 0)
            checkDevicesChanged();
    });
    m_pollTimer.start();
}

void AudioDeviceManager::setSelectedMicID(const QString& id)
{
    if (id == m_selectedMicID)
        return;
    m_selectedMicID = id;
    Q_EMIT selectedMicIDChanged();
}

void AudioDeviceManager::setSoundServerReachable(bool reachable)
{
    if (reachable == m_isSoundServerReachable)
        return;
    m_isSoundServerReachable = reachable;
    ConsoleLine::print(reachable ? QStringLiteral("[AudioDeviceManager] Sound server connected.")
                                 : QStringLiteral("[AudioDeviceManager] No sound server is reachable."));
    Q_EMIT soundServerReachableChanged();
}

std::optional<QList<AudioDevice>> AudioDeviceManager::readSystem() const
{
    PulseContext& pulse = PulseContext::shared();
    QFuture<PulseServerInfo> server = pulse.serverInfo();
    QFuture<QList<PulseSourceInfo>> sources = pulse.sources();
    if (pulse.isMainloopThread())
        return std::nullopt; // it would wait for itself
    try {
        // Waiting rethrows a failed query's error: no server, or it went away.
        server.waitForFinished();
        sources.waitForFinished();
    } catch (const Error&) {
        return std::nullopt;
    }
    return microphonesFrom(server, sources);
}

void AudioDeviceManager::askServer(bool fullRefresh)
{
    if (fullRefresh)
        m_fullRefreshWanted = true;
    const quint64 question = ++m_lastQuestion;
    ++m_questionsInFlight;
    PulseContext& pulse = PulseContext::shared();
    const QFuture<PulseServerInfo> server = pulse.serverInfo();
    // A child: an answer arriving after the manager has gone goes nowhere.
    auto* sources = new QFutureWatcher<QList<PulseSourceInfo>>(this);
    connect(sources, &QFutureWatcherBase::finished, this, [this, sources, server, question] {
        sources->deleteLater();
        --m_questionsInFlight;
        // A later question, or a refresh that waited, has a newer answer.
        if (question != m_lastQuestion)
            return;
        const std::optional<QList<AudioDevice>> devices = microphonesFrom(server, sources->future());
        if (!devices)
            return;
        if (std::exchange(m_fullRefreshWanted, false))
            apply(*devices);
        else
            applyIfChanged(*devices);
    });
    sources->setFuture(pulse.sources());
}

void AudioDeviceManager::scheduleRefresh()
{
    // A burst of events becomes one question on a later turn of the event loop.
    if (m_refreshScheduled)
        return;
    m_refreshScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshScheduled = false;
        askServer(true);
    });
}

void AudioDeviceManager::refreshDevices()
{
    // Answers to questions asked before are older than this one.
    ++m_lastQuestion;
    if (const std::optional<QList<AudioDevice>> devices = readSystem()) {
        m_fullRefreshWanted = false;
        apply(*devices);
    }
}

void AudioDeviceManager::apply(const QList<AudioDevice>& devices)
{
    if (m_availableMics != devices) {
        m_availableMics = devices;
        QStringList names;
        for (const AudioDevice& device : devices)
            names.append(device.isDefault ? device.name + QStringLiteral(" (default)") : device.name);
        ConsoleLine::print(QStringLiteral("[AudioDeviceManager] Microphones: ")
                           + (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))));
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
    askServer(false);
}

void AudioDeviceManager::applyIfChanged(const QList<AudioDevice>& devices)
{
    // Applies what it read rather than asking the server a second time.
    if (idsOf(m_availableMics) != idsOf(devices) || firstDefaultID(m_availableMics) != firstDefaultID(devices))
        apply(devices);
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
