#pragma once

#include "platform/dbus/DesktopNotification.h"

#include <QDBusConnection>
#include <QFuture>
#include <QObject>

// The desktop's notification server (org.freedesktop.Notifications) on the
// session bus. Calls never block: each returns a future that fails with an
// Error carrying the bus's message when the server cannot be reached or
// refuses. The server's answers come as signals, for every client's
// notifications alike: a receiver picks out its own by id.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    // Why the server closed a notification.
    enum class CloseReason : quint32 { expired = 1, dismissedByUser = 2, closedByCall = 3, undefined = 4 };
    Q_ENUM(CloseReason)

    static const QString serviceName;
    static const QString objectPath;
    static const QString interfaceName;

    explicit DesktopNotifications(const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // What the server can do: "actions", "body", "body-markup", "sound", ...
    QFuture<QStringList> capabilities();
    // The server's id of the new notification.
    QFuture<quint32> notify(const DesktopNotification& notification);

Q_SIGNALS:
    void actionInvoked(quint32 id, const QString& actionKey);
    void notificationClosed(quint32 id, DesktopNotifications::CloseReason reason);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
};
