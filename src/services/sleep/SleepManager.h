#pragma once

#include "platform/dbus/LogindManager.h"
#include "platform/dbus/ScreenSaverWatcher.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class Settings;

// Sleep and wake of the screen (the screen saver) and of the system
// (logind), and the logind inhibitor a recording holds.
//
// While a recording runs it holds a "block" lock on sleep, idle and the lid
// switch, so the recording goes on; with "stop recording when the display
// sleeps" on, a "delay" lock on sleep instead, so the recording can be
// stopped and saved (through `onScreenSleepRequested`) before the machine
// sleeps. Main thread only.
class SleepManager : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static inline const QString blockedWhat = QStringLiteral("sleep:idle:handle-lid-switch");
    static inline const QString delayedWhat = QStringLiteral("sleep");
    // Wakes closer together than this are one wake.
    static constexpr std::chrono::milliseconds wakeInterval{1000};

    static SleepManager& shared();

    // `systemBus` is where logind lives, `sessionBus` the screen saver's.
    SleepManager(Settings& settings, QDBusConnection systemBus, QDBusConnection sessionBus, Clock clock = {},
                 QObject* parent = nullptr);

    // Called on screen or system sleep while the preference is on.
    std::function<void()> onScreenSleepRequested;
    // Called on screen or system wake, at most once a second.
    std::function<void()> onScreenWokeUp;

    // Takes the inhibitor unless it is held or asked for already.
    void startRecordingSleepPrevention();
    // Releases what is held; does nothing without a prior start.
    void stopRecordingSleepPrevention();

    bool isPreventingSleep() const { return m_wanted; }
    bool holdsInhibitor() const { return m_lock.isValid(); }
    // "block" or "delay" while a lock is held, else empty.
    QString inhibitorMode() const { return m_lockMode; }

Q_SIGNALS:
    // A lock was taken or released.
    void inhibitorChanged();

private:
    void requestLock();
    void releaseLock();
    bool stopsOnSleep() const;
    void handleScreenSleep();
    void handleSystemWillSleep();
    void handleWake();

    Settings& m_settings;
    LogindManager m_logind;
    ScreenSaverWatcher m_screenSaver;
    Clock m_clock;
    bool m_wanted = false;
    // Tells a lock that arrives late from one still wanted.
    quint64 m_request = 0;
    QDBusUnixFileDescriptor m_lock;
    QString m_lockMode;
    std::chrono::steady_clock::time_point m_lastWake = std::chrono::steady_clock::time_point::min();
};
