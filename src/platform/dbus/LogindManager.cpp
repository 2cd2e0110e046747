#include "platform/dbus/LogindManager.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString interface = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

LogindManager::LogindManager(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (m_bus.isConnected())
        m_bus.connect(service, path, interface, QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));
}

bool LogindManager::isConnected() const
{
    return m_bus.isConnected();
}

void LogindManager::inhibit(const QString& what, const QString& who, const QString& why, const QString& mode,
                            InhibitDone done)
{
    if (!m_bus.isConnected()) {
        done({}, QStringLiteral("no connection to the system bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Inhibit"));
    call << what << who << why << mode;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, done = std::move(done)] {
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        watcher->deleteLater();
        if (reply.isError())
            done({}, reply.error().message().isEmpty() ? reply.error().name() : reply.error().message());
        else if (!reply.value().isValid())
            done({}, QStringLiteral("the reply carries no lock"));
        else
            done(reply.value(), {});
    });
}

void LogindManager::onPrepareForSleep(bool start)
{
    Q_EMIT prepareForSleep(start);
}
