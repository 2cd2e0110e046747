#include "audio/LiveReadings.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(LiveReadings, TakeHandsOverWhatCameSinceTheLastTake)
{
    LiveReadings readings(600);
    readings.addPoints({0.1f, 0.2f});
    readings.setLevels({0.3f, 0.4f});
    readings.addPoints({0.5f});
    readings.setLevels({0.6f, 0.7f});

    const LiveReadings::Taken first = readings.take();
    EXPECT_EQ(first.points, (std::vector<float>{0.1f, 0.2f, 0.5f}));
    EXPECT_EQ(first.levels, (LiveReadings::Levels{0.6f, 0.7f})) << "only the latest levels";

    const LiveReadings::Taken second = readings.take();
    EXPECT_TRUE(second.points.empty());
    EXPECT_FALSE(second.levels.has_value()) << "no level measured since";
}

TEST(LiveReadings, ALongWaitKeepsTheNewestPointsThatFit)
{
    LiveReadings readings(600);
    std::vector<float> points(250);
    for (int batch = 0; batch < 4; ++batch) {
        std::iota(points.begin(), points.end(), float(batch * 250));
        readings.addPoints(points);
    }
    const LiveReadings::Taken taken = readings.take();
    ASSERT_EQ(taken.points.size(), 600u);
    EXPECT_EQ(taken.points.front(), 400.0f);
    EXPECT_EQ(taken.points.back(), 999.0f);
}
