#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QList>
#include <QObject>
#include <QString>

// Stand-ins for systemd-logind's manager and the desktop's screen saver,
// registered under their real names on the test's session bus, each on a
// connection of its own. Tests give the code under test a connection to the
// same bus in place of the system bus.
class FakeLogin1 : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    struct Lock {
        QString what;
        QString who;
        QString why;
        QString mode;
        int readEnd = -1; // hangs up once every copy of the lock is closed
    };

    FakeLogin1();
    ~FakeLogin1() override;
    bool isRegistered() const { return m_registered; }

    QList<Lock> locks;
    // True once the holder closed the lock's descriptor.
    bool isReleased(int index) const;
    int heldCount() const;

    void sendPrepareForSleep(bool start) { Q_EMIT PrepareForSleep(start); }

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode);

Q_SIGNALS:
    void PrepareForSleep(bool start);

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    FakeScreenSaver();
    ~FakeScreenSaver() override;
    bool isRegistered() const { return m_registered; }

    void sendActiveChanged(bool active) { Q_EMIT ActiveChanged(active); }

Q_SIGNALS:
    void ActiveChanged(bool active);

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};

// A connection to the session bus under a name of its own: the "system bus"
// the code under test is given.
QDBusConnection testSystemBus();
