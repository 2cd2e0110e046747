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

// A null sink made the default output for one test; the test sink is the
// default again afterwards.
class TemporaryOutput : public TemporaryModule {
public:
    TemporaryOutput()
        : TemporaryModule(QStringLiteral("module-null-sink"), {QStringLiteral("sink_name=temporary_out")},
                          {QStringLiteral("set-default-sink"), QStringLiteral("test_sink")})
    {
        pactl({QStringLiteral("set-default-sink"), QStringLiteral("temporary_out")});
    }
};

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

TEST(SystemAudioCapture, StopsWhenItsOutputGoesAwayAndCanRestart)
{
    TemporaryOutput output;
    SystemAudioCapture capture;
    capture.start().waitForFinished();
    ASSERT_TRUE(capture.isRunning());

    output.remove();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !capture.isRunning(); }));
    // Nothing of ours went on reading some other source (a microphone).
    EXPECT_EQ(ourStreamCount(), 0);

    capture.restartIfStopped().waitForFinished();
    EXPECT_TRUE(capture.isRunning());
    EXPECT_EQ(ourStreamCount(), 1);
    capture.stop().waitForFinished();
}
