// The detector over the real window list (X display) and process list.
#include "FakeMeetingClock.h"
#include "FakeMeetingProbes.h"

#include "common/Settings.h"
#include "platform/X11TestWindow.h"
#include "services/meetings/MeetingDetector.h"
#include "services/meetings/SystemRunningApplicationsProvider.h"
#include "services/meetings/SystemWindowListProvider.h"
#include "support/NamedProcess.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class MeetingDetectorSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")));
        settings->registerDefaults({{QStringLiteral("nimbrel_autoDetectMeetings"), true},
                                    {QStringLiteral("nimbrel_autoStopMeetingPrompt"), true}});
    }

    void makeDetector(std::unique_ptr<WindowListProvider> windows, std::unique_ptr<RunningApplicationsProvider> apps)
    {
        auto fakeClock = std::make_unique<FakeMeetingClock>();
        auto fakeAudio = std::make_unique<FakeAudioInputs>();
        clock = fakeClock.get();
        audio = fakeAudio.get();
        detector = std::make_unique<MeetingDetector>(
            MeetingDetector::Probes{std::move(fakeClock), std::move(windows), std::move(apps), std::move(fakeAudio)},
            *settings);
    }

    // Checks until a call is offered (the window manager adopts new windows
    // a moment after they are made, its first one only after seconds on a
    // busy machine).
    std::optional<DetectedMeeting> waitForOffer()
    {
        TestEnvironment::waitUntil([&] {
            clock->advance(2.5);
            return detector->detectedMeeting().has_value();
        }, 20000);
        return detector->detectedMeeting();
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    FakeMeetingClock* clock = nullptr;
    FakeAudioInputs* audio = nullptr;
    std::unique_ptr<MeetingDetector> detector;
};

TEST_F(MeetingDetectorSystemTest, RealZoomWindowIsOffered)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"));
    makeDetector(std::make_unique<SystemWindowListProvider>(), std::make_unique<FakeRunningApplications>());
    X11TestWindow zoom({.netWmName = QStringLiteral("Zoom Meeting - Design review"), .wmInstance = "zoom", .wmClass = "zoom"});
    const auto meeting = waitForOffer();
    ASSERT_TRUE(meeting);
    EXPECT_EQ(meeting->suggestedRecordingTitle(), QStringLiteral("Zoom - Design review"));
    EXPECT_EQ(meeting->windowTitle, QStringLiteral("Zoom Meeting - Design review"));
    EXPECT_EQ(meeting->ownerBundleID, QStringLiteral("us.zoom.xos"));
}

TEST_F(MeetingDetectorSystemTest, WindowIsKnownByItsOwningProgram)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"));
    makeDetector(std::make_unique<SystemWindowListProvider>(), std::make_unique<FakeRunningApplications>());
    NamedProcess teams(dir, QStringLiteral("teams-for-linux"));
    X11TestWindow window({.netWmName = QStringLiteral("Meeting with Ana | Microsoft Teams"), .pid = uint32_t(teams.pid())});
    const auto meeting = waitForOffer();
    ASSERT_TRUE(meeting);
    EXPECT_EQ(meeting->suggestedRecordingTitle(), QStringLiteral("Microsoft Teams - Meeting with Ana"));
    EXPECT_EQ(meeting->ownerBundleID, QStringLiteral("com.microsoft.teams"));
}

TEST_F(MeetingDetectorSystemTest, BrowserMeetTabIsOfferedWhileTheBrowserCaptures)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"));
    makeDetector(std::make_unique<SystemWindowListProvider>(), std::make_unique<FakeRunningApplications>());
    audio->capturing = {QStringLiteral("com.google.chrome")};
    X11TestWindow chrome({.netWmName = QStringLiteral("Meet - abc-defg-hij - Google Chrome"),
                          .wmInstance = "google-chrome",
                          .wmClass = "Google-chrome"});
    const auto meeting = waitForOffer();
    ASSERT_TRUE(meeting);
    EXPECT_EQ(meeting->suggestedRecordingTitle(), QStringLiteral("Google Meet - abc-defg-hij"));
}

TEST_F(MeetingDetectorSystemTest, RunningZoomProcessIsFoundWhileTheMicrophoneRuns)
{
    auto noWindows = std::make_unique<FakeWindowList>();
    makeDetector(std::move(noWindows), std::make_unique<SystemRunningApplicationsProvider>());
    NamedProcess zoom(dir, QStringLiteral("zoom"));
    clock->advance(2.5);
    EXPECT_FALSE(detector->detectedMeeting());

    audio->micUsedByOthers = true;
    const auto meeting = waitForOffer();
    ASSERT_TRUE(meeting);
    EXPECT_EQ(meeting->suggestedRecordingTitle(), QStringLiteral("Zoom Call"));
    EXPECT_EQ(meeting->ownerBundleID, QStringLiteral("us.zoom.xos"));
}
