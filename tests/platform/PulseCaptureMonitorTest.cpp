#include "ParecRecorder.h"

#include "platform/pulse/PulseCaptureMonitor.h"
#include "platform/pulse/PulseRecordStream.h"
#include "support/PulseTestTools.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

bool hasStream(const PulseCaptureMonitor& monitor, const QString& applicationName)
{
    for (const PulseSourceOutputInfo& stream : monitor.otherCaptureStreams()) {
        if (stream.applicationName == applicationName)
            return true;
    }
    return false;
}

} // namespace

class PulseCaptureMonitorTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PulseContext::shared().isConnected());
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return monitor.defaultSourceName() == QStringLiteral("test_mic"); }));
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !monitor.isDefaultSourceRunning(false); }));
    }

    PulseCaptureMonitor monitor{PulseContext::shared()};
};

TEST_F(PulseCaptureMonitorTest, AnotherProcessRecordingShowsUpAndRunsTheDefaultSource)
{
    QSignalSpy changes(&monitor, &PulseCaptureMonitor::defaultSourceRunningChanged);
    ParecRecorder zoom(QStringLiteral("ZOOM VoiceEngine"));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return hasStream(monitor, QStringLiteral("ZOOM VoiceEngine")); }));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return monitor.isDefaultSourceRunning(false); }));
    EXPECT_TRUE(monitor.isDefaultSourceRunning(true));
    EXPECT_EQ(changes.count(), 1);

    for (const PulseSourceOutputInfo& stream : monitor.otherCaptureStreams()) {
        EXPECT_NE(stream.clientIndex, PA_INVALID_INDEX); // the remapped microphone's own stream is left out
        if (stream.applicationName == QStringLiteral("ZOOM VoiceEngine")) {
            EXPECT_EQ(stream.processBinary, QStringLiteral("pacat"));
        }
    }

    zoom.stop();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !hasStream(monitor, QStringLiteral("ZOOM VoiceEngine")); }));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !monitor.isDefaultSourceRunning(false); }));
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(PulseCaptureMonitorTest, OwnRecordingRunsTheSourceButIsNotSomeoneElses)
{
    PulseRecordStream own({QStringLiteral("test_mic"), QStringLiteral("Own recording")}, [](const QByteArray&) {}, {});
    own.open();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return monitor.isDefaultSourceRunning(false); }));
    EXPECT_FALSE(monitor.isDefaultSourceRunning(true));
    EXPECT_TRUE(monitor.otherCaptureStreams().isEmpty());

    ParecRecorder other(QStringLiteral("Firefox"));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return monitor.isDefaultSourceRunning(true); }));
    EXPECT_TRUE(hasStream(monitor, QStringLiteral("Firefox")));
    own.close();
}

TEST_F(PulseCaptureMonitorTest, FollowsANewDefaultSource)
{
    ParecRecorder onMonitor(QStringLiteral("Recorder"), QStringLiteral("test_sink.monitor"));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return hasStream(monitor, QStringLiteral("Recorder")); }));
    EXPECT_FALSE(monitor.isDefaultSourceRunning(false));

    QSignalSpy changes(&monitor, &PulseCaptureMonitor::defaultSourceRunningChanged);
    PulseTestTools::pactl({QStringLiteral("set-default-source"), QStringLiteral("test_sink.monitor")});
    const bool followed = TestEnvironment::waitUntil([&] { return monitor.isDefaultSourceRunning(true); });
    PulseTestTools::pactl({QStringLiteral("set-default-source"), QStringLiteral("test_mic")});
    EXPECT_TRUE(followed);
    EXPECT_GE(changes.count(), 1);
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return monitor.defaultSourceName() == QStringLiteral("test_mic"); }));
}
