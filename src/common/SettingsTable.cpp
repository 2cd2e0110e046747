#include "common/SettingsTable.h"

#include "common/SettingsKeys.h"

namespace SettingsTable {

namespace {

Entry flag(const QString& key, bool value, bool atLaunch = true)
{
    return {key, QMetaType::Bool, value, atLaunch};
}

Entry number(const QString& key, double value)
{
    return {key, QMetaType::Double, value, true};
}

Entry text(const QString& key, const QString& value, bool atLaunch = true)
{
    return {key, QMetaType::QString, value, atLaunch};
}

} // namespace

const QList<Entry>& entries()
{
    static const QList<Entry> table{
        flag(SettingsKeys::autoDetectMeetings, true),
        flag(SettingsKeys::autoStopMeetingPrompt, true),
        flag(SettingsKeys::autoCheckUpdates, true),
        flag(SettingsKeys::echoGuardEnabled, true),
        flag(SettingsKeys::autoTranscribe, true),
        flag(SettingsKeys::autoGenerateRecap, true),
        text(SettingsKeys::whisperLanguage, QStringLiteral("auto")),
        text(SettingsKeys::lastRecordingType, QStringLiteral("meeting"), false),
        number(SettingsKeys::micVolume, 1.4),
        number(SettingsKeys::sysVolume, 0.9),
        flag(SettingsKeys::stopRecordingOnScreenSleep, false, false),
        flag(SettingsKeys::keepInMenuBarOnClose, true),
        flag(SettingsKeys::launchAtLogin, true),
    };
    return table;
}

QVariant defaultValue(const QString& key)
{
    for (const Entry& entry : entries())
        if (entry.key == key)
            return entry.defaultValue;
    return {};
}

QVariantMap launchDefaults()
{
    QVariantMap defaults;
    for (const Entry& entry : entries())
        if (entry.registeredAtLaunch)
            defaults.insert(entry.key, entry.defaultValue);
    return defaults;
}

} // namespace SettingsTable
