#include "views/settings/DesktopSettingsServices.h"

#include "models/FileReveal.h"
#include "models/RecordingsStorage.h"
#include "services/login/LaunchAtLoginManager.h"
#include "services/meetings/MeetingDetector.h"
#include "services/updates/UpdateManager.h"

DesktopSettingsServices::DesktopSettingsServices(MeetingDetector& detector)
    : m_detector(detector)
{
}

void DesktopSettingsServices::setMeetingDetectionEnabled(bool enabled)
{
    m_detector.setIsDetectionEnabled(enabled);
}

void DesktopSettingsServices::setLaunchAtLogin(bool enabled)
{
    LaunchAtLoginManager::shared().setIsEnabled(enabled);
}

void DesktopSettingsServices::checkForUpdates()
{
    // Visible: the updater's badge shows the check and its outcome.
    UpdateManager::shared().checkForUpdates(true, false);
}

QString DesktopSettingsServices::recordingsFolder() const
{
    return RecordingsStorage::shared().storageDirectory();
}

void DesktopSettingsServices::showFolder(const QString& path)
{
    FileReveal::showFolder(path);
}
