#pragma once

#include <QString>

// The preference keys, in one place for every layer that reads or writes them.
namespace SettingsKeys {

inline const QString autoDetectMeetings = QStringLiteral("nimbrel_autoDetectMeetings");
inline const QString autoStopMeetingPrompt = QStringLiteral("nimbrel_autoStopMeetingPrompt");
inline const QString autoCheckUpdates = QStringLiteral("nimbrel_autoCheckUpdates");
inline const QString echoGuardEnabled = QStringLiteral("nimbrel_echoGuardEnabled");
inline const QString autoTranscribe = QStringLiteral("nimbrel_autoTranscribe");
inline const QString autoGenerateRecap = QStringLiteral("nimbrel_autoGenerateRecap");
inline const QString whisperLanguage = QStringLiteral("nimbrel_whisperLanguage");
inline const QString micVolume = QStringLiteral("nimbrel_micVolume");
inline const QString sysVolume = QStringLiteral("nimbrel_sysVolume");
inline const QString keepInMenuBarOnClose = QStringLiteral("nimbrel_keepInMenuBarOnClose");
inline const QString launchAtLogin = QStringLiteral("nimbrel_launchAtLogin");
inline const QString lastRecordingType = QStringLiteral("nimbrel_lastRecordingType");
inline const QString stopRecordingOnScreenSleep = QStringLiteral("nimbrel_stopRecordingOnScreenSleep");

} // namespace SettingsKeys
