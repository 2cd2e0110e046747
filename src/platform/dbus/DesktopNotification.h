#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// One notification as the freedesktop Notify call takes it.
struct DesktopNotification {
    QString appName;
    quint32 replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    // Pairs of action key and label; "default" is a click on the notification itself.
    QStringList actions;
    QVariantMap hints;
    qint32 expireTimeout = -1; // the server's own choice
};
