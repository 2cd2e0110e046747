#pragma once

#include <QString>

// What the settings window's switches and buttons act on beyond the stored
// values they write themselves.
class SettingsServices {
public:
    virtual ~SettingsServices() = default;

    // Meeting detection starts or stops at once.
    virtual void setMeetingDetectionEnabled(bool enabled) = 0;
    // The login item is registered or removed to match.
    virtual void setLaunchAtLogin(bool enabled) = 0;
    // A visible check that downloads a newer version when there is one.
    virtual void checkForUpdates() = 0;
    virtual QString recordingsFolder() const = 0;
    // Opens the folder in the file manager, nothing selected.
    virtual void showFolder(const QString& path) = 0;
};
