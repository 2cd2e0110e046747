#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// The running version and build, read from the build's info on every call.
class AppVersion {
public:
    AppVersion() = delete;

    static QString currentVersion();
    static QString currentBuild();
    static qint64 currentBuildNumber();
    static QString displayString();
    static QString settingsFooterString();

    // A build string as a signed decimal integer; anything else gives nothing.
    static std::optional<qint64> parseBuildNumber(const QString& text);

    // Replaces the build's info (tests); nothing restores the build's own.
    static void setInfoDictionaryOverride(std::optional<QVariantMap> info);
};
