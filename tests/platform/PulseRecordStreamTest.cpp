#include "platform/pulse/PulseContext.h"
#include "platform/pulse/PulseRecordStream.h"
#include "support/PulseTestTools.h"
#include "support/TemporaryModule.h"
#include "support/TestEnvironment.h"
#include "support/ToneDetector.h"

#include <QThread>

#include <atomic>
#include <cmath>
#include <mutex>

#include <gtest/gtest.h>

using namespace PulseTestTools;

namespace {

// Collects what a stream delivers, as 16-bit samples for the tone detector.
struct Collector {
    std::mutex mutex;
    std::vector<int16_t> samples;
    std::atomic<int> deliveries{0};
    std::atomic<bool> ended{false};
    std::optional<Error> endError;

    PulseRecordStream::DataHandler dataHandler()
    {
        return [this](const QByteArray& bytes) {
            const auto* floats = reinterpret_cast<const float*>(bytes.constData());
            std::lock_guard lock(mutex);
            for (qsizetype i = 0; i < bytes.size() / qsizetype(sizeof(float)); ++i)
                samples.push_back(int16_t(std::clamp(floats[i], -1.0f, 1.0f) * 32767));
            ++deliveries;
        };
    }
    PulseRecordStream::EndHandler endHandler()
    {
        return [this](const Error& error) {
            std::lock_guard lock(mutex);
            endError = error;
            ended = true;
        };
    }
    size_t frames()
    {
        std::lock_guard lock(mutex);
        return samples.size() / 2;
    }
};

} // namespace

TEST(PulseRecordStream, CapturesWhatASinkPlaysInSmallPieces)
{
    Collector collector;
    PulseRecordStream stream({QStringLiteral("test_sink.monitor"), QStringLiteral("Monitor test")},
                             collector.dataHandler(), collector.endHandler());
    stream.open();
    // The first monitor data can take a moment; start before playing.
    TonePlayer player(QStringLiteral("test_sink"), sineTone(440, 1.0));
    ASSERT_TRUE(player.wait());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return collector.frames() > 44100 * 1.5; }, 6000));
    stream.close();
    const int deliveries = collector.deliveries;
    QThread::msleep(100);
    EXPECT_EQ(collector.deliveries, deliveries) << "a closed stream delivers nothing more";

    std::lock_guard lock(collector.mutex);
    EXPECT_GT(ToneDetector::peakAmplitude(collector.samples, 2, 44100, 440), 0.3);
    EXPECT_LT(ToneDetector::peakAmplitude(collector.samples, 2, 44100, 1000), 0.05);
    // About 100 ms a piece: many deliveries per second of audio, no lumps.
    EXPECT_GT(collector.deliveries, 10);
    EXPECT_FALSE(collector.ended);
}

TEST(PulseRecordStream, OpeningAMissingSourceFails)
{
    PulseRecordStream stream({QStringLiteral("no_such_source"), QStringLiteral("Missing")}, {}, {});
    try {
        stream.open();
        FAIL() << "opened a source that does not exist";
    } catch (const Error& error) {
        EXPECT_EQ(error.domain(), QStringLiteral("PulseAudio"));
        EXPECT_EQ(error.code(), PA_ERR_NOENTITY);
    }
}

TEST(PulseRecordStream, EndsInsteadOfMovingWhenItsSourceGoesAway)
{
    TemporaryModule sink(QStringLiteral("module-null-sink"), {QStringLiteral("sink_name=vanishing_sink")});
    Collector collector;
    PulseRecordStream stream({QStringLiteral("vanishing_sink.monitor"), QStringLiteral("Vanishing")},
                             collector.dataHandler(), collector.endHandler());
    stream.open();
    sink.remove();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return collector.ended.load(); }));
    // Nothing of ours is left reading from another source.
    const uint32_t own = PulseContext::shared().ownClientIndex();
    const auto outputs = PulseContext::wait(PulseContext::shared().sourceOutputs());
    EXPECT_TRUE(std::none_of(outputs.begin(), outputs.end(),
                             [own](const PulseSourceOutputInfo& o) { return o.clientIndex == own; }));
}
