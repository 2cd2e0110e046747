#pragma once

#include <QDBusConnection>
#include <QObject>

// Follows org.freedesktop.ScreenSaver's ActiveChanged signal on the session
// bus: the screen blanking or locking, and coming back.
class ScreenSaverWatcher : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverWatcher(QDBusConnection bus, QObject* parent = nullptr);

Q_SIGNALS:
    void activeChanged(bool active);

private Q_SLOTS:
    void onActiveChanged(bool active);
};
