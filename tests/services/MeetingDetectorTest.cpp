#include "FakeMeetingClock.h"
#include "FakeMeetingProbes.h"

#include "common/Settings.h"
#include "services/RecordingControl.h"
#include "services/meetings/MeetingDetector.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kAutoDetect = QStringLiteral("nimbrel_autoDetectMeetings");
const QString kAutoStopPrompt = QStringLiteral("nimbrel_autoStopMeetingPrompt");

MeetingWindow zoomWindow(const QString& title = QStringLiteral("Zoom Meeting - Design review"))
{
    return MeetingWindow{title, QStringLiteral("zoom.us"), QStringLiteral("us.zoom.xos"), QRect(0, 0, 1200, 800)};
}

MeetingWindow chromeWindow(const QString& title)
{
    return MeetingWindow{title, QStringLiteral("Google Chrome"), QStringLiteral("com.google.chrome"),
                         QRect(0, 0, 1200, 800)};
}

// Stands in for the view model: starts and stops recordings when asked and
// reports them back to the detector, as the application core does.
class FakeRecordingControl : public RecordingControl {
public:
    explicit FakeRecordingControl(MeetingDetector& detector)
        : m_detector(detector)
    {
    }

    RecorderState recorderState() const override
    {
        return recording ? RecorderState::recording : RecorderState::idle;
    }
    double recordingDuration() const override { return 0; }

    void startNewRecording(const std::optional<QString>& customTitle,
                           const std::optional<DetectedMeeting>& fromMeeting) override
    {
        if (recording)
            return;
        recording = true;
        titles.append(customTitle.value_or(QStringLiteral("New Recording")));
        m_detector.notifyRecordingStarted(fromMeeting, fromMeeting.has_value());
    }

    void stopRecording() override
    {
        if (!recording)
            return;
        recording = false;
        ++stops;
        m_detector.notifyRecordingStopped();
    }

    bool recording = false;
    QStringList titles;
    int stops = 0;

private:
    MeetingDetector& m_detector;
};

} // namespace

class MeetingDetectorTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")));
        settings->registerDefaults({{kAutoDetect, true}, {kAutoStopPrompt, true}});
    }

    void makeDetector()
    {
        auto fakeClock = std::make_unique<FakeMeetingClock>();
        auto fakeWindows = std::make_unique<FakeWindowList>();
        auto fakeApps = std::make_unique<FakeRunningApplications>();
        auto fakeAudio = std::make_unique<FakeAudioInputs>();
        clock = fakeClock.get();
        windows = fakeWindows.get();
        apps = fakeApps.get();
        audio = fakeAudio.get();
        detector = std::make_unique<MeetingDetector>(
            MeetingDetector::Probes{std::move(fakeClock), std::move(fakeWindows), std::move(fakeApps),
                                    std::move(fakeAudio)},
            *settings);
        control = std::make_unique<FakeRecordingControl>(*detector);
        detector->setOnStartRecordingRequested([this](const DetectedMeeting& meeting) {
            control->startNewRecording(meeting.suggestedRecordingTitle(), meeting);
        });
        detector->setOnStopRecordingRequested([this] { control->stopRecording(); });
        QCoreApplication::processEvents(); // the first check runs at once
    }

    // Polls until the given number of checks have run.
    void checks(int count) { clock->advance(2.5 * count); }

    // A Zoom call offered and accepted: its recording is being followed.
    void recordZoomCall()
    {
        windows->list = QList{zoomWindow()};
        checks(1);
        ASSERT_TRUE(detector->detectedMeeting());
        detector->confirmStartRecording();
        ASSERT_TRUE(control->recording);
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    FakeMeetingClock* clock = nullptr;
    FakeWindowList* windows = nullptr;
    FakeRunningApplications* apps = nullptr;
    FakeAudioInputs* audio = nullptr;
    std::unique_ptr<MeetingDetector> detector;
    std::unique_ptr<FakeRecordingControl> control;
};

// Starting and stopping -----------------------------------------------------

TEST_F(MeetingDetectorTest, FirstLaunchMonitorsWithOneTimerAndOneListener)
{
    settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("fresh.ini"))); // no defaults registered
    makeDetector();
    EXPECT_TRUE(detector->isDetectionEnabled());
    EXPECT_EQ(windows->calls, 1);
    EXPECT_EQ(clock->activeTimers(), 1);
    EXPECT_EQ(audio->listeners(), 1);

    detector->setIsDetectionEnabled(true);
    detector->setIsDetectionEnabled(true);
    EXPECT_EQ(clock->activeTimers(), 1);
    EXPECT_EQ(audio->listeners(), 1);
    EXPECT_TRUE(settings->isStored(kAutoDetect));
}

TEST_F(MeetingDetectorTest, StoredOffLeavesTheDetectorIdleUntilSwitchedOn)
{
    settings->setValue(kAutoDetect, false);
    makeDetector();
    windows->list = QList{zoomWindow()};
    checks(4);
    audio->announceMicChange();
    QCoreApplication::processEvents();
    EXPECT_FALSE(detector->isDetectionEnabled());
    EXPECT_EQ(windows->calls, 0);
    EXPECT_EQ(clock->activeTimers(), 0);

    QSignalSpy enabled(detector.get(), &MeetingDetector::isDetectionEnabledChanged);
    detector->setIsDetectionEnabled(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(enabled.count(), 1);
    EXPECT_TRUE(settings->boolValue(kAutoDetect));
    EXPECT_TRUE(detector->detectedMeeting());

    detector->setIsDetectionEnabled(false);
    EXPECT_FALSE(detector->detectedMeeting());
    EXPECT_EQ(clock->activeTimers(), 0);
    EXPECT_EQ(audio->listeners(), 0);
}

TEST_F(MeetingDetectorTest, MicrophoneChangeChecksBetweenPolls)
{
    makeDetector();
    windows->list = QList{zoomWindow()};
    audio->announceMicChange();
    QCoreApplication::processEvents();
    EXPECT_EQ(windows->calls, 2);
    EXPECT_TRUE(detector->detectedMeeting());
}

// The offer -----------------------------------------------------------------

TEST_F(MeetingDetectorTest, OffersACallOnceAndReplacesItWhenTheTitleChanges)
{
    makeDetector();
    QSignalSpy announced(detector.get(), &MeetingDetector::meetingDetectedAnnounced);
    windows->list = QList{zoomWindow()};
    checks(1);
    ASSERT_TRUE(detector->detectedMeeting());
    const DetectedMeeting first = *detector->detectedMeeting();
    EXPECT_EQ(first.suggestedRecordingTitle(), QStringLiteral("Zoom - Design review"));
    EXPECT_EQ(first.detectedAt, clock->now());

    checks(3);
    EXPECT_EQ(announced.count(), 1);
    EXPECT_EQ(detector->detectedMeeting(), first); // first detection time kept

    windows->list = QList{zoomWindow(QStringLiteral("Zoom Meeting - Retro"))};
    checks(1);
    EXPECT_EQ(announced.count(), 2);
    EXPECT_EQ(detector->detectedMeeting()->meetingDetail, QStringLiteral("Retro"));

    windows->list = QList<MeetingWindow>{};
    checks(1);
    EXPECT_FALSE(detector->detectedMeeting());
}

TEST_F(MeetingDetectorTest, DismissedCallWaitsFullCooldown)
{
    makeDetector();
    QSignalSpy announced(detector.get(), &MeetingDetector::meetingDetectedAnnounced);
    windows->list = QList{zoomWindow()};
    checks(1);
    detector->dismissDetectedMeeting();
    EXPECT_FALSE(detector->detectedMeeting());

    clock->advance(119); // 47 polls, all within the cooldown
    audio->announceMicChange(); // one more check at exactly 119 s
    QCoreApplication::processEvents();
    EXPECT_FALSE(detector->detectedMeeting());
    EXPECT_EQ(announced.count(), 1);

    clock->advance(1); // the poll at exactly 120 s
    EXPECT_TRUE(detector->detectedMeeting());
    EXPECT_EQ(announced.count(), 2);
}

TEST_F(MeetingDetectorTest, DismissalKeysOnTheTitleSoAnotherMeetingIsOfferedAtOnce)
{
    makeDetector();
    windows->list = QList{zoomWindow()};
    checks(1);
    detector->dismissDetectedMeeting();
    windows->list = QList{zoomWindow(QStringLiteral("Zoom Meeting - Retro"))};
    checks(1);
    ASSERT_TRUE(detector->detectedMeeting());
    EXPECT_EQ(detector->detectedMeeting()->suggestedRecordingTitle(), QStringLiteral("Zoom - Retro"));
}

TEST_F(MeetingDetectorTest, AcceptingStartsARecordingTitledAfterTheCall)
{
    makeDetector();
    windows->list = QList{zoomWindow()};
    checks(1);
    detector->confirmStartRecording();
    EXPECT_EQ(control->titles, QStringList{QStringLiteral("Zoom - Design review")});
    EXPECT_FALSE(detector->detectedMeeting());

    detector->confirmStartRecording(); // nothing on offer any more
    EXPECT_EQ(control->titles.size(), 1);
}

TEST_F(MeetingDetectorTest, GoogleMeetNeedsTheMicrophone)
{
    makeDetector();
    windows->list = QList{chromeWindow(QStringLiteral("Meet - abc-defg-hij - Google Chrome"))};
    checks(1);
    EXPECT_FALSE(detector->detectedMeeting());

    audio->capturing = {QStringLiteral("com.google.chrome")};
    checks(1);
    EXPECT_TRUE(detector->detectedMeeting());

    detector->dismissDetectedMeeting();
    clock->advance(120);
    audio->capturing.clear();
    audio->micUsedByOthers = true; // the default microphone runs for someone
    checks(1);
    EXPECT_TRUE(detector->detectedMeeting());
}

TEST_F(MeetingDetectorTest, ExitSignalWithdrawsTheOffer)
{
    makeDetector();
    audio->capturing = {QStringLiteral("com.google.chrome")};
    windows->list = QList{chromeWindow(QStringLiteral("Meet - abc-defg-hij - Google Chrome"))};
    checks(1);
    ASSERT_TRUE(detector->detectedMeeting());
    windows->list = QList{chromeWindow(QStringLiteral("Call ended - Google Chrome")),
                          chromeWindow(QStringLiteral("Meet - abc-defg-hij - Google Chrome"))};
    checks(1);
    EXPECT_FALSE(detector->detectedMeeting());
}

TEST_F(MeetingDetectorTest, RunningApplicationsCountOnlyWhileTheMicrophoneOrZoomEngineRuns)
{
    makeDetector();
    windows->list = std::nullopt; // no display to ask
    apps->applications = {{QStringLiteral("org.mozilla.firefox")}, {QStringLiteral("com.microsoft.teams")}};
    checks(1);
    EXPECT_FALSE(detector->detectedMeeting());

    audio->micUsedByOthers = true;
    checks(1);
    ASSERT_TRUE(detector->detectedMeeting());
    EXPECT_EQ(detector->detectedMeeting()->suggestedRecordingTitle(), QStringLiteral("Microsoft Teams Call"));
    EXPECT_FALSE(detector->detectedMeeting()->windowTitle);
}

TEST_F(MeetingDetectorTest, NoOfferWhileAnOrdinaryRecordingRuns)
{
    makeDetector();
    windows->list = QList{zoomWindow()};
    checks(1);
    control->startNewRecording(std::nullopt, std::nullopt);
    EXPECT_FALSE(detector->detectedMeeting()); // cleared when the recording started

    const int callsBefore = windows->calls;
    checks(10);
    audio->announceMicChange();
    QCoreApplication::processEvents();
    EXPECT_EQ(windows->calls, callsBefore);
    EXPECT_FALSE(detector->detectedMeeting());

    control->stopRecording();
    checks(1);
    EXPECT_TRUE(detector->detectedMeeting()); // not a detected call: no cooldown
}

TEST_F(MeetingDetectorTest, StoppingATrackedRecordingByHandPutsTheCallOnCooldown)
{
    makeDetector();
    recordZoomCall();
    control->stopRecording();
    checks(47); // 117.5 s
    EXPECT_FALSE(detector->detectedMeeting());
    checks(1);
    EXPECT_TRUE(detector->detectedMeeting());
}

// The end of a tracked call -------------------------------------------------

TEST_F(MeetingDetectorTest, SevenMissesAndAHitStartOver)
{
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    checks(7);
    windows->list = QList{zoomWindow()};
    checks(1);
    windows->list = QList<MeetingWindow>{};
    checks(7);
    EXPECT_FALSE(detector->meetingEndPrompt());

    QSignalSpy ended(detector.get(), &MeetingDetector::meetingEndedAnnounced);
    checks(1);
    ASSERT_TRUE(detector->meetingEndPrompt());
    EXPECT_EQ(detector->meetingEndPrompt()->appName, QStringLiteral("Zoom"));
    EXPECT_EQ(detector->autoStopCountdown(), 30);
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(ended.at(0).at(0).toString(), QStringLiteral("Zoom"));
    EXPECT_EQ(ended.at(0).at(1).toInt(), 30);
}

TEST_F(MeetingDetectorTest, CountdownRunsFromThirtyThenStopsTheRecording)
{
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    checks(8);
    ASSERT_EQ(detector->autoStopCountdown(), 30);

    QList<int> shown;
    QObject::connect(detector.get(), &MeetingDetector::autoStopCountdownChanged, [&] {
        if (detector->autoStopCountdown())
            shown.append(*detector->autoStopCountdown());
    });
    clock->advance(29);
    EXPECT_EQ(detector->autoStopCountdown(), 1);
    EXPECT_TRUE(control->recording);

    clock->advance(1);
    EXPECT_FALSE(control->recording);
    EXPECT_EQ(control->stops, 1);
    EXPECT_FALSE(detector->autoStopCountdown());
    EXPECT_FALSE(detector->meetingEndPrompt());
    QList<int> expected;
    for (int second = 29; second >= 1; --second)
        expected.append(second);
    EXPECT_EQ(shown, expected);

    // The call that ended gets no cooldown: a new one in Zoom is offered at once.
    windows->list = QList{zoomWindow()};
    checks(1);
    EXPECT_TRUE(detector->detectedMeeting());
}

TEST_F(MeetingDetectorTest, CountdownEndWithoutStopCallbackOnlyClearsTheOffer)
{
    makeDetector();
    recordZoomCall();
    detector->setOnStopRecordingRequested(nullptr);
    windows->list = QList<MeetingWindow>{};
    checks(8);
    clock->advance(30);
    EXPECT_TRUE(control->recording);
    EXPECT_FALSE(detector->meetingEndPrompt());
    checks(20); // no longer tracked: no second offer
    EXPECT_FALSE(detector->meetingEndPrompt());
}

TEST_F(MeetingDetectorTest, ExitPhraseEndsABrowserCallAtOnceUnlessTheBrowserStillCaptures)
{
    makeDetector();
    audio->capturing = {QStringLiteral("com.google.chrome")};
    windows->list = QList{chromeWindow(QStringLiteral("Meet - abc-defg-hij - Google Chrome"))};
    checks(1);
    detector->confirmStartRecording();
    ASSERT_EQ(control->titles, QStringList{QStringLiteral("Google Meet - abc-defg-hij")});

    windows->list = QList{chromeWindow(QStringLiteral("You left the meeting - Google Chrome"))};
    checks(3); // another tab still captures
    EXPECT_FALSE(detector->meetingEndPrompt());

    audio->capturing.clear();
    checks(1);
    EXPECT_TRUE(detector->meetingEndPrompt());
}

TEST_F(MeetingDetectorTest, CallComingBackDuringTheCountdownKeepsRecordingTracked)
{
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    checks(8);
    ASSERT_TRUE(detector->meetingEndPrompt());
    windows->list = QList{zoomWindow()};
    checks(1);
    EXPECT_FALSE(detector->meetingEndPrompt());
    EXPECT_FALSE(detector->autoStopCountdown());
    clock->advance(40);
    EXPECT_TRUE(control->recording);

    windows->list = QList<MeetingWindow>{};
    checks(8);
    EXPECT_TRUE(detector->meetingEndPrompt()); // still followed
}

TEST_F(MeetingDetectorTest, KeepRecordingEndsTheFollowing)
{
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    checks(8);
    detector->dismissMeetingEndPrompt();
    EXPECT_FALSE(detector->meetingEndPrompt());
    windows->list = QList{zoomWindow(QStringLiteral("Zoom Meeting - Other"))};
    checks(40);
    EXPECT_FALSE(detector->meetingEndPrompt());
    EXPECT_FALSE(detector->detectedMeeting());
    EXPECT_TRUE(control->recording);

    control->stopRecording(); // not tracked any more: no cooldown
    checks(1);
    EXPECT_TRUE(detector->detectedMeeting());
}

TEST_F(MeetingDetectorTest, StopPromptSwitchedOffNeverOffers)
{
    settings->setValue(kAutoStopPrompt, false);
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    checks(40);
    EXPECT_FALSE(detector->meetingEndPrompt());
    EXPECT_TRUE(control->recording);
}

TEST_F(MeetingDetectorTest, StopNowStopsAndLeavesNoCooldown)
{
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    checks(8);
    detector->confirmStopRecording();
    EXPECT_FALSE(control->recording);
    EXPECT_FALSE(detector->meetingEndPrompt());
    clock->advance(60);
    EXPECT_EQ(control->stops, 1);
}

TEST_F(MeetingDetectorTest, SwitchingDetectionOffDuringTheCountdownStillStops)
{
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    checks(8);
    detector->setIsDetectionEnabled(false);
    EXPECT_FALSE(detector->meetingEndPrompt());
    EXPECT_EQ(detector->autoStopCountdown(), 30);
    clock->advance(30);
    EXPECT_FALSE(control->recording);
}

TEST_F(MeetingDetectorTest, ZoomStaysPresentWhileItCapturesOrItsEngineRuns)
{
    makeDetector();
    recordZoomCall();
    windows->list = QList<MeetingWindow>{};
    audio->capturing = {QStringLiteral("us.zoom.xos")};
    checks(10);
    EXPECT_FALSE(detector->meetingEndPrompt());

    audio->capturing.clear();
    apps->applications = {{QStringLiteral("us.zoom.xos")}, {QStringLiteral("us.zoom.aomhost")}};
    checks(10);
    EXPECT_FALSE(detector->meetingEndPrompt());

    apps->applications = {{QStringLiteral("us.zoom.xos")}};
    checks(8);
    EXPECT_TRUE(detector->meetingEndPrompt());
}

// Our own recording holds the default microphone. Were that counted, the
// running-application fallback would keep finding the open Zoom application
// and the end of the call would never be noticed.
TEST_F(MeetingDetectorTest, OwnRecordingDoesNotKeepAnEndedCallAlive)
{
    makeDetector();
    recordZoomCall();
    audio->micUsedByUs = true;
    apps->applications = {{QStringLiteral("us.zoom.xos")}};
    windows->list = QList<MeetingWindow>{};
    checks(8);
    EXPECT_TRUE(detector->meetingEndPrompt());

    // Someone else on the microphone still counts.
    detector->dismissMeetingEndPrompt();
    control->stopRecording();
    clock->advance(120);
    recordZoomCall();
    audio->micUsedByOthers = true;
    windows->list = QList<MeetingWindow>{};
    checks(12);
    EXPECT_FALSE(detector->meetingEndPrompt());
}
