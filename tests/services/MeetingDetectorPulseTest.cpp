// The detector's microphone signals over the test sound server.
#include "FakeMeetingClock.h"
#include "FakeMeetingProbes.h"

#include "common/Settings.h"
#include "platform/ParecRecorder.h"
#include "platform/pulse/PulseRecordStream.h"
#include "services/meetings/MeetingDetector.h"
#include "services/meetings/SystemAudioInputProbe.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SystemAudioInputProbe, MeetingAppRecordingShowsUpAsCapturing)
{
    SystemAudioInputProbe probe;
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !probe.isDefaultMicRunning(false); }));
    QSignalSpy micChanges(&probe, &AudioInputProbe::defaultMicStateChanged);

    ParecRecorder zoom(QStringLiteral("ZOOM VoiceEngine"));
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] { return probe.activeAudioInputBundleIDs().contains(QStringLiteral("us.zoom.xos")); }));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return probe.isDefaultMicRunning(true); }));
    EXPECT_EQ(micChanges.count(), 1);

    ParecRecorder chrome(QStringLiteral("Google Chrome"));
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] { return probe.activeAudioInputBundleIDs().contains(QStringLiteral("com.google.chrome")); }));

    zoom.stop();
    chrome.stop();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return probe.activeAudioInputBundleIDs().isEmpty(); }));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !probe.isDefaultMicRunning(false); }));
    EXPECT_EQ(micChanges.count(), 2);
}

class MeetingDetectorPulseTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")));
        auto fakeClock = std::make_unique<FakeMeetingClock>();
        auto fakeWindows = std::make_unique<FakeWindowList>();
        auto fakeApps = std::make_unique<FakeRunningApplications>();
        clock = fakeClock.get();
        windows = fakeWindows.get();
        apps = fakeApps.get();
        detector = std::make_unique<MeetingDetector>(
            MeetingDetector::Probes{std::move(fakeClock), std::move(fakeWindows), std::move(fakeApps),
                                    std::make_unique<SystemAudioInputProbe>()},
            *settings);
        detector->setOnStartRecordingRequested(
            [this](const DetectedMeeting& meeting) { detector->notifyRecordingStarted(meeting, true); });
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    FakeMeetingClock* clock = nullptr;
    FakeWindowList* windows = nullptr;
    FakeRunningApplications* apps = nullptr;
    std::unique_ptr<MeetingDetector> detector;
};

TEST_F(MeetingDetectorPulseTest, MeetTabIsOfferedOnceTheBrowserRecords)
{
    windows->list = QList{MeetingWindow{QStringLiteral("Meet - abc-defg-hij - Google Chrome"),
                                        QStringLiteral("Google Chrome"), QStringLiteral("com.google.chrome"),
                                        QRect(0, 0, 1200, 800)}};
    clock->advance(2.5);
    EXPECT_FALSE(detector->detectedMeeting());

    ParecRecorder chrome(QStringLiteral("Google Chrome"));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] {
        clock->advance(2.5);
        return detector->detectedMeeting().has_value();
    }));
}

// Our own recording of the call keeps the microphone running; the open Zoom
// application must not make the ended call look present for that reason.
TEST_F(MeetingDetectorPulseTest, OwnRecordingDoesNotHideTheEndOfACall)
{
    windows->list = QList{MeetingWindow{QStringLiteral("Zoom Meeting"), QStringLiteral("zoom.us"),
                                        QStringLiteral("us.zoom.xos"), QRect(0, 0, 1200, 800)}};
    clock->advance(2.5);
    ASSERT_TRUE(detector->detectedMeeting());
    detector->confirmStartRecording();

    PulseRecordStream recording({QStringLiteral("test_mic"), QStringLiteral("Zoom - Meeting")},
                                [](const QByteArray&) {}, {});
    recording.open();
    SystemAudioInputProbe probe;
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return probe.isDefaultMicRunning(false); }));

    windows->list = QList<MeetingWindow>{}; // the meeting window closed
    apps->applications = {{QStringLiteral("us.zoom.xos")}}; // the application stays open
    clock->advance(2.5 * 8);
    EXPECT_TRUE(detector->meetingEndPrompt());
    recording.close();
}
