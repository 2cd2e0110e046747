// A call in a meeting application, from its offer to its saved recording: the
// real detector over the test display, the process list and the test sound
// server; the real recorder; the main window; and a notification server of
// our own on the test session bus. Only the detector's clock is a fake.
#include "FakeEnhancer.h"
#include "FakeRecapWriter.h"
#include "FakeTranscriber.h"

#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "models/RecordingsStorage.h"
#include "platform/X11TestWindow.h"
#include "services/FakeMeetingClock.h"
#include "services/meetings/MeetingDetector.h"
#include "services/meetings/SystemAudioInputProbe.h"
#include "services/meetings/SystemRunningApplicationsProvider.h"
#include "services/meetings/SystemWindowListProvider.h"
#include "services/notifications/NotificationHelper.h"
#include "support/FakeNotificationServer.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"
#include "viewmodels/adapters/MeetingDetectorAdapter.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/common/ElidedLabel.h"
#include "views/style/Style.h"
#include "views/window/MainWindow.h"
#include "views/window/MeetingAlertBanner.h"
#include "views/window/MeetingAlertBanners.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// pacat under Zoom's program name, recording from the default microphone:
// the sound server reports it as a Zoom process capturing audio.
class ZoomProcess {
public:
    explicit ZoomProcess(const QTemporaryDir& dir)
    {
        const QString program = dir.filePath(QStringLiteral("zoom"));
        QFile::copy(QStringLiteral("/usr/bin/pacat"), program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(program, {QStringLiteral("--record"), QStringLiteral("--raw"), QStringLiteral("--latency-msec=50")});
        EXPECT_TRUE(m_process.waitForStarted(5000)) << m_process.errorString().toStdString();
    }
    ~ZoomProcess() { stop(); }

    uint32_t pid() const { return uint32_t(m_process.processId()); }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

} // namespace

TEST(MeetingOffer, ACallIsOfferedRecordedFollowedToItsEndAndSaved)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"));
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
    qputenv("NIMBREL_NO_ANIMATIONS", "1");
    Style::apply(*qApp);
    FakeNotificationServer server;
    ASSERT_TRUE(server.isRegistered());

    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("settings.ini")));
    settings.setValue(SettingsKeys::autoTranscribe, false);
    RecordingsStorage storage(dir.filePath(QStringLiteral("support")), dir.filePath(QStringLiteral("Downloads")));

    auto fakeClock = std::make_unique<FakeMeetingClock>();
    FakeMeetingClock* clock = fakeClock.get();
    MeetingDetector detector({std::move(fakeClock), std::make_unique<SystemWindowListProvider>(),
                              std::make_unique<SystemRunningApplicationsProvider>(),
                              std::make_unique<SystemAudioInputProbe>()},
                             settings);

    // The real recorder, device list and player; no speech or recap work.
    RecordingViewModel::Collaborators collaborators;
    collaborators.whisperEngine = std::make_unique<FakeTranscriber>();
    collaborators.recapEngine = std::make_unique<FakeRecapWriter>(dir.filePath(QStringLiteral("models")));
    collaborators.voiceEnhancer = std::make_unique<FakeEnhancer>();
    collaborators.meetingDetector = std::make_unique<MeetingDetectorAdapter>(detector);
    collaborators.storage = &storage;
    collaborators.settings = &settings;
    RecordingViewModel vm(std::move(collaborators));
    MainWindow window(vm);
    window.show();

    NotificationHelper notifications;
    notifications.followMeetingDetector(detector);
    int reopened = 0;
    notifications.setReopenMainWindow([&] { ++reopened; });

    MeetingAlertBanner* detectedBanner = window.meetingBanners()->detectedBanner();
    MeetingAlertBanner* endBanner = window.meetingBanners()->endBanner();

    // A Zoom meeting window, owned by a Zoom process that records.
    ZoomProcess zoom(dir);
    auto meetingWindow = std::make_unique<X11TestWindow>(X11TestWindow::Options{
        .netWmName = QStringLiteral("Zoom Meeting - Design review"), .wmInstance = "zoom", .wmClass = "zoom",
        .pid = zoom.pid()});
    ASSERT_TRUE(TestEnvironment::waitUntil([&] {
        clock->advance(2.5);
        return detectedBanner->isVisible();
    }, 20000));
    EXPECT_EQ(detectedBanner->titleLabel()->text(), "Zoom - Design review");

    ASSERT_TRUE(server.waitForCalls(1));
    const FakeNotificationServer::Call offer = server.calls().first();
    EXPECT_EQ(offer.summary, "Meeting Detected");
    EXPECT_EQ(offer.body, "Zoom - Design review. Click to start recording now.");

    // "Record Now" on the desktop's notification.
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return notifications.posted(offer.id).has_value(); }));
    server.invokeAction(offer.id, QStringLiteral("ACTION_RECORD"));
    ASSERT_TRUE(
        TestEnvironment::waitUntil([&] { return vm.recorder().recorderState() == RecorderState::recording; }, 10000));
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(vm.recorder().activeRecordingTitle(), QStringLiteral("Zoom - Design review"));
    EXPECT_FALSE(detectedBanner->isVisible());
    // Long enough to be kept: 1.5 s of captured sound (a live point is a
    // thirtieth of a second). The server's first monitor data can take up to
    // two seconds, so a wait by the wall clock alone may catch too little.
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return vm.recorder().liveWaveformPoints().size() >= 45; }, 10000));

    // The call ends: its window closes and Zoom stops recording.
    meetingWindow.reset();
    zoom.stop();
    SystemAudioInputProbe probe;
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] { return !probe.activeAudioInputBundleIDs().contains(QStringLiteral("us.zoom.xos")); }));
    // In half-second steps, so the countdown has not moved when the offer shows.
    ASSERT_TRUE(TestEnvironment::waitUntil([&] {
        if (detector.meetingEndPrompt())
            return true;
        clock->advance(0.5);
        return false;
    }, 20000));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return endBanner->isVisible(); }));
    EXPECT_EQ(endBanner->detailLabel()->text(), "Call finished. Auto-stopping & saving in 30s...");
    ASSERT_TRUE(server.waitForCalls(2));
    EXPECT_EQ(server.calls().at(1).summary, "Meeting Ended");
    EXPECT_EQ(server.calls().at(1).body, "Zoom call ended. Auto-stopping in 30s. Click to keep recording.");

    clock->advance(1);
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] { return endBanner->detailLabel()->text() == "Call finished. Auto-stopping & saving in 29s..."; }));

    // Past the countdown the recording is stopped and saved under the call's title.
    clock->advance(MeetingDetector::autoStopSeconds);
    ASSERT_TRUE(
        TestEnvironment::waitUntil([&] { return vm.recorder().recorderState() == RecorderState::idle; }, 15000));
    EXPECT_FALSE(endBanner->isVisible());
    ASSERT_EQ(vm.library().recordings().size(), 1);
    const RecordingItem saved = vm.library().recordings().first();
    EXPECT_EQ(saved.title, "Zoom - Design review");
    EXPECT_TRUE(QFile::exists(storage.fileURL(saved)));
    EXPECT_GT(saved.duration, 1.0);
}
