// The trim selection over the waveform: its geometry and the handles' drags.

#include "views/logic/TrimHandleRules.h"

#include <gtest/gtest.h>

using namespace TrimHandleRules;

TEST(TrimHandleRules, OverlayStandsOnTheRange)
{
    struct Case {
        const char* name;
        double width, duration, start, end;
        Overlay expected;
    };
    const Case cases[] = {
        {"middle", 600, 60, 15, 45, {150, 450, 150, 450, 150, 150, 300, 143, 443}},
        {"whole", 600, 60, 0, 60, {0, 600, 0, 600, 0, 0, 600, 0, 593}},
        // A 0.6 s recording starts with the range 0 to 1 s: the end is held at the edge.
        {"range past the end", 600, 0.6, 0, 1.0, {0, 600, 0, 600, 0, 0, 600, 0, 593}},
        {"no duration", 600, 0, 5, 9, {0, 600, 0, 600, 0, 0, 600, 0, 593}},
        {"no width", 0, 60, 0, 60, {0, 1, 0, 1, 0, 0, 1, 0, -6}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(overlay(c.width, c.duration, c.start, c.end), c.expected) << c.name;
}

TEST(TrimHandleRules, HandleDragsKeepTheGapsAndTheEnds)
{
    enum class Handle { start, end };
    struct Case {
        const char* name;
        Handle handle;
        double x, duration;
        double otherX; // the other handle as last drawn
        double otherTime; // the other end of the range
        double expected;
    };
    const Case cases[] = {
        // 600 points: on a 2-second recording half a second (150 points) is the wider gap...
        {"start against the end, short", Handle::start, 590, 2, 600, 2, 1.5},
        {"end against the start, short", Handle::end, 10, 2, 0, 0, 0.5},
        // ...on an hour 16 points (96 seconds) are.
        {"start against the end, long", Handle::start, 599, 3600, 600, 3600, 3504},
        {"end against the start, long", Handle::end, 3, 3600, 0, 0, 96},
        {"start past the leading edge", Handle::start, -40, 60, 600, 60, 0},
        {"end past the trailing edge", Handle::end, 700, 60, 0, 0, 60},
        {"start in the open", Handle::start, 120, 60, 600, 60, 12},
        {"end in the open", Handle::end, 300, 60, 60, 6, 30},
        // The tightest the handles hold: exactly half a second.
        {"start held at half a second", Handle::start, 290, 2, 300, 1.0, 0.5},
        // A 0.6 s recording whose range ends at 1 s: the first drag brings it back to the file.
        {"end of a short recording", Handle::end, 650, 0.6, 0, 0, 0.6},
        {"start without duration", Handle::start, 300, 0, 600, 0, 0},
        {"end without duration", Handle::end, 300, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const double result = c.handle == Handle::start ? draggedStart(c.x, 600, c.duration, c.otherX, c.otherTime)
                                                        : draggedEnd(c.x, 600, c.duration, c.otherX, c.otherTime);
        EXPECT_DOUBLE_EQ(result, c.expected) << c.name;
    }
}

TEST(TrimHandleRules, ConfirmationNamesTheRange)
{
    EXPECT_EQ(confirmationMessage(65, 130.5),
              QStringLiteral("Selected length: 1:05 (from 1:05 to 2:10). Save as a new recording or replace original?"));
    EXPECT_EQ(selectedLength(9, 3), 0);
}
