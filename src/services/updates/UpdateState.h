#pragma once

#include "services/updates/UpdateInfo.h"

#include <QMetaType>
#include <QString>

// What the update manager is doing; the update badge shows it.
struct UpdateState {
    enum class Kind { Idle, Checking, UpToDate, Available, Downloading, ReadyToInstall, Error };

    Kind kind = Kind::Idle;
    UpdateInfo info; // Available, ReadyToInstall
    double progress = 0.0; // Downloading, 0 to 1
    QString message; // Downloading, Error
    QString stagedAppPath; // ReadyToInstall

    static UpdateState idle() { return {}; }
    static UpdateState checking() { return {Kind::Checking, {}, 0.0, {}, {}}; }
    static UpdateState upToDate() { return {Kind::UpToDate, {}, 0.0, {}, {}}; }
    static UpdateState available(const UpdateInfo& info) { return {Kind::Available, info, 0.0, {}, {}}; }
    static UpdateState downloading(double progress, const QString& message)
    {
        return {Kind::Downloading, {}, progress, message, {}};
    }
    static UpdateState readyToInstall(const UpdateInfo& info, const QString& stagedAppPath)
    {
        return {Kind::ReadyToInstall, info, 0.0, {}, stagedAppPath};
    }
    static UpdateState error(const QString& message) { return {Kind::Error, {}, 0.0, message, {}}; }

    bool operator==(const UpdateState&) const = default;
};

Q_DECLARE_METATYPE(UpdateState)
