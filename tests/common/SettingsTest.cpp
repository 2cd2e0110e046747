#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "common/SettingsTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Settings, DefaultsApplyUntilAValueIsStored)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    {
        Settings settings(file);
        settings.registerDefaults({{QStringLiteral("nimbrel_micVolume"), 1.4},
                                   {QStringLiteral("nimbrel_autoTranscribe"), true}});
        EXPECT_DOUBLE_EQ(settings.doubleValue(QStringLiteral("nimbrel_micVolume")), 1.4);
        EXPECT_FALSE(settings.isStored(QStringLiteral("nimbrel_micVolume")));

        settings.setValue(QStringLiteral("nimbrel_autoTranscribe"), false);
        EXPECT_TRUE(settings.isStored(QStringLiteral("nimbrel_autoTranscribe")));
        EXPECT_FALSE(settings.boolValue(QStringLiteral("nimbrel_autoTranscribe")));
        EXPECT_FALSE(settings.value(QStringLiteral("nimbrel_unknown")).isValid());
    }
    // A new store on the same file sees the stored value, typed as written.
    Settings reopened(file);
    reopened.registerDefaults({{QStringLiteral("nimbrel_autoTranscribe"), true}});
    EXPECT_FALSE(reopened.boolValue(QStringLiteral("nimbrel_autoTranscribe")));
    reopened.remove(QStringLiteral("nimbrel_autoTranscribe"));
    EXPECT_TRUE(reopened.boolValue(QStringLiteral("nimbrel_autoTranscribe")));
    EXPECT_FALSE(reopened.isStored(QStringLiteral("nimbrel_autoTranscribe")));
}

TEST(SettingsTable, LaunchRegistersAllButTheWindowOnlyKeys)
{
    const QVariantMap launch = SettingsTable::launchDefaults();
    for (const SettingsTable::Entry& entry : SettingsTable::entries()) {
        EXPECT_EQ(launch.contains(entry.key), entry.registeredAtLaunch) << entry.key.toStdString();
        EXPECT_EQ(SettingsTable::defaultValue(entry.key).typeId(), int(entry.type)) << entry.key.toStdString();
    }
    EXPECT_FALSE(launch.contains(SettingsKeys::lastRecordingType));
    EXPECT_FALSE(launch.contains(SettingsKeys::stopRecordingOnScreenSleep));
    EXPECT_FALSE(SettingsTable::defaultValue(QStringLiteral("nimbrel_anonymous_install_id")).isValid());
}
