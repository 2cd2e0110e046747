// The player through the test sound server: what it plays is recorded back
// from the default sink's monitor.
#include "audio/AudioPlayerManager.h"
#include "audio/ToneFiles.h"
#include "platform/pulse/PulseRecordStream.h"
#include "support/TestEnvironment.h"
#include "support/ToneDetector.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <mutex>

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 44100;

// Everything the test sink plays, as 16-bit stereo. Its short fragments also
// keep the null sink rendering in small steps as a sound card would; an idle
// null sink renders two seconds ahead at once, starving a new stream.
class SinkRecorder {
public:
    SinkRecorder()
        : m_stream({QStringLiteral("test_sink.monitor"), QStringLiteral("Player test")},
                   [this](const QByteArray& bytes) {
                       const auto* floats = reinterpret_cast<const float*>(bytes.constData());
                       std::lock_guard lock(m_mutex);
                       for (qsizetype i = 0; i < bytes.size() / qsizetype(sizeof(float)); ++i)
                           m_samples.push_back(static_cast<int16_t>(std::clamp(floats[i], -1.0f, 1.0f) * 32767));
                   },
                   {})
    {
        m_stream.open();
        // The first monitor data can take a while: be sure it flows first.
        TestEnvironment::waitUntil([this] { return frames() > 0; }, 3000);
    }

    size_t frames()
    {
        std::lock_guard lock(m_mutex);
        return m_samples.size() / 2;
    }

    std::vector<int16_t> stop()
    {
        m_stream.close();
        std::lock_guard lock(m_mutex);
        return m_samples;
    }

private:
    std::mutex m_mutex;
    std::vector<int16_t> m_samples;
    PulseRecordStream m_stream;
};

// Seconds of the recording in which `hz` sounds clearly, in 50 ms windows.
double secondsSounding(const std::vector<int16_t>& samples, double hz)
{
    const size_t window = kRate / 20;
    int windows = 0;
    for (size_t first = 0; first + window <= samples.size() / 2; first += window) {
        if (ToneDetector::amplitude(samples, 2, kRate, hz, first, window) > 0.1)
            ++windows;
    }
    return windows * 0.05;
}

class AudioPlayerPulseTest : public ::testing::Test {
protected:
    QString tone(const QString& name, std::vector<ToneFiles::Tone> tones)
    {
        const QString path = m_dir.filePath(name);
        ToneFiles::write(path, tones);
        return path;
    }

    QTemporaryDir m_dir;
    SinkRecorder m_recorder;
    AudioPlayerManager m_player;
};

TEST_F(AudioPlayerPulseTest, PositionFollowsWhatIsHeardInRealTime)
{
    m_player.load(tone(QStringLiteral("six.mp3"), {{6.0, 440}}));
    int updates = 0;
    QObject::connect(&m_player, &AudioPlayerManager::currentTimeChanged, [&] { ++updates; });
    // Position minus time since play, sampled at every update.
    double largestLead = -1;
    QElapsedTimer clock;
    QObject::connect(&m_player, &AudioPlayerManager::currentTimeChanged, [&](double position) {
        if (m_player.playbackRate() == 1.0f)
            largestLead = std::max(largestLead, position - clock.nsecsElapsed() / 1e9);
    });

    clock.start();
    m_player.play();
    ASSERT_TRUE(m_player.isPlaying());
    TestEnvironment::waitUntil([] { return false; }, 500);
    const double p1 = m_player.currentTime();
    const double t1 = clock.nsecsElapsed() / 1e9;
    updates = 0;
    TestEnvironment::waitUntil([] { return false; }, 1500);
    const double p2 = m_player.currentTime();
    const double t2 = clock.nsecsElapsed() / 1e9;

    EXPECT_NEAR((p2 - p1) / (t2 - t1), 1.0, 0.1);
    // About every 0.03 s.
    EXPECT_GT(updates, 30);
    // Never ahead of the sound: what is queued is not counted as heard.
    EXPECT_LT(largestLead, 0.03);
    // Nor far behind it.
    EXPECT_GT(p2, t2 - 0.3);

    // A new rate takes effect at once.
    m_player.setRate(2.0f);
    TestEnvironment::waitUntil([] { return false; }, 300);
    const double p3 = m_player.currentTime();
    const double t3 = clock.nsecsElapsed() / 1e9;
    TestEnvironment::waitUntil([] { return false; }, 1000);
    EXPECT_NEAR((m_player.currentTime() - p3) / (clock.nsecsElapsed() / 1e9 - t3), 2.0, 0.2);
}

TEST_F(AudioPlayerPulseTest, DoubleRatePlaysInHalfTheTimeAtTheSamePitch)
{
    m_player.load(tone(QStringLiteral("three.mp3"), {{3.0, 440}}));
    m_player.setRate(2.0f);

    QElapsedTimer clock;
    clock.start();
    m_player.play();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !m_player.isPlaying(); }, 6000));
    const double elapsed = clock.nsecsElapsed() / 1e9;
    TestEnvironment::waitUntil([] { return false; }, 300);
    const std::vector<int16_t> played = m_recorder.stop();

    // Half of three seconds, and the stream's start and drain (longer on PipeWire).
    EXPECT_GT(elapsed, 1.3);
    EXPECT_LT(elapsed, 2.0);
    EXPECT_NEAR(secondsSounding(played, 440), 1.5, 0.2);
    EXPECT_GT(ToneDetector::peakAmplitude(played, 2, kRate, 440), 0.2);
    // A faster tape would have raised it an octave.
    EXPECT_LT(ToneDetector::peakAmplitude(played, 2, kRate, 880), 0.03);
    EXPECT_EQ(m_player.currentTime(), 0.0);
}

TEST_F(AudioPlayerPulseTest, TheEndOfTheFileStopsAndRewinds)
{
    m_player.load(tone(QStringLiteral("tones.mp3"), {{0.6, 500}, {0.6, 1000}}));
    std::vector<double> positions;
    QObject::connect(&m_player, &AudioPlayerManager::currentTimeChanged, [&](double t) { positions.push_back(t); });

    m_player.play();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !m_player.isPlaying(); }, 4000));
    EXPECT_EQ(m_player.currentTime(), 0.0);
    ASSERT_GE(positions.size(), 3u);
    // The last position before the reset was close to the end.
    EXPECT_GT(positions[positions.size() - 2], m_player.duration() - 0.1);

    // Playing again starts from the beginning, as does a play after a stop.
    m_player.play();
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_GT(m_player.currentTime(), 0.1);
    EXPECT_LT(m_player.currentTime(), 0.5);
    m_player.stop();
    EXPECT_EQ(m_player.currentTime(), 0.0);
    m_player.play();
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_LT(m_player.currentTime(), 0.5);
    m_player.pause();
    const std::vector<int16_t> played = m_recorder.stop();
    // Both tones were heard: the whole file played through once, and its
    // start again (each replay loses its stream's start-up and the sound
    // still queued when it ends, so together they add only 0.2-0.5 s).
    EXPECT_GT(secondsSounding(played, 1000), 0.4);
    EXPECT_GT(secondsSounding(played, 500), 0.75);
}

TEST_F(AudioPlayerPulseTest, SeekingAndSkippingStayInsideTheFile)
{
    // Without a file nothing moves.
    m_player.seek(2.0);
    m_player.skipForward(15);
    EXPECT_EQ(m_player.currentTime(), 0.0);

    m_player.load(tone(QStringLiteral("three.mp3"), {{3.0, 440}}));
    const double duration = m_player.duration();
    struct Case {
        const char* name;
        std::function<void()> act;
        double expected;
    };
    const std::vector<Case> cases = {
        {"seek past the end", [&] { m_player.seek(12.0); }, duration},
        {"seek before the start", [&] { m_player.seek(-3.0); }, 0.0},
        {"seek inside", [&] { m_player.seek(1.25); }, 1.25},
        {"skip back past the start", [&] { m_player.skipBackward(15); }, 0.0},
        {"skip forward", [&] { m_player.skipForward(1.5); }, 1.5},
        {"skip forward past the end", [&] { m_player.skipForward(15); }, duration},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.act();
        EXPECT_DOUBLE_EQ(m_player.currentTime(), c.expected);
        EXPECT_FALSE(m_player.isPlaying());
    }

    // While playing, playback goes on from the new place.
    m_player.seek(0);
    m_player.play();
    TestEnvironment::waitUntil([] { return false; }, 300);
    m_player.seek(2.0);
    EXPECT_TRUE(m_player.isPlaying());
    TestEnvironment::waitUntil([] { return false; }, 400);
    EXPECT_GT(m_player.currentTime(), 2.1);
    EXPECT_LT(m_player.currentTime(), 2.5);

    // Back again once the end of the file is already queued: it plays on.
    m_player.seek(duration - 0.1);
    TestEnvironment::waitUntil([] { return false; }, 50);
    m_player.seek(1.0);
    TestEnvironment::waitUntil([] { return false; }, 400);
    EXPECT_TRUE(m_player.isPlaying());
    EXPECT_GT(m_player.currentTime(), 1.1);
    EXPECT_LT(m_player.currentTime(), 1.5);
    m_player.pause();
}

} // namespace
