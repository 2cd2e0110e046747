#include "audio/SystemAudioCapture.h"

#include "CapturedAudio.h"
#include "common/Error.h"
#include "platform/pulse/PulseContext.h"
#include "support/PulseTestTools.h"
#include "support/TemporaryModule.h"
#include "support/TestEnvironment.h"

#include <QThread>

#include <gtest/gtest.h>

using namespace PulseTestTools;

namespace {

int ourStreamCount()
{
    PulseContext& pulse = PulseContext::shared();
    const uint32_t own = pulse.ownClientIndex();
    int count = 0;
    for (const PulseSourceOutputInfo& output : PulseContext::wait(pulse.sourceOutputs()))
        count += output.clientIndex == own;
    return count;
}

// A null sink for one test; the test sink is the default output again
// afterwards.
class TemporaryOutput : public TemporaryModule {
public:
    explicit TemporaryOutput(const QString& name)
        : TemporaryModule(QStringLiteral("module-null-sink"), {QStringLiteral("sink_name=") + name},
                          {QStringLiteral("set-default-sink"), QStringLiteral("test_sink")})
    {
    }
};

void setDefaultOutput(const QString& sink)
{
    pactl({QStringLiteral("set-default-sink"), sink});
}

} // namespace

TEST(SystemAudioCapture, DeliversWhatTheDefaultOutputPlays)
{
    EXPECT_TRUE(SystemAudioCapture::hasPermission());
    CapturedAudio audio;
    SystemAudioCapture capture;
    capture.onCapturedBuffer = audio.handler();
    capture.start().waitForFinished();
    EXPECT_TRUE(capture.isRunning());
    capture.start().waitForFinished(); // running already: no second stream
    EXPECT_EQ(ourStreamCount(), 1);

    TonePlayer player(QStringLiteral("test_sink"), sineTone(440, 1.0));
    ASSERT_TRUE(player.wait());
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return audio.peakAmplitude(440) > 0.3; }, 3000));
    EXPECT_TRUE(audio.allWellFormed());
    capture.stop().waitForFinished();
    EXPECT_FALSE(capture.isRunning());
    // PipeWire's service drops a stopped stream from its list a moment later.
    EXPECT_TRUE(TestEnvironment::waitUntil([] { return ourStreamCount() == 0; }));
}

TEST(SystemAudioCapture, StopWhenNeverStartedDoesNothing)
{
    SystemAudioCapture capture;
    capture.stop().waitForFinished();
    EXPECT_FALSE(capture.isRunning());
}

TEST(SystemAudioCapture, FollowsTheDefaultOutput)
{
    TemporaryOutput headset(QStringLiteral("headset_out"));
    CapturedAudio audio;
    SystemAudioCapture capture;
    capture.onCapturedBuffer = audio.handler();
    capture.start().waitForFinished();
    EXPECT_EQ(capture.currentSourceName(), QStringLiteral("test_sink.monitor"));

    // A new default output: the capture moves to its monitor within a second
    // and hears what plays there.
    setDefaultOutput(QStringLiteral("headset_out"));
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] { return capture.currentSourceName() == QStringLiteral("headset_out.monitor"); }, 1000));
    EXPECT_TRUE(capture.isRunning());
    EXPECT_TRUE(TestEnvironment::waitUntil([] { return ourStreamCount() == 1; })) << "the old stream was closed";
    const size_t framesAtSwitch = audio.frames();
    TonePlayer player(QStringLiteral("headset_out"), sineTone(523, 1.0));
    EXPECT_TRUE(
        TestEnvironment::waitUntil([&] { return audio.peakAmplitudeFrom(framesAtSwitch, 523) > 0.3; }, 4000));

    // The followed output goes away: the capture goes on with the default the
    // server picks, never on some other source.
    headset.remove();
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] {
            const QString source = capture.currentSourceName();
            return !source.isEmpty() && source != QStringLiteral("headset_out.monitor");
        },
        1000));
    EXPECT_TRUE(capture.currentSourceName().endsWith(QStringLiteral(".monitor")));
    EXPECT_TRUE(capture.isRunning());
    EXPECT_EQ(ourStreamCount(), 1);
    capture.stop().waitForFinished();
    // PipeWire removes a stream a moment after it is closed.
    EXPECT_TRUE(TestEnvironment::waitUntil([] { return ourStreamCount() == 0; }));
}

TEST(SystemAudioCapture, AStoppedCaptureFollowsNothing)
{
    TemporaryOutput other(QStringLiteral("other_out"));
    SystemAudioCapture capture;
    capture.start().waitForFinished();
    capture.stop().waitForFinished();
    setDefaultOutput(QStringLiteral("other_out"));
    QThread::msleep(300);
    EXPECT_FALSE(capture.isRunning());
    EXPECT_EQ(ourStreamCount(), 0);

    // A restart records the default of now.
    capture.restartIfStopped().waitForFinished();
    EXPECT_EQ(capture.currentSourceName(), QStringLiteral("other_out.monitor"));
    capture.stop().waitForFinished();
}
