#include "app/DefaultSettings.h"

#include "common/SettingsKeys.h"

QVariantMap DefaultSettings::values()
{
    return {
        {SettingsKeys::autoDetectMeetings, true},
        {SettingsKeys::autoStopMeetingPrompt, true},
        {SettingsKeys::autoCheckUpdates, true},
        {SettingsKeys::echoGuardEnabled, true},
        {SettingsKeys::autoTranscribe, true},
        {SettingsKeys::autoGenerateRecap, true},
        {SettingsKeys::whisperLanguage, QStringLiteral("auto")},
        {SettingsKeys::micVolume, 1.4},
        {SettingsKeys::sysVolume, 0.9},
        {SettingsKeys::keepInMenuBarOnClose, true},
        {SettingsKeys::launchAtLogin, true},
    };
}
