#include "views/logic/PlaybackWaveformGeometry.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace PlaybackWaveformGeometry;

namespace {
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
} // namespace

TEST(PlaybackWaveformGeometry, BarsKeepTheirWidthLimitsAndMinimumSpacing)
{
    struct Case {
        double width;
        int count;
        double slot;
        double barWidth;
        double spacing;
    } cases[] = {
        {600, 120, 5, 3.25, 1.75},
        {600, 20, 30, 3.5, 26.5},
        {600, 1000, 0.6, 1.2, 0.4},
        {600, 80, 7.5, 3.5, 4.0},
        // A collapsed area still counts as one point wide.
        {0, 10, 0.1, 1.2, 0.4},
        {notANumber, 1, 1, 1.2, 0.4},
    };
    for (const auto& c : cases) {
        const BarLayout layout = barLayout(c.width, c.count);
        EXPECT_DOUBLE_EQ(layout.slot, c.slot) << c.width << "/" << c.count;
        EXPECT_DOUBLE_EQ(layout.barWidth, c.barWidth) << c.width << "/" << c.count;
        EXPECT_DOUBLE_EQ(layout.spacing, c.spacing) << c.width << "/" << c.count;
    }
}

TEST(PlaybackWaveformGeometry, RowIsCentredAndOverflowsEvenlyWhenTooWide)
{
    const BarLayout fits = barLayout(600, 120);
    EXPECT_NEAR(fits.firstX, 0.875, 1e-9); // half a spacing on each side
    const double lastRight = fits.barX(119) + fits.barWidth;
    EXPECT_NEAR(600 - lastRight, fits.firstX, 1e-9);

    const BarLayout tooMany = barLayout(600, 1000);
    EXPECT_NEAR(tooMany.firstX, (600 - (1000 * 1.2 + 999 * 0.4)) / 2, 1e-9);
}

TEST(PlaybackWaveformGeometry, BarHeightHasAFloorAndStaysInsideTheArea)
{
    struct Case {
        float value;
        double height;
    } cases[] = {
        {0.0f, 5},
        {0.01f, 5},
        {0.5f, 130 * 0.76 * 0.5},
        {1.0f, 130 * 0.76},
        {3.0f, 130 * 0.76},
        {-1.0f, 5},
        {std::numeric_limits<float>::quiet_NaN(), 5},
        {std::numeric_limits<float>::infinity(), 5},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(barHeight(areaHeight, c.value), c.height, 1e-5) << c.value;
}

TEST(PlaybackWaveformGeometry, ProgressIsLimitedAndZeroWithoutADuration)
{
    struct Case {
        double time;
        double duration;
        double progress;
    } cases[] = {
        {0, 100, 0},
        {25, 100, 0.25},
        {150, 100, 1},
        {-3, 100, 0},
        {5, 0, 0},
        {5, -1, 0},
        {notANumber, 100, 0},
        {5, notANumber, 0},
        {5, std::numeric_limits<double>::infinity(), 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(progress(c.time, c.duration), c.progress) << c.time << " of " << c.duration;
}

TEST(PlaybackWaveformGeometry, PlayedBarsAndPlayhead)
{
    EXPECT_TRUE(isPlayed(0, 120, 0)) << "the first bar is always played";
    EXPECT_FALSE(isPlayed(1, 120, 0));
    EXPECT_TRUE(isPlayed(30, 120, 0.25));
    EXPECT_FALSE(isPlayed(31, 120, 0.25));
    EXPECT_TRUE(isPlayed(119, 120, 1));
    EXPECT_FALSE(isPlayed(0, 0, 1));

    struct Case {
        double width;
        double progress;
        double x;
    } cases[] = {
        {600, 0, 0},
        {600, 0.5, 300},
        {600, 1, 598},
        {1, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(playheadX(c.width, c.progress), c.x) << c.width << " " << c.progress;
    EXPECT_EQ(playheadDotSize(true), 12);
    EXPECT_EQ(playheadDotSize(false), 8);
    EXPECT_EQ(playheadOffset(true), -5);
    EXPECT_EQ(playheadOffset(false), -3);
}

TEST(PlaybackWaveformGeometry, SeekTargetIsClampedToTheStoredDuration)
{
    struct Case {
        double x;
        double width;
        double duration;
        double target;
    } cases[] = {
        {300, 600, 120, 60},
        {0, 600, 120, 0},
        {-50, 600, 120, 0},
        {900, 600, 120, 120},
        {300, 600, 0, 0},
        {300, 0, 120, 120}, // a collapsed area is one point wide
        {notANumber, 600, 120, 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(seekTarget(c.x, c.width, c.duration), c.target) << c.x << " in " << c.width;
}

TEST(PlaybackWaveformGeometry, DragTargetStandsInForThePositionOnlyWhileDragging)
{
    EXPECT_EQ(displayTime(true, 42.0, 7.0), 42.0);
    EXPECT_EQ(displayTime(true, std::nullopt, 7.0), 7.0);
    EXPECT_EQ(displayTime(false, 42.0, 7.0), 7.0);
}

TEST(PlaybackWaveformGeometry, PlaceholderIsEightyFreshHeightsInRange)
{
    const QList<float> first = placeholderSamples();
    const QList<float> second = placeholderSamples();
    ASSERT_EQ(first.size(), 80);
    ASSERT_EQ(second.size(), 80);
    EXPECT_NE(first, second);
    for (float v : first + second) {
        EXPECT_GE(v, 0.15f);
        EXPECT_LT(v, 0.70f);
        EXPECT_GE(barHeight(areaHeight, v), 5.0);
    }
}
