// A recording holds logind's inhibitor from its start to the end of its stop;
// with "stop recording when the display sleeps" on, going to sleep stops and
// saves it first. Against a fake logind on the test's session bus.
#include "ViewModelFixture.h"

#include "app/AppDelegate.h"
#include "common/SettingsKeys.h"
#include "services/sleep/SleepManager.h"
#include "support/FakeSleepServices.h"
#include "viewmodels/RecorderViewModel.h"

namespace {

class RecordingSleep : public ViewModelFixture {
protected:
    void SetUp() override
    {
        ViewModelFixture::SetUp();
        ASSERT_TRUE(m_login.isRegistered());
        m_sleep = std::make_unique<SleepManager>(*m_settings, testSystemBus(), QDBusConnection::sessionBus());
    }

    void TearDown() override
    {
        m_delegate.reset();
        m_sleep.reset();
        ViewModelFixture::TearDown();
    }

    // The app's own wiring: the delegate with only the sleep manager.
    void launch()
    {
        AppDelegate::Services services;
        services.sleep = [this]() -> SleepManager& { return *m_sleep; };
        m_delegate = std::make_unique<AppDelegate>(QStringList{QStringLiteral("nimbrel")}, *m_settings, services);
        m_delegate->applicationDidFinishLaunching();
        m_delegate->viewModelReady(makeViewModel());
    }

    FakeLogin1 m_login;
    std::unique_ptr<SleepManager> m_sleep;
    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(RecordingSleep, TheLockIsTakenAtTheStartAndReleasedAtTheStop)
{
    launch();
    settle();
    EXPECT_TRUE(m_login.locks.isEmpty());

    startRecording(QStringLiteral("Standup"));
    ASSERT_TRUE(waitFor([&] { return m_sleep->holdsInhibitor(); }));
    ASSERT_EQ(m_login.locks.size(), 1);
    EXPECT_EQ(m_login.locks.first().mode, QStringLiteral("block"));
    EXPECT_EQ(m_login.locks.first().what, QStringLiteral("sleep:idle:handle-lid-switch"));

    // Pausing keeps it.
    m_vm->recorder().pauseResumeRecording();
    settle();
    EXPECT_FALSE(m_login.isReleased(0));

    stopRecording(5.0, 9000);
    EXPECT_FALSE(m_sleep->holdsInhibitor());
    EXPECT_TRUE(waitFor([&] { return m_login.isReleased(0); }));
    EXPECT_EQ(m_login.locks.size(), 1);
}

TEST_F(RecordingSleep, AFailedStartReleasesTheLock)
{
    launch();
    m_vm->recorder().startNewRecording();
    ASSERT_TRUE(waitFor([&] { return m_login.locks.size() == 1 && m_sleep->holdsInhibitor(); }));
    m_recorder->starts.failLast(Error(QStringLiteral("AudioMixerRecorder"), 1, QStringLiteral("no microphone")));
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));
    EXPECT_TRUE(waitFor([&] { return m_login.isReleased(0); }));
}

TEST_F(RecordingSleep, WithStopOnSleepGoingToSleepSavesTheRecordingThenReleases)
{
    m_settings->setValue(SettingsKeys::stopRecordingOnScreenSleep, true);
    launch();
    startRecording(QStringLiteral("Lecture"));
    ASSERT_TRUE(waitFor([&] { return m_sleep->holdsInhibitor(); }));
    EXPECT_EQ(m_login.locks.first().mode, QStringLiteral("delay"));
    EXPECT_EQ(m_login.locks.first().what, QStringLiteral("sleep"));
    m_recorder->writeCaptureFile(9000);

    // The signal subscription reaches the bus a moment after it is made.
    ASSERT_TRUE(waitFor([&] {
        if (m_recorder->stops.count() == 0)
            m_login.sendPrepareForSleep(true);
        return m_recorder->stops.count() == 1;
    }));
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    // Held until the recording is saved.
    EXPECT_FALSE(m_login.isReleased(0));
    m_recorder->stops.resolveLast({12.0, {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));
    ASSERT_EQ(savedLibrary().size(), 1);
    EXPECT_EQ(savedLibrary().first().title, QStringLiteral("Lecture"));
    EXPECT_TRUE(waitFor([&] { return m_login.isReleased(0); }));
}

TEST_F(RecordingSleep, WithStopOnSleepOffSleepLeavesTheRecordingRunning)
{
    launch();
    startRecording();
    ASSERT_TRUE(waitFor([&] { return m_sleep->holdsInhibitor(); }));
    int wakes = 0;
    m_sleep->onScreenWokeUp = [&] { ++wakes; };
    // A wake sent after the sleep shows that both were handled.
    ASSERT_TRUE(waitFor([&] {
        if (wakes == 0) {
            m_login.sendPrepareForSleep(true);
            m_login.sendPrepareForSleep(false);
        }
        return wakes > 0;
    }));
    EXPECT_EQ(m_recorder->stops.count(), 0);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::recording);
    EXPECT_FALSE(m_login.isReleased(0));
}

} // namespace
