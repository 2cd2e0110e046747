#include "support/FakeSleepServices.h"

#include <poll.h>
#include <unistd.h>

namespace {

const QString login1Name = QStringLiteral("org.freedesktop.login1");
const QString login1Path = QStringLiteral("/org/freedesktop/login1");
const QString screenSaverName = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");

} // namespace

FakeLogin1::FakeLogin1()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-login1")))
{
    m_registered = m_bus.registerObject(login1Path, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
        && m_bus.registerService(login1Name);
}

FakeLogin1::~FakeLogin1()
{
    m_bus.unregisterService(login1Name);
    m_bus.unregisterObject(login1Path);
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-login1"));
    for (const Lock& lock : locks)
        ::close(lock.readEnd);
}

QDBusUnixFileDescriptor FakeLogin1::Inhibit(const QString& what, const QString& who, const QString& why,
                                            const QString& mode)
{
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0)
        return {};
    locks.append({what, who, why, mode, ends[0]});
    // The descriptor keeps a copy of its own; ours goes, as logind's does.
    QDBusUnixFileDescriptor lock(ends[1]);
    ::close(ends[1]);
    return lock;
}

bool FakeLogin1::isReleased(int index) const
{
    pollfd end{locks.at(index).readEnd, POLLIN, 0};
    return ::poll(&end, 1, 0) == 1 && (end.revents & POLLHUP);
}

int FakeLogin1::heldCount() const
{
    int held = 0;
    for (int i = 0; i < locks.size(); ++i)
        held += isReleased(i) ? 0 : 1;
    return held;
}

FakeScreenSaver::FakeScreenSaver()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-screensaver")))
{
    m_registered = m_bus.registerObject(screenSaverPath, this, QDBusConnection::ExportAllSignals)
        && m_bus.registerService(screenSaverName);
}

FakeScreenSaver::~FakeScreenSaver()
{
    m_bus.unregisterService(screenSaverName);
    m_bus.unregisterObject(screenSaverPath);
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-screensaver"));
}

QDBusConnection testSystemBus()
{
    return QDBusConnection::connectToBus(QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS")),
                                         QStringLiteral("test-system-bus"));
}
