#include "views/logic/ActiveRowRules.h"

#include <cmath>
#include <limits>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace ActiveRowRules;

TEST(ActiveRowRules, ElapsedTimeCutsToWholeSecondsWithoutHours)
{
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "00:00"},
        {0.99, "00:00"},
        {59.9, "00:59"},
        {60, "01:00"},
        {62 * 60 + 5, "62:05"},
        {100 * 60, "100:00"},
        {-3, "00:00"},
        {std::numeric_limits<double>::quiet_NaN(), "00:00"},
        {-std::numeric_limits<double>::infinity(), "00:00"},
        {std::numeric_limits<double>::infinity(), "--:--"},
        {1e300, "--:--"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formattedDuration(c.seconds), QLatin1String(c.text)) << c.seconds;
}

TEST(ActiveRowRules, PausedRowLosesItsRingAndTurnsOrange)
{
    EXPECT_EQ(statusLine(false),
              (StatusLine{"Recording in progress...", {ColorRole::red}, true, {ColorRole::red}}));
    EXPECT_EQ(statusLine(true), (StatusLine{"Recording paused", {ColorRole::orange}, false, {ColorRole::orange}}));

    const auto running = contextMenu(false);
    ASSERT_EQ(running.size(), 3);
    EXPECT_EQ(running[1].label, "Pause Recording");
    EXPECT_EQ(running[1].symbol, "pause.fill");
    const auto paused = contextMenu(true);
    EXPECT_EQ(paused[0].label, "Rename");
    EXPECT_EQ(paused[1].label, "Resume Recording");
    EXPECT_EQ(paused[1].symbol, "play.fill");
    EXPECT_EQ(paused[2].label, "Stop & Save Recording");
    EXPECT_TRUE(paused[2].destructive);
    EXPECT_TRUE(paused[2].separatorBefore);
}

TEST(ActiveRowRules, LookBySelectionAndHover)
{
    struct Case {
        bool selected;
        bool hovered;
        Tint fill;
        Tint border;
        double buttons;
    } cases[] = {
        {true, false, {ColorRole::red, 0.12}, {ColorRole::red, 0.35}, 1},
        {true, true, {ColorRole::red, 0.12}, {ColorRole::red, 0.35}, 1},
        {false, true, {ColorRole::gray, 0.08}, {ColorRole::red, 0.20}, 1},
        {false, false, {ColorRole::red, 0.05}, {ColorRole::red, 0.20}, 0},
    };
    for (const auto& c : cases) {
        const Look result = look(c.selected, c.hovered);
        EXPECT_EQ(result.fill, c.fill);
        EXPECT_EQ(result.border, c.border);
        EXPECT_EQ(result.stopButtonOpacity, c.buttons);
        EXPECT_EQ(result.renameButtonOpacity, c.buttons * 0.85);
        EXPECT_EQ(result.titleWeight, c.selected ? TextWeight::semibold : TextWeight::medium);
    }
    EXPECT_EQ(ring(true), (Ring{17, 5, 0.15}));
    EXPECT_EQ(ring(false), (Ring{11, 2, 0.5}));
}
