// The live session's buffering and chunking over a stand-in for the model.

#include "common/SerialQueue.h"
#include "engines/speech/LiveTranscriptionSession.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using Session = LiveTranscriptionSession;

// One second of 44.1 kHz stereo: 88,200 interleaved samples.
std::vector<int16_t> seconds(double length, int16_t value = 1000)
{
    return std::vector<int16_t>(static_cast<size_t>(length * 44100) * 2, value);
}

// The model stand-in: records every pass, and can hold a pass until released.
class FakeModel {
public:
    struct Pass {
        std::vector<float> samples;
        bool isLive;
    };

    std::optional<Transcription> transcribe(const std::vector<float>& samples, bool isLive)
    {
        std::unique_lock lock(m_mutex);
        m_passes.push_back({samples, isLive});
        m_held.wait(lock, [this] { return !m_holding; });
        return answer;
    }

    void hold()
    {
        std::lock_guard lock(m_mutex);
        m_holding = true;
    }
    void release()
    {
        {
            std::lock_guard lock(m_mutex);
            m_holding = false;
        }
        m_held.notify_all();
    }
    std::vector<Pass> passes()
    {
        std::lock_guard lock(m_mutex);
        return m_passes;
    }

    std::atomic<bool> loaded{true};
    std::atomic<bool> transcribingFile{false};
    std::optional<Transcription> answer = Transcription();

private:
    std::mutex m_mutex;
    std::condition_variable m_held;
    bool m_holding = false;
    std::vector<Pass> m_passes;
};

class LiveSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        Session::Inference inference;
        inference.isModelLoaded = [this] { return m_model.loaded.load(); };
        inference.isTranscribingFile = [this] { return m_model.transcribingFile.load(); };
        inference.transcribe = [this](const std::vector<float>& samples, bool isLive) {
            --m_inFlight;
            return m_model.transcribe(samples, isLive);
        };
        inference.post = [this](std::function<void()> work) {
            m_maxInFlight = std::max(m_maxInFlight.load(), ++m_inFlight);
            m_queue.post(std::move(work));
        };
        m_session = std::make_unique<Session>(std::move(inference));
    }

    void TearDown() override { m_model.release(); }

    // Waits until no chunk is in flight.
    void drain()
    {
        ASSERT_TRUE(TestEnvironment::waitUntil([this] { return !m_session->isProcessingLiveChunk(); }));
    }

    static Transcription result(const QString& text, const QString& language)
    {
        Transcription t;
        t.appendSegment(0.5, 1.5, text);
        t.language = language;
        return t;
    }

    FakeModel m_model;
    std::atomic<int> m_inFlight{0};
    std::atomic<int> m_maxInFlight{0};
    std::unique_ptr<Session> m_session;
    // Declared last: it finishes its work before the session goes.
    SerialQueue m_queue{QStringLiteral("test.whisper")};
};

} // namespace

TEST(LiveSessionConversion, CountsFollowTheRateRatio)
{
    struct Case {
        size_t inputSamples;
        size_t outputSamples;
    } cases[] = {
        {0, 0},          {1, 0},           // fewer than two samples
        {2, 0},          {5, 0},           // under one output sample; the odd one is ignored
        {6, 1},          {88200, 16000},   // one second
        {88201, 16000},  {882000, 160000}, // ten seconds
    };
    for (const Case& c : cases) {
        const std::vector<int16_t> input(c.inputSamples, 100);
        EXPECT_EQ(Session::convert44kStereoTo16kMono(input.data(), input.size()).size(), c.outputSamples)
            << c.inputSamples;
    }
}

TEST(LiveSessionConversion, AveragesThePairAndInterpolatesBetweenFrames)
{
    // Left climbs by 2 per frame, right stays at 0: the mono ramp climbs by 1.
    std::vector<int16_t> input;
    for (int16_t frame = 0; frame < 1000; ++frame)
        input.insert(input.end(), {int16_t(2 * frame), int16_t(0)});
    const std::vector<float> output = Session::convert44kStereoTo16kMono(input.data(), input.size());
    ASSERT_EQ(output.size(), 362u);
    for (size_t i = 0; i < output.size(); ++i)
        EXPECT_NEAR(output[i] * 32768.0, double(i) / Session::kRateRatio, 1e-2) << i;
}

TEST_F(LiveSession, ThreeSecondsOfNewAudioStartTheFirstChunk)
{
    const std::vector<int16_t> single{123};
    m_session->feedAudio(single);
    EXPECT_EQ(m_session->bufferedSamples(), 0);

    m_session->feedAudio(seconds(1));
    EXPECT_EQ(m_session->bufferedSamples(), 16000);
    m_session->feedAudio(seconds(1));
    drain();
    EXPECT_TRUE(m_model.passes().empty());

    m_session->feedAudio(seconds(1));
    drain();
    const auto passes = m_model.passes();
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].samples.size(), 48000u);
    EXPECT_TRUE(passes[0].isLive);
    EXPECT_EQ(m_session->lastTranscribedSampleCount(), 48000);
}

TEST_F(LiveSession, ChunkIsTheLastTwentyFourSeconds)
{
    // One feed that brings the buffer to exactly 500,000 samples.
    size_t frames = 1378120;
    while (static_cast<size_t>(double(frames) * Session::kRateRatio) < 500000)
        ++frames;
    std::vector<int16_t> input(frames * 2);
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<int16_t>((i / 2) % 20000);
    const std::vector<float> converted = Session::convert44kStereoTo16kMono(input.data(), input.size());
    ASSERT_EQ(converted.size(), 500000u);

    m_session->feedAudio(input);
    drain();
    const auto passes = m_model.passes();
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].samples, std::vector<float>(converted.end() - 384000, converted.end()));
}

TEST_F(LiveSession, NoSecondChunkWhileOneIsInFlight)
{
    m_model.hold();
    m_session->feedAudio(seconds(3));
    ASSERT_TRUE(TestEnvironment::waitUntil([this] { return m_model.passes().size() == 1; }));
    EXPECT_TRUE(m_session->isProcessingLiveChunk());

    // Plenty of new audio, but a chunk is running: the counter stays.
    m_session->feedAudio(seconds(4));
    EXPECT_EQ(m_session->lastTranscribedSampleCount(), 48000);
    EXPECT_EQ(m_model.passes().size(), 1u);

    m_model.release();
    drain();
    m_session->feedAudio(seconds(1));
    drain();
    const auto passes = m_model.passes();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[1].samples.size(), 128000u);
}

TEST_F(LiveSession, FeedersOnSeveralThreadsNeverHaveTwoChunksInFlight)
{
    std::vector<std::thread> feeders;
    for (int t = 0; t < 4; ++t) {
        feeders.emplace_back([this] {
            for (int i = 0; i < 40; ++i)
                m_session->feedAudio(seconds(1.1));
        });
    }
    for (std::thread& feeder : feeders)
        feeder.join();
    drain();
    EXPECT_GT(m_model.passes().size(), 1u);
    EXPECT_EQ(m_maxInFlight.load(), 1);
}

TEST_F(LiveSession, NoChunkWhileAFileIsTranscribed)
{
    m_model.transcribingFile = true;
    m_session->feedAudio(seconds(3));
    // The counter moved all the same: the next chunk needs three more seconds.
    EXPECT_EQ(m_session->lastTranscribedSampleCount(), 48000);
    m_model.transcribingFile = false;
    m_session->feedAudio(seconds(2));
    drain();
    EXPECT_TRUE(m_model.passes().empty());
    m_session->feedAudio(seconds(1));
    drain();
    EXPECT_EQ(m_model.passes().size(), 1u);
}

TEST_F(LiveSession, WithoutAModelItOnlyCollects)
{
    m_model.loaded = false;
    m_session->feedAudio(seconds(5));
    EXPECT_EQ(m_session->bufferedSamples(), 80000);
    QFuture<Transcription> stopped = m_session->stopLiveSession();
    ASSERT_TRUE(stopped.isFinished());
    EXPECT_TRUE(stopped.result().text.isEmpty());
    EXPECT_TRUE(m_model.passes().empty());
    EXPECT_EQ(m_session->bufferedSamples(), 0);
}

TEST_F(LiveSession, StopWithNothingFedReturnsAtOnce)
{
    QFuture<Transcription> stopped = m_session->stopLiveSession();
    ASSERT_TRUE(stopped.isFinished());
    EXPECT_TRUE(stopped.result().text.isEmpty());
    EXPECT_TRUE(stopped.result().segments.isEmpty());
    EXPECT_TRUE(m_model.passes().empty());
}

TEST_F(LiveSession, StopTranscribesEverythingInOnePass)
{
    m_model.loaded = false; // collect without chunks
    m_session->feedAudio(seconds(30));
    m_model.loaded = true;
    m_model.answer = result(QStringLiteral("the whole meeting"), QStringLiteral("EN"));
    QFuture<Transcription> stopped = m_session->stopLiveSession();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return stopped.isFinished(); }));
    EXPECT_EQ(stopped.result().text, QStringLiteral("the whole meeting"));
    const auto passes = m_model.passes();
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].samples.size(), 480000u);
    EXPECT_FALSE(passes[0].isLive);
    EXPECT_EQ(m_session->bufferedSamples(), 0);
    EXPECT_EQ(m_session->lastTranscribedSampleCount(), 0);
}

TEST_F(LiveSession, PublishesEachChunkAndClearsOnRestart)
{
    m_model.answer = result(QStringLiteral("first words"), QStringLiteral("EN"));
    m_session->feedAudio(seconds(3));
    ASSERT_TRUE(TestEnvironment::waitUntil([this] { return !m_session->liveTranscript().isEmpty(); }));
    EXPECT_EQ(m_session->liveTranscript(), QStringLiteral("first words"));
    ASSERT_EQ(m_session->liveSegments().size(), 1);
    EXPECT_EQ(m_session->detectedLanguage(), QStringLiteral("EN"));

    // A chunk with no language keeps the last one known.
    m_model.answer = result(QStringLiteral("more words"), QString());
    m_session->feedAudio(seconds(3));
    ASSERT_TRUE(TestEnvironment::waitUntil([this] { return m_session->liveTranscript() == QStringLiteral("more words"); }));
    EXPECT_EQ(m_session->detectedLanguage(), QStringLiteral("EN"));

    m_session->startLiveSession();
    ASSERT_TRUE(TestEnvironment::waitUntil([this] { return m_session->liveTranscript().isEmpty(); }));
    EXPECT_TRUE(m_session->liveSegments().isEmpty());
    EXPECT_TRUE(m_session->detectedLanguage().isEmpty());
    EXPECT_EQ(m_session->bufferedSamples(), 0);
}
