#pragma once

#include "views/settings/SettingsServices.h"

class MeetingDetector;

// The settings' effects on the running app: the meeting detector, the login
// item, the updater, the file manager and the library's folder.
class DesktopSettingsServices : public SettingsServices {
public:
    explicit DesktopSettingsServices(MeetingDetector& detector);

    void setMeetingDetectionEnabled(bool enabled) override;
    void setLaunchAtLogin(bool enabled) override;
    void checkForUpdates() override;
    QString recordingsFolder() const override;
    void showFolder(const QString& path) override;

private:
    MeetingDetector& m_detector;
};
