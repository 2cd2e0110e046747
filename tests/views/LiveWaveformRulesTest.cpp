#include "views/logic/LiveWaveformRules.h"

#include "support/QtPrinters.h"

#include <limits>

#include <gtest/gtest.h>

using namespace LiveWaveformRules;

TEST(LiveWaveformRules, CapacityFollowsTheStripWidthWithAFloorOfTwenty)
{
    struct Case {
        double width;
        int capacity;
    } cases[] = {
        {564, 77},
        {230, 26},
        {200, 21},
        {196, 20},
        {0, 20},
        {-10, 20},
        {std::numeric_limits<double>::quiet_NaN(), 20},
        {std::numeric_limits<double>::infinity(), 20},
        {1e300, 1000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(capacity(c.width), c.capacity) << c.width;
}

TEST(LiveWaveformRules, OnlyTheNewestValuesAreShownOldestFirst)
{
    const QList<float> seven = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f};
    EXPECT_EQ(shownValues(seven, 77), seven);
    EXPECT_EQ(shownValues(seven, 3), (QList<float>{0.5f, 0.6f, 0.7f}));
    EXPECT_TRUE(shownValues({}, 20).isEmpty());

    QList<float> full(600, 0.05f);
    full.back() = 1.0f;
    const QList<float> shown = shownValues(full, capacity(564));
    ASSERT_EQ(shown.size(), 77);
    EXPECT_EQ(shown.back(), 1.0f);
}

TEST(LiveWaveformRules, BarsGrowFromTheRightInset)
{
    // Seven bars in a wide strip: the newest ends at the right inset.
    EXPECT_DOUBLE_EQ(barX(564, 6, 7) + barWidth, 564 - 32);
    EXPECT_DOUBLE_EQ(barX(564, 5, 7), 564 - 32 - 3.5 - 3 - 3.5);
    EXPECT_DOUBLE_EQ(barX(564, 0, 7), 564 - 32 - 7 * 3.5 - 6 * 3);
    // Twenty bars in a narrow strip overflow to the left, where the strip clips.
    EXPECT_LT(barX(100, 0, 20), 0);
    EXPECT_DOUBLE_EQ(barX(100, 19, 20) + barWidth, 68);
}

TEST(LiveWaveformRules, BarHeightsAndTheirFloor)
{
    struct Case {
        float value;
        double height;
    } cases[] = {
        {0.05f, 5.25},
        {0.5f, 52.5},
        {1.0f, 105},
        {0.03f, 4},
        {std::numeric_limits<float>::quiet_NaN(), 4},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(barHeight(stripHeight, c.value), c.height, 1e-5) << c.value;
}

TEST(LiveWaveformRules, StateLineByRecorderState)
{
    struct Case {
        RecorderState state;
        StateLine line;
    } cases[] = {
        {RecorderState::idle, {"", ColorRole::secondary, {}, 1.0, false}},
        {RecorderState::starting, {"STARTING...", ColorRole::secondary, {}, 1.0, false}},
        {RecorderState::recording, {"RECORDING", ColorRole::red, {ColorRole::red, 0.4}, 1.5, true}},
        {RecorderState::paused, {"PAUSED", ColorRole::orange, {ColorRole::orange, 0.4}, 1.0, false}},
        {RecorderState::stopping, {"SAVING...", ColorRole::secondary, {}, 1.0, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stateLine(c.state), c.line) << c.line.word.toStdString();
}
