#include "platform/dbus/ScreenSaverWatcher.h"

ScreenSaverWatcher::ScreenSaverWatcher(QDBusConnection bus, QObject* parent)
    : QObject(parent)
{
    if (bus.isConnected())
        bus.connect(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
                    QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("ActiveChanged"), this,
                    SLOT(onActiveChanged(bool)));
}

void ScreenSaverWatcher::onActiveChanged(bool active)
{
    Q_EMIT activeChanged(active);
}
