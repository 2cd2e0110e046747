#include "support/FakeFileManager.h"

#include <QDBusConnection>

namespace {

const QString connectionName = QStringLiteral("fake-file-manager");
const QString service = QStringLiteral("org.freedesktop.FileManager1");
const QString path = QStringLiteral("/org/freedesktop/FileManager1");

} // namespace

FakeFileManager::FakeFileManager()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
    m_registered = bus.isConnected() && bus.registerObject(path, this, QDBusConnection::ExportAllSlots)
        && bus.registerService(service);
}

FakeFileManager::~FakeFileManager()
{
    QDBusConnection bus(connectionName);
    bus.unregisterService(service);
    bus.unregisterObject(path);
    QDBusConnection::disconnectFromBus(connectionName);
}
