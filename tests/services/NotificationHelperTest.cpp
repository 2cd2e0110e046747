// The meeting notifications against a notification server of our own on the
// test session bus, with the real detector on fake probes.
#include "FakeMeetingClock.h"
#include "FakeMeetingProbes.h"

#include "common/Settings.h"
#include "platform/dbus/DesktopNotifications.h"
#include "services/meetings/MeetingDetector.h"
#include "services/notifications/NotificationHelper.h"
#include "support/FakeNotificationServer.h"
#include "support/QtPrinters.h"
#include "support/StdoutCapture.h"
#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kZoomTitle = QStringLiteral("Zoom - Design review");

MeetingWindow zoomWindow(const QString& title = QStringLiteral("Zoom Meeting - Design review"))
{
    return MeetingWindow{title, QStringLiteral("zoom.us"), QStringLiteral("us.zoom.xos"), QRect(0, 0, 1200, 800)};
}

// The detector on fake probes, its requests answered as the application core
// does, and the helper routing to it. `events` lists what reached the app.
class Scene {
public:
    Scene()
    {
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")));
        auto fakeClock = std::make_unique<FakeMeetingClock>();
        auto fakeWindows = std::make_unique<FakeWindowList>();
        clock = fakeClock.get();
        windows = fakeWindows.get();
        detector = std::make_unique<MeetingDetector>(
            MeetingDetector::Probes{std::move(fakeClock), std::move(fakeWindows),
                                    std::make_unique<FakeRunningApplications>(), std::make_unique<FakeAudioInputs>()},
            *settings);
        detector->setOnStartRecordingRequested([this](const DetectedMeeting& meeting) {
            events << QStringLiteral("start: ") + meeting.suggestedRecordingTitle();
            detector->notifyRecordingStarted(meeting, true);
        });
        detector->setOnStopRecordingRequested([this] {
            events << QStringLiteral("stop");
            detector->notifyRecordingStopped();
        });
        helper.followMeetingDetector(*detector);
        helper.setReopenMainWindow([this] { events << QStringLiteral("reopen"); });
        // A listener of our own: its answers arrive after everything the
        // server sent before them.
        QObject::connect(&listener, &DesktopNotifications::actionInvoked, &listener,
                         [this](quint32, const QString& key) {
                             if (key == QStringLiteral("sentinel"))
                                 ++sentinels;
                         });
    }

    void offerZoomCall(const QString& windowTitle = QStringLiteral("Zoom Meeting - Design review"))
    {
        windows->list = QList<MeetingWindow>{zoomWindow(windowTitle)};
        clock->advance(2.5);
    }

    // Records the offered call, then lets it end: eight checks without it.
    void endTheRecordedCall()
    {
        detector->confirmStartRecording();
        windows->list = QList<MeetingWindow>{};
        for (int i = 0; i < MeetingDetector::absenceThreshold; ++i)
            clock->advance(2.5);
    }

    // The server's id of the notification titled `summary`, once the helper knows it.
    quint32 posted(FakeNotificationServer& server, const QString& summary)
    {
        quint32 id = 0;
        TestEnvironment::waitUntil([&] {
            for (const auto& call : server.calls()) {
                if (call.summary == summary && helper.posted(call.id))
                    id = call.id;
            }
            return id != 0;
        });
        return id;
    }

    // Waits until the server's signals so far have been handled.
    void settle(FakeNotificationServer& server)
    {
        const int before = sentinels;
        server.invokeAction(0xFFFFFF, QStringLiteral("sentinel"));
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return sentinels > before; }));
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    FakeMeetingClock* clock = nullptr;
    FakeWindowList* windows = nullptr;
    std::unique_ptr<MeetingDetector> detector;
    NotificationHelper helper;
    DesktopNotifications listener;
    int sentinels = 0;
    QStringList events;
};

class NotificationHelperTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "scripts/test starts the session bus";
    }
};

} // namespace

TEST_F(NotificationHelperTest, BothNotificationsCarryTheirTextsActionsAndHints)
{
    FakeNotificationServer server({QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("sound")});
    ASSERT_TRUE(server.isRegistered());
    Scene scene;
    scene.offerZoomCall();
    ASSERT_TRUE(server.waitForCalls(1));
    scene.endTheRecordedCall();
    ASSERT_TRUE(server.waitForCalls(2));

    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("nimbrel")},
                            {QStringLiteral("sound-name"), QStringLiteral("message-new-instant")}};
    struct Expected {
        QString summary;
        QString body;
        QStringList actions;
    } expected[] = {
        {QStringLiteral("Meeting Detected"), QStringLiteral("Zoom - Design review. Click to start recording now."),
         {"default", "Record Now", "ACTION_RECORD", "Record Now", "ACTION_DISMISS", "Dismiss"}},
        {QStringLiteral("Meeting Ended"), QStringLiteral("Zoom call ended. Auto-stopping in 30s. Click to keep recording."),
         {"default", "Keep Recording", "ACTION_KEEP_RECORDING", "Keep Recording", "ACTION_STOP_SAVE", "Stop Now"}},
    };
    for (int i = 0; i < 2; ++i) {
        const FakeNotificationServer::Call& call = server.calls().at(i);
        EXPECT_EQ(call.appName, QStringLiteral("Nimbrel"));
        EXPECT_EQ(call.replacesId, 0u);
        EXPECT_EQ(call.summary, expected[i].summary);
        EXPECT_EQ(call.body, expected[i].body);
        EXPECT_EQ(call.actions, expected[i].actions);
        EXPECT_EQ(call.hints, hints);
        EXPECT_EQ(call.expireTimeout, -1);
    }
}

TEST_F(NotificationHelperTest, WhatTheServerCanDoShapesTheNotification)
{
    // A window title is another program's text: a server that reads markup
    // gets it escaped; one without buttons gets none.
    struct Case {
        QStringList capabilities;
        QString body;
        bool hasActions;
    } cases[] = {
        {{"actions", "body"}, QStringLiteral("Zoom - <b>Q&A</b>. Click to start recording now."), true},
        {{"actions", "body", "body-markup"}, QStringLiteral("Zoom - &lt;b&gt;Q&amp;A&lt;/b&gt;. Click to start recording now."),
         true},
        {{"body"}, QStringLiteral("Zoom - <b>Q&A</b>. Click to start recording now."), false},
    };
    for (const Case& c : cases) {
        FakeNotificationServer server(c.capabilities);
        ASSERT_TRUE(server.isRegistered());
        Scene scene;
        scene.offerZoomCall(QStringLiteral("Zoom Meeting - <b>Q&A</b>"));
        ASSERT_TRUE(server.waitForCalls(1)) << c.capabilities.join(',').toStdString();
        EXPECT_EQ(server.calls().first().body, c.body);
        EXPECT_EQ(server.calls().first().actions.isEmpty(), !c.hasActions) << c.capabilities.join(',').toStdString();
    }
}

TEST_F(NotificationHelperTest, EachAnswerBringsTheWindowForwardAndReachesTheDetector)
{
    enum class Kind { detected, ended };
    enum class Left { offer, nothing };
    struct Case {
        const char* name;
        Kind kind;
        std::optional<QString> action; // else the close below
        quint32 closeReason;
        QStringList events;
        Left left; // whether the offer is still up
    } cases[] = {
        {"click on detected", Kind::detected, "default", 0, {"reopen", "start: " + kZoomTitle}, Left::nothing},
        {"Record Now", Kind::detected, "ACTION_RECORD", 0, {"reopen", "start: " + kZoomTitle}, Left::nothing},
        {"unknown action on detected", Kind::detected, "other", 0, {"reopen", "start: " + kZoomTitle}, Left::nothing},
        {"Dismiss", Kind::detected, "ACTION_DISMISS", 0, {"reopen"}, Left::nothing},
        {"detected dismissed by the user", Kind::detected, std::nullopt, 2, {"reopen"}, Left::nothing},
        {"detected expired", Kind::detected, std::nullopt, 1, {}, Left::offer},
        {"detected closed by a call", Kind::detected, std::nullopt, 3, {}, Left::offer},
        {"Stop Now", Kind::ended, "ACTION_STOP_SAVE", 0, {"reopen", "stop"}, Left::nothing},
        {"Keep Recording", Kind::ended, "ACTION_KEEP_RECORDING", 0, {"reopen"}, Left::nothing},
        {"click on ended", Kind::ended, "default", 0, {"reopen"}, Left::nothing},
        {"ended dismissed by the user", Kind::ended, std::nullopt, 2, {"reopen"}, Left::nothing},
        {"ended expired", Kind::ended, std::nullopt, 1, {}, Left::offer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeNotificationServer server;
        ASSERT_TRUE(server.isRegistered());
        Scene scene;
        scene.offerZoomCall();
        if (c.kind == Kind::ended)
            scene.endTheRecordedCall();
        const quint32 id
            = scene.posted(server, c.kind == Kind::detected ? QStringLiteral("Meeting Detected") : QStringLiteral("Meeting Ended"));
        ASSERT_NE(id, 0u);
        scene.events.clear();

        if (c.action)
            server.invokeAction(id, *c.action);
        else
            server.close(id, c.closeReason);
        scene.settle(server);
        EXPECT_EQ(scene.events, c.events);
        const bool offerUp = c.kind == Kind::detected ? scene.detector->detectedMeeting().has_value()
                                                      : scene.detector->meetingEndPrompt().has_value();
        EXPECT_EQ(offerUp, c.left == Left::offer);
    }
}

TEST_F(NotificationHelperTest, OnlyStopNowStopsTheRecording)
{
    // Every other answer keeps it running past the countdown's end.
    for (const QString action : {"ACTION_KEEP_RECORDING", "default", "other"}) {
        FakeNotificationServer server;
        Scene scene;
        scene.offerZoomCall();
        scene.endTheRecordedCall();
        const quint32 id = scene.posted(server, QStringLiteral("Meeting Ended"));
        server.invokeAction(id, action);
        scene.settle(server);
        scene.clock->advance(MeetingDetector::autoStopSeconds + 5);
        EXPECT_FALSE(scene.events.contains(QStringLiteral("stop"))) << action.toStdString();
    }
}

TEST_F(NotificationHelperTest, AnActionFollowedByItsCloseIsRoutedOnce)
{
    FakeNotificationServer server;
    Scene scene;
    scene.offerZoomCall();
    const quint32 id = scene.posted(server, QStringLiteral("Meeting Detected"));
    scene.events.clear();

    server.invokeAction(id, QStringLiteral("default"));
    server.close(id, 2);
    server.invokeAction(id, QStringLiteral("ACTION_DISMISS"));
    scene.settle(server);
    EXPECT_EQ(scene.events, (QStringList{"reopen", "start: " + kZoomTitle}));
    EXPECT_FALSE(scene.helper.posted(id));
}

TEST_F(NotificationHelperTest, OtherApplicationsNotificationsAreLeftAlone)
{
    FakeNotificationServer server;
    Scene scene;
    scene.offerZoomCall();
    const quint32 ours = scene.posted(server, QStringLiteral("Meeting Detected"));
    scene.events.clear();

    server.invokeAction(ours + 100, QStringLiteral("default"));
    server.close(ours + 101, 2);
    scene.settle(server);
    EXPECT_TRUE(scene.events.isEmpty());
    EXPECT_TRUE(scene.detector->detectedMeeting());
}

TEST_F(NotificationHelperTest, TwoOffersOfOneCallAreTwoNotifications)
{
    FakeNotificationServer server;
    Scene scene;
    const DetectedMeeting meeting{QStringLiteral("Zoom"), QStringLiteral("Design review"), std::nullopt, std::nullopt,
                                  Date::now()};
    scene.helper.sendMeetingDetectedNotification(meeting);
    scene.helper.sendMeetingDetectedNotification(meeting);
    ASSERT_TRUE(server.waitForCalls(2));
    const quint32 first = server.calls().at(0).id;
    const quint32 second = server.calls().at(1).id;
    EXPECT_NE(first, second);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return scene.helper.posted(first) && scene.helper.posted(second); }));

    const QRegularExpression requestId(QStringLiteral("^nimbrel\\.meeting\\.detected\\.[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"));
    EXPECT_TRUE(requestId.match(scene.helper.posted(first)->requestId).hasMatch()) << scene.helper.posted(first)->requestId.toStdString();
    EXPECT_NE(scene.helper.posted(first)->requestId, scene.helper.posted(second)->requestId);
    EXPECT_EQ(scene.helper.posted(first)->category, QStringLiteral("MEETING_DETECTED"));
}

TEST_F(NotificationHelperTest, WithoutAServerALineIsPrintedAndTheCountdownRunsOn)
{
    StdoutCapture printed;
    Scene scene;
    scene.helper.requestAuthorization();
    EXPECT_TRUE(printed.waitFor(QStringLiteral("Notification permission error: ")));

    scene.offerZoomCall();
    EXPECT_TRUE(printed.waitFor(QStringLiteral("Failed to deliver meeting detected notification: ")));
    ASSERT_TRUE(scene.detector->detectedMeeting());

    scene.endTheRecordedCall();
    EXPECT_TRUE(printed.waitFor(QStringLiteral("Failed to deliver meeting ended notification: ")));
    ASSERT_EQ(scene.detector->autoStopCountdown(), 30);
    scene.clock->advance(1);
    EXPECT_EQ(scene.detector->autoStopCountdown(), 29);
    scene.clock->advance(MeetingDetector::autoStopSeconds);
    EXPECT_TRUE(scene.events.contains(QStringLiteral("stop")));
    // The reason comes from the bus, on the same line.
    const QRegularExpression line(QStringLiteral("Failed to deliver meeting ended notification: \\S.*\\n"));
    EXPECT_TRUE(line.match(printed.text()).hasMatch()) << printed.text().toStdString();
}
