#include "audio/MicrophoneCapture.h"

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

const AudioDevice testMic{QStringLiteral("test_mic"), QStringLiteral("Test_Microphone"), true};

int ourStreamsOn(const QString& sourceName)
{
    PulseContext& pulse = PulseContext::shared();
    const uint32_t own = pulse.ownClientIndex();
    const auto source = PulseContext::wait(pulse.source(sourceName));
    int count = 0;
    for (const PulseSourceOutputInfo& output : PulseContext::wait(pulse.sourceOutputs()))
        count += source && output.clientIndex == own && output.sourceIndex == source->index;
    return count;
}

// A second microphone: a null sink to play into, and its monitor remapped.
class SecondMicrophone {
public:
    AudioDevice device() const { return {QStringLiteral("second_mic"), QStringLiteral("second_mic"), false}; }

private:
    // Unloaded in reverse: the remapped source before the sink it reads.
    TemporaryModule m_sink{QStringLiteral("module-null-sink"), {QStringLiteral("sink_name=second_feed")}};
    TemporaryModule m_source{QStringLiteral("module-remap-source"),
                             {QStringLiteral("source_name=second_mic"), QStringLiteral("master=second_feed.monitor")}};
};

} // namespace

TEST(MicrophoneCapture, DeliversTheChosenMicrophone)
{
    CapturedAudio audio;
    MicrophoneCapture capture;
    capture.onCapturedBuffer = audio.handler();
    capture.start(testMic).waitForFinished();
    EXPECT_TRUE(capture.isRunning());
    TonePlayer player(QStringLiteral("mic_feed"), sineTone(660, 1.0));
    ASSERT_TRUE(player.wait());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return audio.peakAmplitude(660) > 0.3; }, 3000));
    capture.stop();
    capture.stop(); // a second stop does nothing
    EXPECT_FALSE(capture.isRunning());
    const int deliveries = audio.deliveries();
    QThread::msleep(100);
    EXPECT_EQ(audio.deliveries(), deliveries);
    EXPECT_TRUE(audio.allWellFormed());
    EXPECT_LT(audio.peakAmplitude(440), 0.05);
    EXPECT_EQ(ourStreamsOn(QStringLiteral("test_mic")), 0);
}

TEST(MicrophoneCapture, SwitchesDeviceWhileRunning)
{
    SecondMicrophone second;
    CapturedAudio audio;
    MicrophoneCapture capture;
    capture.onCapturedBuffer = audio.handler();
    capture.start(testMic).waitForFinished();
    capture.setDevice(second.device());
    EXPECT_EQ(capture.currentSourceName(), QStringLiteral("second_mic"));
    EXPECT_TRUE(capture.isRunning());
    EXPECT_EQ(ourStreamsOn(QStringLiteral("test_mic")), 0);
    EXPECT_EQ(ourStreamsOn(QStringLiteral("second_mic")), 1);

    const size_t switchedAt = audio.frames();
    TonePlayer player(QStringLiteral("second_feed"), sineTone(880, 1.0));
    ASSERT_TRUE(player.wait());
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return audio.peakAmplitudeFrom(switchedAt, 880) > 0.3; }, 3000));

    // The same device again opens its stream anew; still one stream.
    capture.setDevice(second.device());
    EXPECT_TRUE(capture.isRunning());
    EXPECT_EQ(ourStreamsOn(QStringLiteral("second_mic")), 1);
    capture.stop();
}

TEST(MicrophoneCapture, RefusesAnUnknownDeviceAndKeepsItsOwn)
{
    MicrophoneCapture capture;
    capture.start(testMic).waitForFinished();
    capture.setDevice(AudioDevice{QStringLiteral("no_such_mic"), QStringLiteral("Gone"), false});
    capture.setDevice(std::nullopt);
    EXPECT_EQ(capture.currentSourceName(), QStringLiteral("test_mic"));
    EXPECT_EQ(ourStreamsOn(QStringLiteral("test_mic")), 1);
}

TEST(MicrophoneCapture, StartWithoutADeviceRunsSilentAndSaysWhy)
{
    CapturedAudio audio;
    MicrophoneCapture capture;
    capture.onCapturedBuffer = audio.handler();
    QFuture<void> started = capture.start(std::nullopt);
    EXPECT_THROW(started.waitForFinished(), Error);
    EXPECT_TRUE(capture.isRunning());
    QThread::msleep(200);
    EXPECT_EQ(audio.deliveries(), 0);
}

TEST(MicrophoneCapture, LosingItsSourceEndsTheStreamWithoutMovingIt)
{
    CapturedAudio audio;
    MicrophoneCapture capture;
    capture.onCapturedBuffer = audio.handler();
    {
        SecondMicrophone second;
        capture.start(second.device()).waitForFinished();
        EXPECT_EQ(ourStreamsOn(QStringLiteral("second_mic")), 1);
    }
    // Not moved onto the default microphone: the next device change says where to go.
    QThread::msleep(200);
    EXPECT_EQ(ourStreamsOn(QStringLiteral("test_mic")), 0);
    capture.setDevice(testMic);
    EXPECT_TRUE(capture.isRunning());
    EXPECT_EQ(ourStreamsOn(QStringLiteral("test_mic")), 1);
}
