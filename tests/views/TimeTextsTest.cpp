#include "views/logic/TimeTexts.h"

#include "support/QtPrinters.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
} // namespace

TEST(TimeTexts, MinutesAndSecondsTruncateAndNeverFoldIntoHours)
{
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "0:00"},
        {59.9, "0:59"},
        {60, "1:00"},
        {3600, "60:00"},
        {4505, "75:05"},
        {-0.5, "0:00"},
        {-65.2, "-1:05"},
        {9.1e17, "15166666666666666:40"},
        {notANumber, "--:--"},
        {inf, "--:--"},
        {-inf, "--:--"},
        {1e19, "--:--"},
        {std::ldexp(1.0, 63), "--:--"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeTexts::minutesSeconds(c.seconds), QLatin1String(c.text)) << c.seconds;
}

TEST(TimeTexts, RemainingTimeIsNeverNegative)
{
    struct Case {
        double duration;
        double position;
        const char* text;
    } cases[] = {
        {4505, 0, "-75:05"},
        {0, 0, "-0:00"},
        {10, 12.5, "-0:00"},
        {125, 4.2, "-2:00"},
        {notANumber, 0, "--:--"},
        {inf, 0, "--:--"},
        {10, notANumber, "--:--"},
        {-5, 0, "--:--"}, // an edited index
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeTexts::remaining(c.duration, c.position), QLatin1String(c.text))
            << c.duration << " " << c.position;
}

TEST(TimeTexts, TimerTruncatesTenthsAndGrowsPastTwoMinuteDigits)
{
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "00:00.0"},
        {0.09, "00:00.0"},
        {65.25, "01:05.2"},
        {599.95, "09:59.9"},
        {3600, "60:00.0"},
        {62 * 60 + 5.46, "62:05.4"},
        {100 * 60 + 0.5, "100:00.5"},
        // The fractional part alone would read 8.6 here (8.7 - 8 = 0.6999...).
        {8.7, "00:08.7"},
        {std::nextafter(60.0, 0.0), "00:59.9"},
        {-1.5, "-00:01.5"},
        {notANumber, "--:--.-"},
        {inf, "--:--.-"},
        {std::ldexp(1.0, 63), "--:--.-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeTexts::timer(c.seconds), QLatin1String(c.text)) << c.seconds;
}
