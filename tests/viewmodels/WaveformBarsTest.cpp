#include "viewmodels/WaveformBars.h"

#include <gmock/gmock.h>

#include <algorithm>

using ::testing::Each;
using ::testing::FloatEq;
using ::testing::Ge;
using ::testing::Le;

namespace {

TEST(WaveformBars, NoAmplitudesGiveRandomBarsBetweenPointOneAndPointSix)
{
    const QList<float> bars = WaveformBars::downsample({}, 120);
    ASSERT_EQ(bars.size(), 120);
    EXPECT_THAT(bars, Each(Ge(0.1f)));
    EXPECT_THAT(bars, Each(Le(0.6f)));
    EXPECT_TRUE(WaveformBars::downsample({}, 0).isEmpty());
}

TEST(WaveformBars, NoMoreAmplitudesThanBarsAreKeptAsTheyAre)
{
    QList<float> amplitudes;
    for (int i = 0; i < 50; ++i)
        amplitudes.append(0.01f * static_cast<float>(i));
    EXPECT_EQ(WaveformBars::downsample(amplitudes, 120), amplitudes);
}

TEST(WaveformBars, TwoAmplitudesPerBarSpreadFromPointTwelveToOne)
{
    QList<float> amplitudes;
    for (int i = 0; i < 240; ++i)
        amplitudes.append(static_cast<float>(i % 40) / 40.0f);
    const QList<float> bars = WaveformBars::downsample(amplitudes, 120);
    ASSERT_EQ(bars.size(), 120);
    EXPECT_FLOAT_EQ(*std::min_element(bars.begin(), bars.end()), 0.12f);
    EXPECT_FLOAT_EQ(*std::max_element(bars.begin(), bars.end()), 1.0f);
    // Louder pairs give higher bars.
    EXPECT_LT(bars.at(0), bars.at(10));
}

TEST(WaveformBars, EqualAmplitudesGiveFlatLowBars)
{
    const QList<float> bars = WaveformBars::downsample(QList<float>(240, 0.4f), 120);
    ASSERT_EQ(bars.size(), 120);
    EXPECT_THAT(bars, Each(FloatEq(0.12f)));
}

TEST(WaveformBars, BarBlendsLoudnessAndPeak)
{
    // Buckets {1, 1}, {0, 1}, {0, 0}: 0.7 * rms + 0.3 * peak gives 1, 0.795 and
    // 0; shaped: 1, 0.12 + 0.88 * 0.795^0.75, 0.12.
    const QList<float> bars = WaveformBars::downsample({1, 1, 0, 1, 0, 0}, 3);
    ASSERT_EQ(bars.size(), 3);
    EXPECT_FLOAT_EQ(bars.at(0), 1.0f);
    EXPECT_NEAR(bars.at(1), 0.8609f, 1e-4);
    EXPECT_FLOAT_EQ(bars.at(2), 0.12f);
}

} // namespace
