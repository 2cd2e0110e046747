#include "platform/dbus/DesktopNotifications.h"

#include "common/Error.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPromise>

#include <memory>

namespace {

const QString errorDomain = QStringLiteral("DesktopNotifications");

// The reply's value, or the bus's error, in a future.
template <typename T>
QFuture<T> replyFuture(const QDBusPendingCall& call, QObject* context)
{
    auto promise = std::make_shared<QPromise<T>>();
    promise->start();
    QFuture<T> future = promise->future();
    auto* watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [promise, watcher] {
        const QDBusPendingReply<T> reply = *watcher;
        if (reply.isError()) {
            const QDBusError error = reply.error();
            const QString message = error.message().isEmpty() ? error.name() : error.message();
            promise->setException(std::make_exception_ptr(Error(errorDomain, int(error.type()), message)));
        } else {
            promise->addResult(reply.value());
        }
        promise->finish();
        watcher->deleteLater();
    });
    return future;
}

} // namespace

const QString DesktopNotifications::serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString DesktopNotifications::objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString DesktopNotifications::interfaceName = QStringLiteral("org.freedesktop.Notifications");

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
    m_bus.connect(serviceName, objectPath, interfaceName, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(serviceName, objectPath, interfaceName, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

QFuture<QStringList> DesktopNotifications::capabilities()
{
    const QDBusMessage call
        = QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName, QStringLiteral("GetCapabilities"));
    return replyFuture<QStringList>(m_bus.asyncCall(call), this);
}

QFuture<quint32> DesktopNotifications::notify(const DesktopNotification& notification)
{
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName, QStringLiteral("Notify"));
    call << notification.appName << notification.replacesId << notification.appIcon << notification.summary
         << notification.body << notification.actions << notification.hints << notification.expireTimeout;
    return replyFuture<quint32>(m_bus.asyncCall(call), this);
}

void DesktopNotifications::onActionInvoked(uint id, const QString& actionKey)
{
    Q_EMIT actionInvoked(id, actionKey);
}

void DesktopNotifications::onNotificationClosed(uint id, uint reason)
{
    const bool known = reason >= quint32(CloseReason::expired) && reason <= quint32(CloseReason::undefined);
    Q_EMIT notificationClosed(id, known ? CloseReason(reason) : CloseReason::undefined);
}
