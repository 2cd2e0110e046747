// The player's own logic over an output driven by hand; what it sounds like
// through the sound server is in AudioPlayerPulseTest.
#include "audio/AudioPlayerManager.h"
#include "audio/FakePlaybackOutput.h"
#include "audio/ToneFiles.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUrl>

#include <cmath>

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 44100;

std::vector<int16_t> toInt16(const std::vector<float>& samples)
{
    std::vector<int16_t> out;
    out.reserve(samples.size());
    for (float sample : samples)
        out.push_back(static_cast<int16_t>(std::clamp(sample, -1.0f, 1.0f) * 32767));
    return out;
}

class AudioPlayerManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 500 Hz for the first second, then 1000 Hz for two.
        m_path = m_dir.filePath(QStringLiteral("tones.mp3"));
        ToneFiles::write(m_path, {{1.0, 500}, {2.0, 1000}});
        auto output = std::make_unique<FakePlaybackOutput>();
        m_output = output.get();
        m_player = std::make_unique<AudioPlayerManager>(std::move(output));
    }

    // Plays `seconds` of output through the fake, as the sound server would,
    // and lets the position timer see it.
    void playFor(double seconds)
    {
        const auto frames = static_cast<int64_t>(seconds * kRate);
        m_output->deliver(frames);
        m_output->hear(frames);
        settle();
    }

    void settle() { TestEnvironment::waitUntil([] { return false; }, 80); }

    double heardFrequency(double fromSeconds, double seconds) const
    {
        return ToneFiles::frequencyAt(toInt16(m_output->heard), 2, kRate, fromSeconds, seconds);
    }

    QTemporaryDir m_dir;
    QString m_path;
    FakePlaybackOutput* m_output = nullptr;
    std::unique_ptr<AudioPlayerManager> m_player;
};

TEST_F(AudioPlayerManagerTest, StopRewindsWhatPlaysNextNotOnlyThePosition)
{
    m_player->load(m_path);
    m_player->play();
    playFor(2.0);
    ASSERT_NEAR(m_player->currentTime(), 2.0, 0.01);
    ASSERT_NEAR(heardFrequency(1.5, 0.3), 1000, 10);

    m_player->stop();
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 0.0);

    m_output->heard.clear();
    m_player->play();
    playFor(0.5);
    EXPECT_NEAR(heardFrequency(0.1, 0.3), 500, 10);
    EXPECT_NEAR(m_player->currentTime(), 0.5, 0.01);
}

TEST_F(AudioPlayerManagerTest, PositionCountsWhatWasHeardAtTheRate)
{
    for (float rate : {1.0f, 2.0f, 0.75f}) {
        SCOPED_TRACE(rate);
        m_output->heard.clear();
        m_player->setRate(rate);
        m_player->load(m_path);
        m_player->play();
        // A second rendered, 0.6 s of it heard: the rest is still queued.
        m_output->deliver(kRate);
        m_output->hear(static_cast<int64_t>(0.6 * kRate));
        settle();
        EXPECT_NEAR(m_player->currentTime(), 0.6 * rate, 0.01);

        // The whole file takes its length divided by the rate.
        for (int i = 0; i < 400 && m_player->isPlaying(); ++i) {
            m_output->deliver(kRate / 20);
            m_output->hear(kRate / 20);
            QCoreApplication::processEvents();
        }
        EXPECT_FALSE(m_player->isPlaying());
        EXPECT_EQ(m_player->currentTime(), 0.0);
        const double heardSeconds = static_cast<double>(m_output->heard.size()) / 2 / kRate;
        EXPECT_NEAR(heardSeconds, m_player->duration() / rate, 0.05);
        // Same tones, whatever the rate.
        EXPECT_NEAR(heardFrequency(0.2 / rate, 0.4 / rate), 500, 15);
        EXPECT_NEAR(heardFrequency(2.0 / rate, 0.4 / rate), 1000, 15);
    }
}

TEST_F(AudioPlayerManagerTest, RateChosenWhilePausedWaitsForPlay)
{
    m_player->setRate(1.5f);
    m_player->load(m_path);
    m_player->play();
    playFor(0.4);
    EXPECT_NEAR(m_player->currentTime(), 0.6, 0.01) << "the rate set before loading applies";

    m_player->pause();
    m_player->setRate(2.0f);
    EXPECT_EQ(m_player->playbackRate(), 2.0f);
    // Paused, the output still fills its buffer: at the old rate.
    m_output->deliver(kRate / 10);
    m_player->play();
    playFor(0.25);
    EXPECT_NEAR(m_player->currentTime(), 0.6 + 0.5, 0.02);
}

TEST_F(AudioPlayerManagerTest, PlayNearTheEndStartsOver)
{
    m_player->load(m_path);
    const double duration = m_player->duration();
    ASSERT_NEAR(duration, 3.0, 2 * 1152.0 / kRate);
    struct Case {
        double position;
        double expected;
    };
    for (const Case& c : {Case{duration - 0.05, 0.0}, Case{duration - 0.15, duration - 0.15}}) {
        SCOPED_TRACE(c.position);
        m_player->pause();
        m_player->seek(c.position);
        m_player->play();
        EXPECT_DOUBLE_EQ(m_player->currentTime(), c.expected);
        m_output->heard.clear();
        playFor(0.1);
        EXPECT_NEAR(heardFrequency(0.0, 0.1), c.expected == 0.0 ? 500 : 1000, 15);
    }
}

TEST_F(AudioPlayerManagerTest, AFileThatCannotBeOpenedLeavesNothingLoaded)
{
    const QString missing = m_dir.filePath(QStringLiteral("gone.mp3"));
    m_player->load(m_path);
    m_player->seek(1.0);

    testing::internal::CaptureStdout();
    m_player->load(missing);
    const std::string printed = testing::internal::GetCapturedStdout();

    EXPECT_EQ(printed.rfind("Failed to load audio file at " + QUrl::fromLocalFile(missing).toString().toStdString() + ": ", 0), 0u)
        << printed;
    EXPECT_EQ(m_player->currentLoadedURL(), missing);
    EXPECT_EQ(m_player->duration(), 0.0);
    EXPECT_EQ(m_player->currentTime(), 0.0);
    m_player->play();
    m_player->seek(2.0);
    m_player->skipForward(15);
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 0.0);
    EXPECT_EQ(m_output->opens, 0);
}

} // namespace
