#pragma once

#include <QRect>
#include <QString>

#include <optional>

// One window as the meeting rules see it.
struct MeetingWindow {
    std::optional<QString> title;
    QString appName; // the owning application's name; empty when it has none
    QString bundleID; // its identifier (see AppIdentityTable); empty when it has none
    QRect frame;
};
