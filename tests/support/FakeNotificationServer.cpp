#include "support/FakeNotificationServer.h"

#include "support/TestEnvironment.h"

#include <QDBusMessage>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");

QString nextConnectionName()
{
    static int count = 0;
    return QStringLiteral("fake-notifications-%1").arg(++count);
}

} // namespace

FakeNotificationServer::FakeNotificationServer(QStringList capabilities)
    : m_connectionName(nextConnectionName())
    , m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName))
    , m_capabilities(std::move(capabilities))
{
    m_registered = m_bus.isConnected() && m_bus.registerObject(path, this, QDBusConnection::ExportAllSlots)
        && m_bus.registerService(service);
}

FakeNotificationServer::~FakeNotificationServer()
{
    m_bus.unregisterService(service);
    m_bus.unregisterObject(path);
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool FakeNotificationServer::waitForCalls(int count, int timeoutMs)
{
    return TestEnvironment::waitUntil([&] { return m_calls.size() >= count; }, timeoutMs);
}

void FakeNotificationServer::invokeAction(quint32 id, const QString& actionKey)
{
    emitSignal(QStringLiteral("ActionInvoked"), {QVariant::fromValue(id), actionKey});
}

void FakeNotificationServer::close(quint32 id, quint32 reason)
{
    emitSignal(QStringLiteral("NotificationClosed"), {QVariant::fromValue(id), QVariant::fromValue(reason)});
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return m_capabilities;
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int expireTimeout)
{
    const quint32 id = replacesId != 0 ? replacesId : m_nextId++;
    m_calls.append({id, appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    return id;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    close(id, 3);
}

QString FakeNotificationServer::GetServerInformation(QString& vendor, QString& version, QString& specVersion)
{
    vendor = QStringLiteral("Nimbrel tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake-notifications");
}

void FakeNotificationServer::emitSignal(const QString& name, const QList<QVariant>& arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(path, service, name);
    message.setArguments(arguments);
    m_bus.send(message);
}
