#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

#include <functional>

// The parts of systemd-logind's org.freedesktop.login1.Manager the app uses:
// inhibitor locks and the PrepareForSleep signal. Calls never block: a lock
// comes back through its callback.
class LogindManager : public QObject {
    Q_OBJECT
public:
    // `bus` is where logind lives: the system bus, or a test's private one.
    explicit LogindManager(QDBusConnection bus, QObject* parent = nullptr);

    bool isConnected() const;

    // The lock is held while the returned descriptor stays open. `done` gets
    // it, or an invalid one and the error's text.
    using InhibitDone = std::function<void(const QDBusUnixFileDescriptor& lock, const QString& error)>;
    void inhibit(const QString& what, const QString& who, const QString& why, const QString& mode, InhibitDone done);

Q_SIGNALS:
    // True just before the system sleeps, false once it woke up.
    void prepareForSleep(bool start);

private Q_SLOTS:
    void onPrepareForSleep(bool start);

private:
    QDBusConnection m_bus;
};
