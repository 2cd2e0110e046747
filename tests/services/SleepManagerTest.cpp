// The sleep manager against a fake logind and screen saver on the test's
// session bus.
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "services/sleep/SleepManager.h"
#include "support/FakeSleepServices.h"
#include "support/QtPrinters.h"
#include "support/StdoutCapture.h"
#include "support/TestEnvironment.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace std::chrono_literals;
using TestEnvironment::waitUntil;

namespace {

class SleepManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "scripts/test starts the session bus";
        ASSERT_TRUE(m_login.isRegistered());
        ASSERT_TRUE(m_screenSaver.isRegistered());
        m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("settings.ini")));
    }

    SleepManager& make()
    {
        m_manager = std::make_unique<SleepManager>(*m_settings, testSystemBus(), QDBusConnection::sessionBus(),
                                                   [this] { return m_now; });
        m_manager->onScreenSleepRequested = [this] { ++m_sleeps; };
        m_manager->onScreenWokeUp = [this] { ++m_wakes; };
        return *m_manager;
    }

    void setStopOnSleep(bool on) { m_settings->setValue(SettingsKeys::stopRecordingOnScreenSleep, on); }

    // Signal subscriptions reach the bus a moment after they are made: the
    // first wake is sent until one arrives. The clock stands still meanwhile,
    // so the repeats that follow it fall within the wake interval; they are
    // let in before the test goes on.
    bool deliverFirstWake(const std::function<void()>& send)
    {
        const int before = m_wakes;
        const bool arrived = waitUntil([&] {
            if (m_wakes == before)
                send();
            return m_wakes > before;
        });
        waitUntil([] { return false; }, 150);
        return arrived && m_wakes == before + 1;
    }

    QTemporaryDir m_dir;
    FakeLogin1 m_login;
    FakeScreenSaver m_screenSaver;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<SleepManager> m_manager;
    std::chrono::steady_clock::time_point m_now = std::chrono::steady_clock::time_point(100s);
    int m_sleeps = 0;
    int m_wakes = 0;
};

TEST_F(SleepManagerTest, WakesWithinASecondAreOneWake)
{
    make();
    setStopOnSleep(true);
    // The first wake always counts.
    ASSERT_TRUE(deliverFirstWake([&] { m_screenSaver.sendActiveChanged(false); }));

    m_now += 400ms;
    m_screenSaver.sendActiveChanged(false);
    // A sleep sent after it arrives after it: the wake was handled by then.
    m_screenSaver.sendActiveChanged(true);
    ASSERT_TRUE(waitUntil([&] { return m_sleeps == 1; }));
    EXPECT_EQ(m_wakes, 1);

    m_now += 1500ms;
    m_screenSaver.sendActiveChanged(false);
    ASSERT_TRUE(waitUntil([&] { return m_wakes == 2; }));

    // A system wake right after a screen wake is the same wake.
    m_now += 2s;
    ASSERT_TRUE(deliverFirstWake([&] { m_login.sendPrepareForSleep(false); }));
    m_now += 2s;
    m_screenSaver.sendActiveChanged(false);
    ASSERT_TRUE(waitUntil([&] { return m_wakes == 4; }));
    m_now += 300ms;
    m_login.sendPrepareForSleep(false);
    m_login.sendPrepareForSleep(true);
    ASSERT_TRUE(waitUntil([&] { return m_sleeps == 2; }));
    EXPECT_EQ(m_wakes, 4);
    m_now += 1001ms;
    m_login.sendPrepareForSleep(false);
    ASSERT_TRUE(waitUntil([&] { return m_wakes == 5; }));
}

TEST_F(SleepManagerTest, SleepCallsBackOnlyWithTheSettingOnAndPrintsItsLine)
{
    struct Case {
        bool system;
        bool stopOnSleep;
        const char* line;
    };
    const Case cases[] = {
        {false, false, "[SleepManager] Screen did sleep. stopOnScreenSleep=false\n"},
        {false, true, "[SleepManager] Screen did sleep. stopOnScreenSleep=true\n"},
        {true, false, "[SleepManager] System will sleep. stopOnScreenSleep=false\n"},
        {true, true, "[SleepManager] System will sleep. stopOnScreenSleep=true\n"},
    };
    make();
    // Subscriptions in place: one wake through each service.
    ASSERT_TRUE(deliverFirstWake([&] { m_screenSaver.sendActiveChanged(false); }));
    m_now += 2s;
    ASSERT_TRUE(deliverFirstWake([&] { m_login.sendPrepareForSleep(false); }));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        setStopOnSleep(c.stopOnSleep);
        const int before = m_sleeps;
        testing::internal::CaptureStdout();
        if (c.system)
            m_login.sendPrepareForSleep(true);
        else
            m_screenSaver.sendActiveChanged(true);
        // A wake sent after it marks the moment it was handled.
        m_now += 2s;
        const int wakes = m_wakes;
        if (c.system)
            m_login.sendPrepareForSleep(false);
        else
            m_screenSaver.sendActiveChanged(false);
        const bool handled = waitUntil([&] { return m_wakes == wakes + 1; });
        const std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(handled);
        EXPECT_THAT(printed, ::testing::StartsWith(c.line));
        EXPECT_EQ(m_sleeps, before + (c.stopOnSleep ? 1 : 0));
    }
}

TEST_F(SleepManagerTest, TheLockFollowsTheSettingAndIsHeldOnce)
{
    struct Case {
        bool stopOnSleep;
        QString what;
        QString mode;
    };
    const Case cases[] = {
        {false, QStringLiteral("sleep:idle:handle-lid-switch"), QStringLiteral("block")},
        {true, QStringLiteral("sleep"), QStringLiteral("delay")},
    };
    SleepManager& manager = make();
    // A stop without a start does nothing.
    manager.stopRecordingSleepPrevention();
    EXPECT_FALSE(manager.isPreventingSleep());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode.toStdString());
        setStopOnSleep(c.stopOnSleep);
        const qsizetype first = m_login.locks.size();
        manager.startRecordingSleepPrevention();
        manager.startRecordingSleepPrevention();
        ASSERT_TRUE(waitUntil([&] { return manager.holdsInhibitor(); }));
        ASSERT_EQ(m_login.locks.size(), first + 1);
        const FakeLogin1::Lock& lock = m_login.locks.last();
        EXPECT_EQ(lock.what, c.what);
        EXPECT_EQ(lock.mode, c.mode);
        EXPECT_EQ(lock.who, QStringLiteral("Nimbrel"));
        EXPECT_FALSE(lock.why.isEmpty());
        EXPECT_EQ(manager.inhibitorMode(), c.mode);
        EXPECT_EQ(m_login.heldCount(), 1);

        manager.stopRecordingSleepPrevention();
        EXPECT_FALSE(manager.holdsInhibitor());
        EXPECT_TRUE(waitUntil([&] { return m_login.isReleased(int(first)); }));
        manager.stopRecordingSleepPrevention();
    }
}

TEST_F(SleepManagerTest, ALockThatArrivesAfterTheStopIsClosed)
{
    SleepManager& manager = make();
    manager.startRecordingSleepPrevention();
    manager.stopRecordingSleepPrevention();
    ASSERT_TRUE(waitUntil([&] { return m_login.locks.size() == 1; }));
    EXPECT_TRUE(waitUntil([&] { return m_login.isReleased(0); }));
    EXPECT_FALSE(manager.holdsInhibitor());
}

TEST_F(SleepManagerTest, TurningTheSettingOnDuringARecordingSwapsTheLock)
{
    SleepManager& manager = make();
    setStopOnSleep(false);
    manager.startRecordingSleepPrevention();
    ASSERT_TRUE(waitUntil([&] { return manager.inhibitorMode() == QStringLiteral("block"); }));

    setStopOnSleep(true);
    ASSERT_TRUE(waitUntil([&] { return manager.inhibitorMode() == QStringLiteral("delay"); }));
    ASSERT_EQ(m_login.locks.size(), 2);
    EXPECT_TRUE(waitUntil([&] { return m_login.isReleased(0); }));
    EXPECT_FALSE(m_login.isReleased(1));
    manager.stopRecordingSleepPrevention();
    EXPECT_TRUE(waitUntil([&] { return m_login.isReleased(1); }));
}

TEST(SleepManagerWithoutLogind, AMissingServiceOrBusIsPrintedAndTheAppGoesOn)
{
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("settings.ini")));
    {
        // A bus without logind on it.
        SleepManager manager(settings, testSystemBus(), QDBusConnection::sessionBus());
        StdoutCapture capture;
        manager.startRecordingSleepPrevention();
        // The bus answers later, from the event loop: the failure is printed then.
        ASSERT_TRUE(capture.waitFor(QStringLiteral("[SleepManager] Warning: Inhibit failed: ")));
        EXPECT_TRUE(capture.text().startsWith(QStringLiteral("[SleepManager] Warning: Inhibit failed: ")))
            << capture.text().toStdString();
        EXPECT_FALSE(manager.holdsInhibitor());
        EXPECT_EQ(manager.inhibitorMode(), QString());
        manager.stopRecordingSleepPrevention();
        EXPECT_FALSE(manager.isPreventingSleep());
    }
    testing::internal::CaptureStdout();
    SleepManager noBus(settings, QDBusConnection(QStringLiteral("not connected")), QDBusConnection::sessionBus());
    noBus.startRecordingSleepPrevention();
    noBus.stopRecordingSleepPrevention();
    const std::string printed = testing::internal::GetCapturedStdout();
    // One line, not one per recording.
    EXPECT_THAT(printed, ::testing::StartsWith("[SleepManager] No system bus"));
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_FALSE(noBus.holdsInhibitor());
}

} // namespace
