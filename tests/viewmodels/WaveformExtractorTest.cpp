#include "viewmodels/WaveformExtractor.h"

#include "ToneMp3.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

using ::testing::Each;
using ::testing::FloatEq;
using ::testing::Ge;
using ::testing::Le;

namespace {

class WaveformExtractorTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(WaveformExtractorTest, ARisingToneGivesRisingBarsFromPointTwelveToOne)
{
    // 15 seconds: some 160 buffers, more than one per bar.
    writeToneMp3(path("rise.mp3"), 15, [](double t) { return t / 15; });
    const auto bars = WaveformExtractor::extract(path("rise.mp3"), 120);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 120);
    EXPECT_THAT(*bars, Each(Ge(0.12f)));
    EXPECT_THAT(*bars, Each(Le(1.0f)));
    EXPECT_FLOAT_EQ(bars->front(), 0.12f);
    EXPECT_GT(bars->back(), 0.95f);
    // Rising on the whole: each tenth above the one before.
    for (int tenth = 1; tenth < 10; ++tenth)
        EXPECT_GT(bars->at(tenth * 12 + 6), bars->at((tenth - 1) * 12 + 6)) << tenth;
}

TEST_F(WaveformExtractorTest, SilenceGivesEqualBarsAtPointTwelve)
{
    writeToneMp3(path("silence.mp3"), 15, [](double) { return 0.0; });
    const auto bars = WaveformExtractor::extract(path("silence.mp3"), 120);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 120);
    EXPECT_THAT(*bars, Each(FloatEq(0.12f)));
}

TEST_F(WaveformExtractorTest, AFileOfFewerBuffersThanBarsStillFillsEveryBarWithinRange)
{
    // One second: about eleven buffers for 120 bars.
    writeToneMp3(path("short.mp3"), 1, [](double) { return 0.5; });
    const auto levels = WaveformExtractor::bufferLevels(path("short.mp3"));
    ASSERT_TRUE(levels);
    EXPECT_LT(levels->size(), 120);
    const auto bars = WaveformExtractor::extract(path("short.mp3"), 120);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 120);
    EXPECT_THAT(*bars, Each(Ge(0.12f)));
    EXPECT_THAT(*bars, Each(Le(1.0f)));
    // The buckets without a buffer are the lowest bars.
    EXPECT_FLOAT_EQ(*std::min_element(bars->begin(), bars->end()), 0.12f);
}

TEST_F(WaveformExtractorTest, NoBarsAskedOfAReadableFileIsAnEmptyListNotNothing)
{
    writeToneMp3(path("tone.mp3"), 1, [](double) { return 0.5; });
    const auto bars = WaveformExtractor::extract(path("tone.mp3"), 0);
    ASSERT_TRUE(bars);
    EXPECT_TRUE(bars->isEmpty());
}

TEST_F(WaveformExtractorTest, AMissingEmptyOrNonAudioFileGivesNothing)
{
    TestFiles::writeFile(path("empty.mp3"), {});
    TestFiles::writeFile(path("notes.mp3"), QByteArray("These are meeting notes, not audio.\n").repeated(200));
    for (const QString name : {"missing.mp3", "empty.mp3", "notes.mp3"})
        EXPECT_FALSE(WaveformExtractor::extract(path(name), 120)) << name.toStdString();
}

TEST_F(WaveformExtractorTest, ACancelledExtractionGivesNothing)
{
    writeToneMp3(path("tone.mp3"), 1, [](double) { return 0.5; });
    const std::atomic_bool cancelled{true};
    EXPECT_FALSE(WaveformExtractor::extract(path("tone.mp3"), 120, &cancelled));
}

TEST(WaveformExtractorBars, BucketsBlendMeanAndPeakBeforeTheyAreSpread)
{
    // Two levels per bar, each bar 0.7 x mean + 0.3 x peak of its two.
    const QList<float> levels{0.1f, 0.1f, 0.3f, 0.5f, 0.5f, 0.8f};
    const float low = 0.1f;
    const float middle = 0.7f * 0.4f + 0.3f * 0.5f;
    const float high = 0.7f * 0.65f + 0.3f * 0.8f;
    const auto bars = WaveformExtractor::barsFromLevels(levels, 3);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 3);
    EXPECT_FLOAT_EQ(bars->at(0), 0.12f);
    EXPECT_NEAR(bars->at(1), 0.12f + 0.88f * std::pow((middle - low) / (high - low), 0.75f), 1e-5);
    EXPECT_FLOAT_EQ(bars->at(2), 1.0f);
    EXPECT_FALSE(WaveformExtractor::barsFromLevels({}, 120));
}

} // namespace
