// The login item as an XDG autostart entry in a folder of the test's own.
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "platform/xdg/AutostartEntry.h"
#include "services/login/LaunchAtLoginManager.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/WithoutFilePrivileges.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

const QString executable = QStringLiteral("/opt/Nimbrel Apps/bin/nimbrel");

class LaunchAtLogin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("settings.ini")));
    }

    QString autostartFolder() const { return m_dir.filePath(QStringLiteral("config/autostart")); }
    QString entryPath() const { return autostartFolder() + QStringLiteral("/nimbrel.desktop"); }

    std::unique_ptr<LaunchAtLoginManager> make()
    {
        return std::make_unique<LaunchAtLoginManager>(*m_settings, autostartFolder(), executable);
    }

    QStringList execOfEntry() const
    {
        const QString text = QString::fromUtf8(readFile(entryPath()));
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (line.startsWith(QStringLiteral("Exec=")))
                return AutostartEntry::parseExecValue(line.mid(5));
        }
        return {};
    }

    // An entry as a desktop's start-up settings leave it.
    void writeEntry(const QString& extraLines, const QString& program = executable)
    {
        writeFile(entryPath(), (QStringLiteral("[Desktop Entry]\nType=Application\nName=Nimbrel\nExec=")
                                + AutostartEntry::execValue(program, {QStringLiteral("--login")})
                                + QStringLiteral("\n") + extraLines)
                                   .toUtf8());
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
};

TEST_F(LaunchAtLogin, TheFirstStartWritesTheEntryAndStoresTrue)
{
    auto manager = make();
    EXPECT_TRUE(m_settings->isStored(SettingsKeys::launchAtLogin));
    EXPECT_TRUE(m_settings->boolValue(SettingsKeys::launchAtLogin));
    EXPECT_TRUE(manager->isEnabled());
    EXPECT_FALSE(manager->requiresApproval());
    ASSERT_TRUE(QFile::exists(entryPath()));
    EXPECT_EQ(execOfEntry(), (QStringList{executable, QStringLiteral("--login")}));
    EXPECT_EQ(manager->status(), LaunchAtLoginManager::Status::enabled);
    const QString text = QString::fromUtf8(readFile(entryPath()));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\nType=Application\n"))) << qPrintable(text);
}

TEST_F(LaunchAtLogin, ARegisteredDefaultCountsAsAValue)
{
    m_settings->registerDefaults({{SettingsKeys::launchAtLogin, true}});
    auto manager = make();
    EXPECT_FALSE(m_settings->isStored(SettingsKeys::launchAtLogin));
    EXPECT_TRUE(manager->isEnabled());
    EXPECT_TRUE(QFile::exists(entryPath()));
}

TEST_F(LaunchAtLogin, TurningItOffDeletesTheEntryAndOnWritesItAgain)
{
    auto manager = make();
    ASSERT_TRUE(QFile::exists(entryPath()));
    manager->setIsEnabled(false);
    EXPECT_FALSE(QFile::exists(entryPath()));
    EXPECT_FALSE(m_settings->boolValue(SettingsKeys::launchAtLogin));
    EXPECT_FALSE(manager->isEnabled());

    // Stored off: the next start leaves the folder alone.
    auto nextStart = make();
    EXPECT_FALSE(nextStart->isEnabled());
    EXPECT_FALSE(QFile::exists(entryPath()));

    nextStart->setIsEnabled(true);
    EXPECT_TRUE(QFile::exists(entryPath()));
    EXPECT_TRUE(m_settings->boolValue(SettingsKeys::launchAtLogin));
}

TEST_F(LaunchAtLogin, AStoredFalseRemovesAnEntryLeftBehind)
{
    m_settings->setValue(SettingsKeys::launchAtLogin, false);
    writeEntry({});
    auto manager = make();
    EXPECT_FALSE(QFile::exists(entryPath()));
}

TEST_F(LaunchAtLogin, AnEntryTheUserTurnedOffIsLeftAloneUntilTurnedOnHere)
{
    for (const QString& turnedOff : {QStringLiteral("Hidden=true\n"), QStringLiteral("X-GNOME-Autostart-enabled=false\n")}) {
        SCOPED_TRACE(turnedOff.toStdString());
        m_settings->setValue(SettingsKeys::launchAtLogin, true);
        writeEntry(turnedOff);
        const QByteArray before = readFile(entryPath());
        auto manager = make();
        EXPECT_EQ(manager->status(), LaunchAtLoginManager::Status::requiresApproval);
        EXPECT_TRUE(manager->requiresApproval());
        manager->syncRegistration();
        EXPECT_EQ(readFile(entryPath()), before);

        // Writing the value it already has registers again.
        manager->setIsEnabled(true);
        EXPECT_EQ(manager->status(), LaunchAtLoginManager::Status::enabled);
        EXPECT_FALSE(manager->requiresApproval());
    }
}

TEST_F(LaunchAtLogin, AnEntryForAnotherProgramIsReplaced)
{
    writeEntry({}, QStringLiteral("/old/place/nimbrel"));
    auto manager = make();
    EXPECT_EQ(manager->status(), LaunchAtLoginManager::Status::enabled);
    EXPECT_EQ(execOfEntry().value(0), executable);
}

TEST_F(LaunchAtLogin, ARegistrationThatCannotBeWrittenIsPrintedAndTheSettingKept)
{
    QDir().mkpath(autostartFolder());
    QFile::setPermissions(autostartFolder(), QFile::ReadOwner | QFile::ExeOwner);
    WithoutFilePrivileges asUser;

    testing::internal::CaptureStdout();
    auto manager = make();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_THAT(printed, ::testing::StartsWith("[LaunchAtLogin] Registration failed: "));
    EXPECT_THAT(printed, ::testing::HasSubstr("nimbrel.desktop"));
    EXPECT_FALSE(QFile::exists(entryPath()));
    EXPECT_TRUE(manager->isEnabled());

    testing::internal::CaptureStdout();
    manager->setIsEnabled(true);
    EXPECT_THAT(testing::internal::GetCapturedStdout(), ::testing::StartsWith("[LaunchAtLogin] Update failed: "));
    EXPECT_TRUE(m_settings->boolValue(SettingsKeys::launchAtLogin));
}

TEST_F(LaunchAtLogin, AnEntryThatCannotBeRemovedIsPrinted)
{
    auto manager = make();
    ASSERT_TRUE(QFile::exists(entryPath()));
    QFile::setPermissions(autostartFolder(), QFile::ReadOwner | QFile::ExeOwner);
    WithoutFilePrivileges asUser;
    testing::internal::CaptureStdout();
    manager->setIsEnabled(false);
    EXPECT_THAT(testing::internal::GetCapturedStdout(), ::testing::StartsWith("[LaunchAtLogin] Update failed: "));
    EXPECT_FALSE(m_settings->boolValue(SettingsKeys::launchAtLogin));

    m_settings->setValue(SettingsKeys::launchAtLogin, false);
    testing::internal::CaptureStdout();
    manager->syncRegistration();
    EXPECT_THAT(testing::internal::GetCapturedStdout(),
                ::testing::StartsWith("[LaunchAtLogin] Unregistration failed: "));
}

TEST(LaunchArguments, LoginAndMinimisedStartsCountOnlyWholeArguments)
{
    struct Case {
        QStringList options;
        bool atLogin;
        bool minimized;
    };
    const Case cases[] = {
        {{}, false, false},
        {{QStringLiteral("--login")}, true, true},
        {{QStringLiteral("--minimized")}, false, true},
        {{QStringLiteral("--verbose"), QStringLiteral("-minimized")}, false, true},
        {{QStringLiteral("--login=1")}, false, false},
        {{QStringLiteral("--minimized=yes")}, false, false},
        {{QStringLiteral("minimized")}, false, false},
    };
    for (const Case& c : cases) {
        const QStringList arguments = QStringList{QStringLiteral("nimbrel")} + c.options;
        EXPECT_EQ(LaunchAtLoginManager::isLaunchedAtLogin(arguments), c.atLogin) << qPrintable(c.options.join(' '));
        EXPECT_EQ(LaunchAtLoginManager::shouldStartMinimized(arguments), c.minimized) << qPrintable(c.options.join(' '));
    }
    // The program's own name is not an argument.
    EXPECT_FALSE(LaunchAtLoginManager::shouldStartMinimized({QStringLiteral("--login")}));
}

TEST(AutostartExec, ArgumentsSurviveQuotingAndEscaping)
{
    const QStringList programs = {
        QStringLiteral("/usr/bin/nimbrel"),
        QStringLiteral("/home/ann/My Apps/nimbrel"),
        QStringLiteral("/tmp/it's \"quoted\"/nimbrel"),
        QStringLiteral("/tmp/back\\slash/$HOME/`x`/nimbrel"),
        QStringLiteral("/tmp/100%/nimbrel"),
        QStringLiteral("/tmp/two\nlines/nimbrel"),
    };
    for (const QString& program : programs) {
        const QString value = AutostartEntry::execValue(program, {QStringLiteral("--login")});
        // A lone percent sign would be taken for a field code.
        EXPECT_FALSE(QString(value).remove(QStringLiteral("%%")).contains(QLatin1Char('%'))) << qPrintable(value);
        EXPECT_FALSE(value.contains(QLatin1Char('\n')));
        EXPECT_EQ(AutostartEntry::parseExecValue(value), (QStringList{program, QStringLiteral("--login")}))
            << qPrintable(value);
    }
}

} // namespace
