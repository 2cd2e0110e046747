#include "services/sleep/SleepManager.h"

#include "common/ConsoleLine.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"

namespace {

void print(const QString& line)
{
    ConsoleLine::print(line);
}

QString trueOrFalse(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

SleepManager& SleepManager::shared()
{
    static SleepManager* instance
        = new SleepManager(Settings::shared(), QDBusConnection::systemBus(), QDBusConnection::sessionBus());
    return *instance;
}

SleepManager::SleepManager(Settings& settings, QDBusConnection systemBus, QDBusConnection sessionBus, Clock clock,
                           QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_logind(std::move(systemBus))
    , m_screenSaver(std::move(sessionBus))
    , m_clock(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); }))
{
    if (!m_logind.isConnected())
        print(QStringLiteral("[SleepManager] No system bus: recordings cannot keep the machine awake, and system "
                             "sleep is not followed."));
    connect(&m_logind, &LogindManager::prepareForSleep, this, [this](bool start) {
        if (start)
            handleSystemWillSleep();
        else
            handleWake();
    });
    connect(&m_screenSaver, &ScreenSaverWatcher::activeChanged, this, [this](bool active) {
        if (active)
            handleScreenSleep();
        else
            handleWake();
    });
    // A change of the preference during a recording changes the lock's kind at once.
    connect(&m_settings, &Settings::valueChanged, this, [this](const QString& key) {
        if (key == SettingsKeys::stopRecordingOnScreenSleep && m_wanted)
            requestLock();
    });
}

bool SleepManager::stopsOnSleep() const
{
    return m_settings.boolValue(SettingsKeys::stopRecordingOnScreenSleep);
}

void SleepManager::startRecordingSleepPrevention()
{
    if (m_wanted)
        return;
    m_wanted = true;
    requestLock();
}

void SleepManager::stopRecordingSleepPrevention()
{
    if (!m_wanted)
        return;
    m_wanted = false;
    ++m_request;
    releaseLock();
}

void SleepManager::requestLock()
{
    // Said once at construction; the recording goes on without a lock.
    if (!m_logind.isConnected())
        return;
    const bool delay = stopsOnSleep();
    const QString mode = delay ? QStringLiteral("delay") : QStringLiteral("block");
    if (m_lock.isValid() && m_lockMode == mode)
        return;
    const quint64 request = ++m_request;
    m_logind.inhibit(delay ? delayedWhat : blockedWhat, QStringLiteral("Nimbrel"),
                     delay ? QStringLiteral("Saving the recording before sleep") : QStringLiteral("Recording in progress"),
                     mode, [this, request, mode](const QDBusUnixFileDescriptor& lock, const QString& error) {
                         if (request != m_request || !m_wanted)
                             return; // the lock closes as it goes out of scope
                         if (!lock.isValid()) {
                             print(QStringLiteral("[SleepManager] Warning: Inhibit failed: ") + error);
                             return;
                         }
                         // The new lock is in place before the old one goes.
                         m_lock = lock;
                         m_lockMode = mode;
                         print(QStringLiteral("[SleepManager] Sleep inhibitor taken (%1 %2)")
                                   .arg(mode, mode == QLatin1String("delay") ? delayedWhat : blockedWhat));
                         Q_EMIT inhibitorChanged();
                     });
}

void SleepManager::releaseLock()
{
    if (!m_lock.isValid())
        return;
    m_lock = QDBusUnixFileDescriptor();
    m_lockMode.clear();
    print(QStringLiteral("[SleepManager] Sleep inhibitor released"));
    Q_EMIT inhibitorChanged();
}

void SleepManager::handleScreenSleep()
{
    const bool stop = stopsOnSleep();
    print(QStringLiteral("[SleepManager] Screen did sleep. stopOnScreenSleep=") + trueOrFalse(stop));
    if (stop && onScreenSleepRequested)
        onScreenSleepRequested();
}

void SleepManager::handleSystemWillSleep()
{
    const bool stop = stopsOnSleep();
    print(QStringLiteral("[SleepManager] System will sleep. stopOnScreenSleep=") + trueOrFalse(stop));
    if (stop && onScreenSleepRequested)
        onScreenSleepRequested();
}

void SleepManager::handleWake()
{
    const auto now = m_clock();
    if (m_lastWake != std::chrono::steady_clock::time_point::min() && now - m_lastWake <= wakeInterval)
        return;
    m_lastWake = now;
    print(QStringLiteral("[SleepManager] Screen/System did wake."));
    if (onScreenWokeUp)
        onScreenWokeUp();
}
