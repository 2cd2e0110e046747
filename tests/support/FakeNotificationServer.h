#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A notification server of our own (org.freedesktop.Notifications) on the
// test session bus, over a connection of its own: it records every Notify
// call and emits ActionInvoked and NotificationClosed when told to.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        quint32 id = 0; // the id the server answered with
        QString appName;
        quint32 replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        qint32 expireTimeout = 0;
    };

    static inline const QStringList everything{QStringLiteral("actions"), QStringLiteral("body"),
                                               QStringLiteral("body-markup"), QStringLiteral("sound")};

    explicit FakeNotificationServer(QStringList capabilities = everything);
    ~FakeNotificationServer() override;

    bool isRegistered() const { return m_registered; }

    // Runs the event loop until `count` notifications arrived.
    bool waitForCalls(int count, int timeoutMs = 5000);
    const QList<Call>& calls() const { return m_calls; }

    // As the desktop does when the user clicks a button ("default" for the
    // notification itself), and when the notification goes away.
    void invokeAction(quint32 id, const QString& actionKey);
    void close(quint32 id, quint32 reason);

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

private:
    void emitSignal(const QString& name, const QList<QVariant>& arguments);

    QString m_connectionName;
    QDBusConnection m_bus;
    QStringList m_capabilities;
    QList<Call> m_calls;
    quint32 m_nextId = 1;
    bool m_registered = false;
};
